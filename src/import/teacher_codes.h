// The codes of at most four characters by which Horalia names teachers, and
// by which its timetable names the teacher of every lesson. A teacher's code
// is the initials of first name, first surname and second surname, taken as
// they are written (accents and case kept); a code already given is numbered
// 1, 2, 3... Every teacher gets a code.
//
// A numbered code that would not fit in four characters (the eleventh A B C)
// keeps as many initials as leave room for the number (AB10), and the
// numbering goes on until a free code is found, so no two teachers ever end
// up with the same stored code.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "import/used_codes.h"

namespace import {

class TeacherCodes {
 public:
  // The code of the next teacher from the name fields as read (first name,
  // first surname, second surname; Windows-1252), remembered as given.
  // Throws UserError naming the teacher if no numbered code is left.
  std::string Next(std::string_view nombre, std::string_view apellido1, std::string_view apellido2);

 private:
  UsedCodes used_;
  // For each base, the first number not yet known to give a taken code (the
  // list only grows, so a number once taken stays taken).
  std::unordered_map<std::string, unsigned> nextNumber_;
};

}  // namespace import
