#include "tables/working_tables.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>

#include "common/other_process.h"
#include "common/scratch_folder.h"

namespace tables {
namespace {

namespace fs = std::filesystem;

// "NAME C4" for a text field of width 4; I, L and F for integer, logical and
// floating point.
std::string Describe(const std::vector<TFieldDef>& fields) {
  std::string out;
  for (const TFieldDef& f : fields) {
    if (!out.empty()) out += ", ";
    out += f.Name + ' ';
    switch (f.DataType) {
      case TFieldType::ftString: out += 'C' + std::to_string(f.Size); break;
      case TFieldType::ftInteger: out += 'I'; break;
      case TFieldType::ftBoolean: out += 'L'; break;
      case TFieldType::ftFloat: out += 'F'; break;
    }
    if (f.Required) out += " required";
  }
  return out;
}

std::set<std::string> FileNames(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

// Opens `name` in `folder` the way a step's own table object does.
void OpenTable(TTable& table, const fs::path& folder, std::string_view name, bool exclusive) {
  table.SetDatabaseName(folder.string());
  table.SetTableName(name);
  table.SetTableType(TTableType::ttDBase);
  table.SetExclusive(exclusive);
  table.Open();
}

void AppendRow(TTable& table, std::string_view field, std::string_view value) {
  table.Append();
  table.FieldByName(field).SetAsString(value);
  table.Post();
}

// What Horalia leaves as its solution table, written here in lower case.
void WriteSoluc(const fs::path& folder) {
  TTable soluc;
  soluc.SetDatabaseName(folder.string());
  soluc.SetTableName("soluc.dbf");
  soluc.SetTableType(TTableType::ttDBase);
  soluc.FieldDefs.Add("PROF", TFieldType::ftString, 4);
  soluc.FieldDefs.Add("DIA", TFieldType::ftInteger);
  soluc.FieldDefs.Add("HORA", TFieldType::ftInteger);
  soluc.CreateTable();
}

class WorkingTables : public ::testing::Test {
 protected:
  ScratchFolder folder_;
  const fs::path& htemp() const { return folder_.path(); }
};

TEST_F(WorkingTables, EachTableIsRebuiltWithExactlyItsSchema) {
  const struct {
    const char* name;
    const char* fields;
  } cases[] = {
      {"CURSOACAD", "CURSOANNO C4, F_INICIO C10, F_FIN C10"},
      {"CURSOST", "ABREV C3, TURNO C1, NIVEL C5, CURSO C3, CLAVE C10, ESTUD C40"},
      {"ASIGNOMT", "COD C4, CODLARGO C8, NOMBRE C40, OFERTAMATR C8, CODTAREA C12, ESTAREA L"},
      {"PROFT", "ABREV C4, NOMBRE C40, DEPART C40, DNI I, X_EMPLEADO C10, F_TOMAPOS C10"},
      {"AULAT", "ABREV C4, NOMBRE C40, EDIFICIO C1, MAXALUM I, DEPCENTRO C10"},
      {"GRUPOST",
       "ABREV C4, TURNO C1, NIVEL C5, CURSO C3, GRUPO C2, UNIDAD C10, OFERMATR C10, DESCRIP C40"},
      {"ASIGT",
       "CASIG C4, CPROF C4, CGRUP C4, CAULA C4, TURNO C1, NIVEL C5, CURSO C3, GRUPO C2, HORAS F, "
       "SESIONES C20, CTAREA C4, UNIDAD C10, OFERTA C10, MATERIA C10"},
      {"DIASHORAST",
       "DIHO C10, CODDIHO C10, DIA C20, TEXTODIA C20, HORA C8, TEXTOHOR C8, HORADESDE C8, "
       "HORAHASTA C8, MINUTOS C8"},
  };
  const std::vector<TableSchema>& schemas = WorkingTableSchemas();
  ASSERT_EQ(schemas.size(), std::size(cases));
  for (std::size_t i = 0; i < schemas.size(); ++i) {
    const auto& c = cases[i];
    EXPECT_EQ(schemas[i].Name, c.name) << "rebuilding order";
    EXPECT_EQ(Describe(SchemaOf(c.name).Fields), c.fields) << c.name;

    std::unique_ptr<TTable> rebuilt = RebuildTable(htemp(), c.name);
    EXPECT_TRUE(rebuilt->Active()) << c.name;
    EXPECT_EQ(rebuilt->RecordCount(), 0u) << c.name;
    rebuilt.reset();

    TTable reopened;
    OpenTable(reopened, htemp(), std::string(c.name) + ".DBF", false);
    EXPECT_EQ(Describe(reopened.Fields()), c.fields) << c.name;
    EXPECT_EQ(fs::path(reopened.FilePath()), htemp() / (std::string(c.name) + ".DBF")) << c.name;
  }
  EXPECT_THROW(SchemaOf("cursoacad"), std::out_of_range);
  EXPECT_THROW(SchemaOf("SOLUC"), std::out_of_range);
}

TEST_F(WorkingTables, RebuildingReplacesTheTableAndItsLeftovers) {
  {
    std::unique_ptr<TTable> old = RebuildTable(htemp(), "CURSOACAD");
    AppendRow(*old, "CURSOANNO", "2023");
  }
  // Files another program may have left: an index in both spellings, and an
  // old copy of the table under a lower-case name.
  fs::copy_file(htemp() / "CURSOACAD.DBF", htemp() / "cursoacad.dbf");
  std::ofstream(htemp() / "CURSOACAD.MDX") << "index";
  std::ofstream(htemp() / "cursoacad.mdx") << "index";
  std::ofstream(htemp() / "CURSOST.MDX") << "another table's index";

  std::unique_ptr<TTable> rebuilt = RebuildTable(htemp(), "CURSOACAD");
  EXPECT_EQ(rebuilt->RecordCount(), 0u);
  rebuilt.reset();
  EXPECT_EQ(FileNames(htemp()), (std::set<std::string>{"CURSOACAD.DBF", "CURSOST.MDX"}));
}

// Another program holding a table open, as Horalia does while it runs.
std::unique_ptr<TTable> HoldExclusively(const fs::path& folder, std::string_view table) {
  auto held = std::make_unique<TTable>();
  OpenTable(*held, folder, table, true);
  return held;
}

TEST_F(WorkingTables, TableHeldByAnotherProgramIsNeitherDeletedNorReplaced) {
  AppendRow(*RebuildTable(htemp(), "PROFT"), "ABREV", "ANA");
  {
    const HeldInAnotherProcess horalia([&] { return HoldExclusively(htemp(), "PROFT.DBF"); });
    ASSERT_TRUE(horalia.holding());
    try {
      RebuildTable(htemp(), "PROFT");
      ADD_FAILURE() << "rebuilding a table in use must fail";
    } catch (const UserError& e) {
      EXPECT_NE(std::string(e.what()).find("en uso"), std::string::npos) << e.what();
    }
  }
  TTable kept;
  OpenTable(kept, htemp(), "PROFT.DBF", true);
  kept.First();
  EXPECT_EQ(kept.FieldByName("ABREV").AsString(), "ANA");
}

TEST_F(WorkingTables, MissingFolderFailsWithTheEnginesError) {
  EXPECT_THROW(RebuildTable(htemp() / "HTEMP", "CURSOACAD"), UserError);
  EXPECT_FALSE(fs::exists(htemp() / "HTEMP"));
}

class TableComponents : public WorkingTables {
 protected:
  void SetUp() override {
    for (const char* name : {"ASIGNOMT", "PROFT", "DIASHORAST", "AULAT", "GRUPOST"}) {
      RebuildTable(htemp(), name);
    }
    AppendRow(*RebuildTable(htemp(), "CURSOST"), "CLAVE", "ESO1");
    WriteSoluc(htemp());
  }
};

TEST_F(TableComponents, MainWindowComponentsAreBoundToTheirTables) {
  MainWindowTables tables(htemp());
  const struct {
    TTable& component;
    const char* tableName;
    const char* file;
  } cases[] = {
      {tables.wwTableNomAsg, "ASIGNOMT", "ASIGNOMT.DBF"},
      {tables.wwTableProfesor, "PROFT", "PROFT.DBF"},
      {tables.wwTableTramos, "DIASHORAST", "DIASHORAST.DBF"},
      {tables.wwTableAulas, "AULAT", "AULAT.DBF"},
      {tables.wwTableGrupos, "GRUPOST", "GRUPOST.DBF"},
      {tables.wwTableCursos, "CursosT", "CURSOST.DBF"},
      {tables.wwTableSoluc, "SOLUC", "soluc.dbf"},
  };
  // Every run opens its components and closes them at its end; the next run
  // of either direction finds them again.
  for (int run = 0; run < 3; ++run) {
    for (const auto& c : cases) {
      EXPECT_EQ(c.component.TableName(), c.tableName);
      EXPECT_EQ(fs::path(c.component.DatabaseName()), htemp()) << c.tableName;
      EXPECT_EQ(c.component.TableType(), TTableType::ttDBase) << c.tableName;
      EXPECT_TRUE(c.component.Exclusive()) << c.tableName;
      c.component.Open();
      c.component.Open();  // already open: nothing happens
      EXPECT_EQ(fs::path(c.component.FilePath()), htemp() / c.file) << c.tableName;
    }
    tables.CloseAll();
    for (const auto& c : cases) EXPECT_FALSE(c.component.Active()) << c.tableName;
  }

  tables.wwTableCursos.Open();
  tables.wwTableCursos.First();
  EXPECT_EQ(tables.wwTableCursos.FieldByName("CLAVE").AsString(), "ESO1");
  tables.CloseAll();
}

TEST_F(TableComponents, DialogComponentIsCursosTOpenedShared) {
  TTable wwTableCursosT;
  BindCursosT(wwTableCursosT, htemp());
  EXPECT_EQ(wwTableCursosT.TableName(), "CURSOST.DBF");
  EXPECT_EQ(fs::path(wwTableCursosT.DatabaseName()), htemp());
  EXPECT_EQ(wwTableCursosT.TableType(), TTableType::ttDefault);
  EXPECT_FALSE(wwTableCursosT.Exclusive());

  wwTableCursosT.Open();
  EXPECT_EQ(fs::path(wwTableCursosT.FilePath()), htemp() / "CURSOST.DBF");
  wwTableCursosT.First();
  wwTableCursosT.Edit();
  wwTableCursosT.FieldByName("NIVEL").SetAsString("ESO");
  wwTableCursosT.Close();

  MainWindowTables tables(htemp());
  tables.wwTableCursos.Open();
  tables.wwTableCursos.First();
  EXPECT_EQ(tables.wwTableCursos.FieldByName("NIVEL").AsString(), "ESO")
      << "the main window's CursosT is the dialog's CURSOST.DBF";
  tables.CloseAll();
}

// Runs `attempt` in a child process and tells whether it succeeded, so that a
// lock held by this process is seen from another one, as Horalia would see it.
bool SucceedsInAnotherProcess(const std::function<void()>& attempt) {
  const int code = ExitCodeInAnotherProcess([&] {
    try {
      attempt();
      return 0;
    } catch (const UserError&) {
      return 1;
    }
  });
  EXPECT_NE(code, 98) << "a refused opening must be a UserError";
  EXPECT_NE(code, -1) << "the other process did not end normally";
  return code == 0;
}

TEST_F(TableComponents, ComponentsHoldTheirTablesExclusively) {
  const auto openAsignomt = [this](bool exclusive) {
    return [this, exclusive] {
      TTable other;
      OpenTable(other, htemp(), "ASIGNOMT.DBF", exclusive);
    };
  };
  MainWindowTables tables(htemp());
  tables.wwTableNomAsg.Open();
  EXPECT_FALSE(SucceedsInAnotherProcess(openAsignomt(true))) << "exclusive opening";
  EXPECT_FALSE(SucceedsInAnotherProcess(openAsignomt(false))) << "shared opening";

  tables.CloseAll();
  EXPECT_TRUE(SucceedsInAnotherProcess(openAsignomt(true))) << "after closing";
}

}  // namespace
}  // namespace tables
