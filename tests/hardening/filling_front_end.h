// A front end for runs without a person: the assignment dialog fills every
// course with a level and a course number (or takes the forced exit), the
// close request and the hourglass are only counted. Shared by the hardening
// tests and the fuzzers.
#pragma once

#include <string>

#include "app/front_end.h"
#include "app/program_state.h"
#include "courses/assignment_loop.h"
#include "tables/table.h"
#include "tables/working_tables.h"

namespace hardening {

class FillingFrontEnd : public FrontEnd {
 public:
  // forcedExit: the dialog closes at once through the forced exit.
  explicit FillingFrontEnd(bool forcedExit = false) : forcedExit_(forcedExit) {}

  CourseDialogResult ShowCourseDialog(ProgramState& state) override {
    ++dialogs;
    // A second showing means the first fill left a course incomplete, which
    // it cannot: leave through the forced exit rather than loop for ever.
    if (forcedExit_ || dialogs > 1) return {false, "fuera"};
    tables::TTable cursos;
    tables::BindCursosT(cursos, state.WorkingFolder());
    cursos.SetActive(true);
    for (cursos.First(); !cursos.Eof(); cursos.Next()) {
      cursos.Edit();
      cursos.FieldByName("NIVEL").SetAsString("ESO");
      cursos.FieldByName("CURSO").SetAsString(std::to_string(++courses));
      cursos.Post();
    }
    CourseDialogResult result;
    result.FaltaDato = courses::CheckCoursesComplete(cursos);
    cursos.SetActive(false);
    return result;
  }
  void CloseMainWindow() override { ++closes; }
  void SetHourglass(bool busy) override { hourglass = busy; }

  int dialogs = 0;
  int courses = 0;
  int closes = 0;
  bool hourglass = false;

 private:
  bool forcedExit_;
};

}  // namespace hardening
