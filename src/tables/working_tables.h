// The working table set: the schemas of the eight tables the Séneca-to-Horalia
// run rebuilds, the one procedure by which a table is rebuilt, and the table
// components that the main window and the assignment dialog are bound to.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tables/table.h"

namespace tables {

struct TableSchema {
  std::string Name;  // "CURSOACAD"
  std::vector<TFieldDef> Fields;
};

// CURSOACAD, CURSOST, ASIGNOMT, PROFT, AULAT, GRUPOST, ASIGT, DIASHORAST, in
// the order the run rebuilds them.
const std::vector<TableSchema>& WorkingTableSchemas();
// The schema of one of them by name (exact, upper case); throws
// std::out_of_range for another name.
const TableSchema& SchemaOf(std::string_view name);

// Replace-and-create: deletes NAME.DBF, then NAME.MDX, from the folder, in
// every letter case (failures ignored; a file another program holds open is
// left, so that the creation fails with the engine's "en uso" error), creates
// the table with its schema and opens it. The caller appends, posts and closes.
std::unique_ptr<TTable> RebuildTable(const std::filesystem::path& folder, std::string_view name);

// The seven table components of the main window, each bound to its working
// table in the lower-case folder spelling, by bare name, dBase type, opened
// exclusively. They live as long as the main window and are opened and closed
// by the runs, never released.
struct MainWindowTables {
  explicit MainWindowTables(const std::filesystem::path& folder);

  TTable wwTableNomAsg;    // ASIGNOMT
  TTable wwTableProfesor;  // PROFT
  TTable wwTableTramos;    // DIASHORAST
  TTable wwTableAulas;     // AULAT
  TTable wwTableGrupos;    // GRUPOST
  TTable wwTableCursos;    // CursosT
  TTable wwTableSoluc;     // SOLUC

  // Closes every component that is open (used when a run ends on an error).
  void CloseAll() noexcept;
};

// A working table read outside the components: NAME.DBF in the working
// folder, dBase type, opened shared.
void BindWorkingTable(TTable& table, const std::filesystem::path& folder, std::string_view name);

// The assignment dialog's component: CURSOST.DBF in the working folder, no
// table type (the extension selects dBase), opened shared.
void BindCursosT(TTable& wwTableCursosT, const std::filesystem::path& folder);

}  // namespace tables
