// The level and course assignment: the courses of the centre come from Séneca
// with a key and a name only, and the user gives each a level (NIVEL) and a
// course number (CURSO), from which the unit codes are built. The loop shows
// the assignment dialog (through the front end) again and again until every
// course is complete, unless the user forces the exit.
#pragma once

#include <string>
#include <vector>

#include "tables/table.h"

class ProgramState;

namespace courses {

// Shows the dialog until done. A showing whose OK found an incomplete course
// sets state.CursosIncompletos and is followed by a new one; a forced exit
// asks the front end to close the main window, and the run goes on.
void RunAssignmentLoop(ProgramState& state);

// The OK button's completeness check, over an open CURSOST: walks from the
// first record and stops at the first course whose NIVEL or CURSO is empty
// after trimming. Returns true (FaltaDato) when it found one.
bool CheckCoursesComplete(tables::TTable& wwTableCursosT);

struct CourseRow {
  std::string Clave, Estud, Nivel, Curso;  // Windows-1252, as stored
};
// Every course lacking NIVEL or CURSO (after trimming), in table order: for
// the batch tool's list. Opens and closes CURSOST in the folder itself.
std::vector<CourseRow> IncompleteCourses(const std::string& workingFolder);

}  // namespace courses
