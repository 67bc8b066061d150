#include "courses/assignment_loop.h"

#include "app/program_state.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

namespace courses {
namespace {

// Blanks and control characters alone count as missing; what is stored is
// left exactly as the user typed it.
bool IsIncomplete(tables::TTable& cursos) {
  return text::IsBlank(cursos.FieldByName("NIVEL").AsString()) ||
         text::IsBlank(cursos.FieldByName("CURSO").AsString());
}

}  // namespace

void RunAssignmentLoop(ProgramState& state) {
  for (;;) {
    const CourseDialogResult result = state.Ui().ShowCourseDialog(state);
    if (result.FaltaDato) {
      // From now on every showing offers the forced exit.
      state.CursosIncompletos = true;
      continue;
    }
    // A forced exit closes the main window but not the run: the remaining
    // steps still rebuild their tables from what CURSOST holds.
    if (result.MarcaSalida == kMarcaSalidaForzada) state.Ui().CloseMainWindow();
    return;
  }
}

bool CheckCoursesComplete(tables::TTable& wwTableCursosT) {
  for (wwTableCursosT.First(); !wwTableCursosT.Eof(); wwTableCursosT.Next()) {
    if (IsIncomplete(wwTableCursosT)) return true;
  }
  return false;
}

std::vector<CourseRow> IncompleteCourses(const std::string& workingFolder) {
  tables::TTable cursos;
  tables::BindCursosT(cursos, workingFolder);
  cursos.SetActive(true);
  std::vector<CourseRow> incomplete;
  for (cursos.First(); !cursos.Eof(); cursos.Next()) {
    if (!IsIncomplete(cursos)) continue;
    incomplete.push_back(CourseRow{cursos.FieldByName("CLAVE").AsString(), cursos.FieldByName("ESTUD").AsString(),
                                   cursos.FieldByName("NIVEL").AsString(), cursos.FieldByName("CURSO").AsString()});
  }
  cursos.SetActive(false);
  return incomplete;
}

}  // namespace courses
