// The batch tool's side of a run: what the desktop program asks the user in
// the level and course assignment dialog, the batch tool takes from the file
// of course levels, then from the terminal if there is one. Without either,
// an incomplete course ends the run (exit code 3) unless the user asked for
// the forced exit beforehand.
#pragma once

#include <stdexcept>
#include <vector>

#include "app/front_end.h"
#include "batch/console.h"
#include "batch/course_levels.h"

namespace batch {

// Thrown out of the run when a course still lacks its level or course number
// and there is no one to ask: the run stops right after CURSOST, so CURSOACAD
// and CURSOST stay as written and the other tables are not touched.
struct CoursesLeftIncomplete : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class BatchFrontEnd : public FrontEnd {
 public:
  BatchFrontEnd(Console& console, std::vector<CourseLevel> levels, bool forzarSalida);

  // First showing: stores the levels of the file in CURSOST. Every showing:
  // the OK button's completeness check; when a course is incomplete, the
  // warning and the list of incomplete courses, then the values asked on the
  // terminal (and a new showing), or the forced exit, or CoursesLeftIncomplete.
  CourseDialogResult ShowCourseDialog(ProgramState& state) override;
  // Nothing to close in batch: the forced exit is remembered for the summary.
  void CloseMainWindow() override;
  void SetHourglass(bool) override {}

  bool ForcedExit() const { return forcedExit_; }

 private:
  void StoreLevelsFromFile(ProgramState& state);
  void ReportIncompleteCourses(ProgramState& state);
  // Asks for each missing NIVEL and CURSO. False when the input ended first.
  bool AskMissingValues(ProgramState& state);

  Console& console_;
  std::vector<CourseLevel> levels_;
  bool forzarSalida_;
  int showings_ = 0;
  bool forcedExit_ = false;
};

}  // namespace batch
