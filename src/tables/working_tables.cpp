#include "tables/working_tables.h"

#include <iostream>
#include <stdexcept>
#include <system_error>

#include "tables/working_folder.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

namespace tables {

namespace fs = std::filesystem;

namespace {

TFieldDef Text(const char* name, int width) { return {name, TFieldType::ftString, width, false}; }
TFieldDef Integer(const char* name) { return {name, TFieldType::ftInteger, 0, false}; }
TFieldDef Logical(const char* name) { return {name, TFieldType::ftBoolean, 0, false}; }
TFieldDef Floating(const char* name) { return {name, TFieldType::ftFloat, 0, false}; }

// Deletes a file unless a program has it open. Windows refuses that deletion
// by itself; elsewhere a file can be unlinked under the feet of its holder,
// whose work would then silently go to a file nobody sees. Every holder
// through the table engine keeps the file locked, so a file whose lock cannot
// be taken is left where it is.
void RemoveUnlessInUse(const fs::path& file) {
  std::error_code ignored;
#ifndef _WIN32
  const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd >= 0) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) fs::remove(file, ignored);
    ::close(fd);
    return;
  }
#endif
  fs::remove(file, ignored);
}

// Deletes every spelling of `name` in the folder. A file that cannot be
// deleted (another program holds it) is left for the creation to replace or
// to fail on with the engine's own message.
void DeleteIgnoringFailures(const fs::path& folder, const std::string& name) {
  for (const fs::path& file : AllSpellingsInFolder(folder, name)) {
    std::error_code ec;
    if (fs::is_directory(fs::symlink_status(file, ec))) continue;  // not a file to delete
    RemoveUnlessInUse(file);
  }
}

void Bind(TTable& table, const fs::path& folder, std::string_view name, TTableType type,
          bool exclusive) {
  table.SetDatabaseName(folder.string());
  table.SetTableName(name);
  table.SetTableType(type);
  table.SetExclusive(exclusive);
}

}  // namespace

const std::vector<TableSchema>& WorkingTableSchemas() {
  static const std::vector<TableSchema> schemas = {
      {"CURSOACAD", {Text("CURSOANNO", 4), Text("F_INICIO", 10), Text("F_FIN", 10)}},
      {"CURSOST",
       {Text("ABREV", 3), Text("TURNO", 1), Text("NIVEL", 5), Text("CURSO", 3), Text("CLAVE", 10),
        Text("ESTUD", 40)}},
      {"ASIGNOMT",
       {Text("COD", 4), Text("CODLARGO", 8), Text("NOMBRE", 40), Text("OFERTAMATR", 8),
        Text("CODTAREA", 12), Logical("ESTAREA")}},
      {"PROFT",
       {Text("ABREV", 4), Text("NOMBRE", 40), Text("DEPART", 40), Integer("DNI"),
        Text("X_EMPLEADO", 10), Text("F_TOMAPOS", 10)}},
      {"AULAT",
       {Text("ABREV", 4), Text("NOMBRE", 40), Text("EDIFICIO", 1), Integer("MAXALUM"),
        Text("DEPCENTRO", 10)}},
      {"GRUPOST",
       {Text("ABREV", 4), Text("TURNO", 1), Text("NIVEL", 5), Text("CURSO", 3), Text("GRUPO", 2),
        Text("UNIDAD", 10), Text("OFERMATR", 10), Text("DESCRIP", 40)}},
      {"ASIGT",
       {Text("CASIG", 4), Text("CPROF", 4), Text("CGRUP", 4), Text("CAULA", 4), Text("TURNO", 1),
        Text("NIVEL", 5), Text("CURSO", 3), Text("GRUPO", 2), Floating("HORAS"),
        Text("SESIONES", 20), Text("CTAREA", 4), Text("UNIDAD", 10), Text("OFERTA", 10),
        Text("MATERIA", 10)}},
      {"DIASHORAST",
       {Text("DIHO", 10), Text("CODDIHO", 10), Text("DIA", 20), Text("TEXTODIA", 20),
        Text("HORA", 8), Text("TEXTOHOR", 8), Text("HORADESDE", 8), Text("HORAHASTA", 8),
        Text("MINUTOS", 8)}},
  };
  return schemas;
}

const TableSchema& SchemaOf(std::string_view name) {
  for (const TableSchema& schema : WorkingTableSchemas()) {
    if (schema.Name == name) return schema;
  }
  throw std::out_of_range("no working table is named " + std::string(name));
}

std::unique_ptr<TTable> RebuildTable(const fs::path& folder, std::string_view name) {
  const TableSchema& schema = SchemaOf(name);
  // Every spelling goes: on a file system that tells case apart a leftover
  // cursoacad.dbf beside the new CURSOACAD.DBF would be the same table to
  // Horalia, and either could be the one it reads.
  DeleteIgnoringFailures(folder, schema.Name + ".DBF");
  DeleteIgnoringFailures(folder, schema.Name + ".MDX");

  auto table = std::make_unique<TTable>();
  table->Close();
  Bind(*table, folder, schema.Name + ".DBF", TTableType::ttDBase, false);
  table->FieldDefs.Clear();
  for (const TFieldDef& field : schema.Fields) {
    table->FieldDefs.Add(field.Name, field.DataType, field.Size, field.Required);
  }
  table->CreateTable();
  table->Open();
  return table;
}

MainWindowTables::MainWindowTables(const fs::path& folder) {
  const struct {
    TTable& component;
    const char* tableName;
  } bindings[] = {
      {wwTableNomAsg, "ASIGNOMT"}, {wwTableProfesor, "PROFT"}, {wwTableTramos, "DIASHORAST"},
      {wwTableAulas, "AULAT"},     {wwTableGrupos, "GRUPOST"}, {wwTableCursos, "CursosT"},
      {wwTableSoluc, "SOLUC"},
  };
  for (const auto& b : bindings) Bind(b.component, folder, b.tableName, TTableType::ttDBase, true);
}

void MainWindowTables::CloseAll() noexcept {
  TTable* const components[] = {&wwTableNomAsg, &wwTableProfesor, &wwTableTramos, &wwTableAulas,
                                &wwTableGrupos, &wwTableCursos,   &wwTableSoluc};
  for (TTable* table : components) {
    // This runs while the error that ended the run is on its way to the user;
    // that error is the one to show, so a second failure here must neither
    // replace it nor keep the other components open. It is written to the
    // error output instead.
    try {
      table->Close();
    } catch (const std::exception& e) {
      std::cerr << "No se pudo cerrar la tabla " << table->TableName() << ": " << e.what() << '\n';
    } catch (...) {
      std::cerr << "No se pudo cerrar la tabla " << table->TableName() << '\n';
    }
  }
}

void BindWorkingTable(TTable& table, const fs::path& folder, std::string_view name) {
  Bind(table, folder, std::string(name) + ".DBF", TTableType::ttDBase, false);
}

void BindCursosT(TTable& wwTableCursosT, const fs::path& folder) {
  Bind(wwTableCursosT, folder, "CURSOST.DBF", TTableType::ttDefault, false);
}

}  // namespace tables
