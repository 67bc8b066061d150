// Small helpers for the table engine's tests: bind a table object to a file
// of a scratch folder, create a table from a field list, and catch the
// message of a refused operation.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "tables/table.h"

namespace table_fixture {

inline void Bind(tables::TTable& table, const std::filesystem::path& folder, std::string_view name,
                 bool exclusive = false) {
  table.SetDatabaseName(folder.string());
  table.SetTableName(name);
  table.SetTableType(tables::TTableType::ttDBase);
  table.SetExclusive(exclusive);
}

inline void Create(const std::filesystem::path& folder, std::string_view name,
                   const std::vector<tables::TFieldDef>& fields) {
  tables::TTable table;
  Bind(table, folder, name);
  table.FieldDefs.Clear();
  for (const tables::TFieldDef& f : fields) table.FieldDefs.Add(f.Name, f.DataType, f.Size, f.Required);
  table.CreateTable();
}

// The message of the UserError `action` throws, or "" when it throws none.
inline std::string ErrorOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const UserError& e) {
    return e.what();
  }
  return "";
}

}  // namespace table_fixture
