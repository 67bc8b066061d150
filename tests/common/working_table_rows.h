// Working tables written by the tests themselves, as a run would leave them:
// each row a list of field names and Windows-1252 values, set by name on a
// table rebuilt with its schema (fields not named stay blank).
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "tables/working_tables.h"

// Field name and value (Windows-1252) of one record.
using TableRow = std::vector<std::pair<std::string, std::string>>;

// Appends the rows to an open table, each field set by name.
inline void AppendRows(tables::TTable& table, const std::vector<TableRow>& rows) {
  for (const TableRow& row : rows) {
    table.Append();
    for (const auto& [field, value] : row) table.FieldByName(field).SetAsString(value);
    table.Post();
  }
}

// Rebuilds a working table (CURSOACAD, PROFT...) with its schema and rows.
inline void WriteWorkingTable(const std::filesystem::path& folder, const std::string& name,
                              const std::vector<TableRow>& rows) {
  std::unique_ptr<tables::TTable> table = tables::RebuildTable(folder, name);
  AppendRows(*table, rows);
  table->SetActive(false);
}
