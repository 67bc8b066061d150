// The four-character codes by which Horalia names units (class groups): the
// first two characters of the course's level, the first of its course number,
// and a group letter A, B, C... for the units of one course, in the order they
// are met (ESO 1 gives ES1A, ES1B...). Courses whose level and number start
// alike draw their letters from one sequence. After Z the letter runs on
// through the following character codes ("[" and so on); letters taken in one
// case count as taken in the other.
#pragma once

#include <string>
#include <string_view>

#include "import/used_codes.h"

namespace import {

class UnitCodes {
 public:
  // The code of the next unit of a course with this level and course number
  // (Windows-1252, as stored in CURSOST; empty when the course was not
  // found), remembered as given. `unidad` names the unit in the error thrown
  // when every character after its base is taken.
  std::string Next(std::string_view nivel, std::string_view curso, std::string_view unidad);

 private:
  UsedCodes used_;
};

}  // namespace import
