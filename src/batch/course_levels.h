// The file of course levels that stands in for the assignment dialog when the
// Séneca-to-Horalia run has no one to ask: a UTF-8 text with one course a line,
// CLAVE;NIVEL;CURSO, giving the level and course number to store in every
// CURSOST row whose CLAVE is that key.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "tables/table.h"

namespace batch {

struct CourseLevel {
  std::string Clave, Nivel, Curso;  // Windows-1252, exactly as given
  int line = 0;                     // where it was read, for messages
};

// Reads the whole file. A first line beginning with CLAVE is a header; blank
// lines are passed over; a byte order mark and CRLF line ends are tolerated.
// Values are kept exactly as written (no trimming). A missing or unreadable
// file, text that is not UTF-8, or a line without exactly three values throws
// UserError naming the file and the line.
std::vector<CourseLevel> ReadCourseLevels(const std::filesystem::path& csv);

// Sets NIVEL and CURSO on every row of the open CURSOST whose CLAVE equals a
// line's key exactly (a key given twice: the later line wins). Returns the
// lines whose key matched no row, so the user can be told.
std::vector<CourseLevel> ApplyCourseLevels(tables::TTable& wwTableCursosT,
                                           const std::vector<CourseLevel>& levels);

}  // namespace batch
