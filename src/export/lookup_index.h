// A lookup table of the Horalia-to-Séneca run (DIASHORAST, AULAT, GRUPOST,
// ASIGNOMT) read once into memory, keyed by one field. A lesson is translated
// by the first record, in record order, whose key field equals the lesson's
// code exactly (letter case, blanks and length all count). Walking the table
// from its first record for each of a timetable's thousands of lessons would
// cost lessons × rows; one pass that keeps the first record of every key gives
// the same answer at the cost of one pass.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tables {
class TTable;
}

namespace exporting {

class LookupIndex {
 public:
  // Reads `table` (open) from its first record, keeping for every value of
  // `keyField` the values of `valueFields`, in that order, from the first
  // record holding it. Leaves the table at its end. Throws UserError when the
  // table lacks one of the fields.
  LookupIndex(tables::TTable& table, std::string_view keyField,
              const std::vector<std::string>& valueFields);

  // The values of the first record whose key equals `key`, or nullptr.
  const std::vector<std::string>* Find(const std::string& key) const;

 private:
  std::unordered_map<std::string, std::vector<std::string>> firstByKey_;
};

// An index built the first time it is asked for, so that a run that never
// needs a table (no teacher, or no lesson) never reads it.
class LazyLookup {
 public:
  LazyLookup(tables::TTable& table, std::string keyField, std::vector<std::string> valueFields);

  const std::vector<std::string>* Find(const std::string& key);

 private:
  tables::TTable& table_;
  std::string keyField_;
  std::vector<std::string> valueFields_;
  std::optional<LookupIndex> index_;
};

}  // namespace exporting
