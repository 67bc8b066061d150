// The codes a code-generating step has already given in this run. Two codes
// that differ only in letter case are the same code to Horalia, so membership
// is decided on the case-folded text (accents still count: ÉTIC is not ETIC).
// A hash set, so that a school with thousands of subjects costs no more per
// subject than a small one.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "text/cp1252.h"

namespace import {

class UsedCodes {
 public:
  // True iff a code equal to `code` without regard to letter case was given.
  bool Contains(std::string_view code) const { return keys_.contains(text::FoldCase(code)); }
  void Add(std::string_view code) { keys_.insert(text::FoldCase(code)); }

 private:
  std::unordered_set<std::string> keys_;
};

}  // namespace import
