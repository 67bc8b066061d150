// The four-character codes by which Horalia names subjects. A subject's code
// is built from its name: the first character, then the unaccented capitals
// that follow ("LENGUA CASTELLANA" gives LENG), or the first four
// characters when the name has no capital after the first. A code already
// given is numbered: the first three characters and 1, 2, 3...; a numbered
// code longer than four characters keeps its first two and last two
// characters (LEN10 becomes LE10).
//
// Unlike the numbering of old, a subject is never left without a code: when
// the shortened form is itself taken the numbering goes on (LE11, LE12...),
// and only when every four-character form is used up does the run stop.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

#include "import/used_codes.h"

namespace import {

class SubjectCodes {
 public:
  // The code of the next subject, from its whole cleaned name (Windows-1252),
  // remembered as given. Throws UserError naming the subject when every
  // numbered form of its base is taken.
  std::string Next(std::string_view name);

  // The code before any collision: first character plus the capitals A-Z that
  // follow, at most four; a lone first character gives the first four
  // characters of the name instead.
  static std::string Base(std::string_view name);

 private:
  UsedCodes used_;
  // For each cut base, the first number not yet known to be taken: every
  // number below it gave a code already in the list, and the list only
  // grows, so the search can resume there instead of at 1.
  std::unordered_map<std::string, unsigned> nextNumber_;
};

}  // namespace import
