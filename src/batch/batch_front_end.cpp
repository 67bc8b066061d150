#include "batch/batch_front_end.h"

#include <istream>
#include <ostream>
#include <string>

#include "app/program_state.h"
#include "courses/assignment_loop.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

namespace batch {
namespace {

std::string Shown(const std::string& cp1252) { return text::Cp1252ToUtf8(cp1252); }

std::string ShownOrDash(const std::string& cp1252) { return text::IsBlank(cp1252) ? "-" : Shown(cp1252); }

// One question on the terminal; false when the input has ended.
bool Ask(Console& console, const std::string& question, std::string& answer) {
  console.err << question << std::flush;
  if (!std::getline(console.in, answer)) {
    console.err << "\n";
    return false;
  }
  if (!answer.empty() && answer.back() == '\r') answer.pop_back();
  return true;
}

}  // namespace

BatchFrontEnd::BatchFrontEnd(Console& console, std::vector<CourseLevel> levels, bool forzarSalida)
    : console_(console), levels_(std::move(levels)), forzarSalida_(forzarSalida) {}

CourseDialogResult BatchFrontEnd::ShowCourseDialog(ProgramState& state) {
  if (++showings_ == 1) StoreLevelsFromFile(state);

  tables::TTable wwTableCursosT;
  tables::BindCursosT(wwTableCursosT, state.WorkingFolder());
  wwTableCursosT.SetActive(true);
  const bool faltaDato = courses::CheckCoursesComplete(wwTableCursosT);
  wwTableCursosT.SetActive(false);
  if (!faltaDato) return {};

  ReportIncompleteCourses(state);
  if (console_.interactive && AskMissingValues(state)) {
    return CourseDialogResult{.FaltaDato = true, .MarcaSalida = {}};  // check again
  }
  if (forzarSalida_) return CourseDialogResult{.FaltaDato = false, .MarcaSalida = std::string(kMarcaSalidaForzada)};
  throw CoursesLeftIncomplete(
      "No se ha terminado el proceso: falta el NIVEL o el CURSO de algún curso.\n"
      "Se han escrito CURSOACAD y CURSOST; las demás tablas de trabajo no se han tocado.\n"
      "Indique NIVEL y CURSO de cada curso en el archivo de --niveles (CLAVE;NIVEL;CURSO), "
      "o ejecute en un terminal para contestarlos, o use --forzar-salida para seguir sin ellos.");
}

void BatchFrontEnd::CloseMainWindow() { forcedExit_ = true; }

void BatchFrontEnd::StoreLevelsFromFile(ProgramState& state) {
  if (levels_.empty()) return;
  tables::TTable wwTableCursosT;
  tables::BindCursosT(wwTableCursosT, state.WorkingFolder());
  wwTableCursosT.SetActive(true);
  const auto unmatched = ApplyCourseLevels(wwTableCursosT, levels_);
  wwTableCursosT.SetActive(false);
  for (const auto& level : unmatched) {
    console_.err << "Aviso: la clave '" << Shown(level.Clave) << "' (línea " << level.line
                 << " del archivo de niveles) no es de ningún curso del documento; no se usa.\n";
  }
}

void BatchFrontEnd::ReportIncompleteCourses(ProgramState& state) {
  console_.err << "¡Atención! Falta algún Dato\n"
               << "Cursos sin NIVEL o sin CURSO (CÓD.SÉNECA, ESTUDIOS, NIVEL, CURSO):\n";
  for (const auto& course : courses::IncompleteCourses(state.WorkingFolder().string())) {
    console_.err << "  " << Shown(course.Clave) << "  " << Shown(course.Estud) << "  NIVEL: "
                 << ShownOrDash(course.Nivel) << "  CURSO: " << ShownOrDash(course.Curso) << "\n";
  }
}

bool BatchFrontEnd::AskMissingValues(ProgramState& state) {
  tables::TTable wwTableCursosT;
  tables::BindCursosT(wwTableCursosT, state.WorkingFolder());
  wwTableCursosT.SetActive(true);
  console_.err << "Escriba los datos que faltan (Ctrl+D para dejar de preguntar):\n";
  bool inputLeft = true;
  for (wwTableCursosT.First(); inputLeft && !wwTableCursosT.Eof(); wwTableCursosT.Next()) {
    const std::string course = Shown(wwTableCursosT.FieldByName("CLAVE").AsString()) + " " +
                               Shown(wwTableCursosT.FieldByName("ESTUD").AsString());
    for (const char* field : {"NIVEL", "CURSO"}) {
      if (!text::IsBlank(wwTableCursosT.FieldByName(field).AsString())) continue;
      std::string answer;
      inputLeft = Ask(console_, std::string(field) + " de " + course + ": ", answer);
      if (!inputLeft) break;
      // Stored as typed, like the dialog's grid does.
      wwTableCursosT.Edit();
      wwTableCursosT.FieldByName(field).SetAsString(text::Utf8ToCp1252(answer));
      wwTableCursosT.Post();
    }
  }
  wwTableCursosT.SetActive(false);
  return inputLeft;
}

}  // namespace batch
