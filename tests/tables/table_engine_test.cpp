#include "tables/table.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

#include "tables/dbf_bytes.h"
#include "common/read_only_folder.h"
#include "common/scratch_folder.h"
#include "tables/table_fixture.h"

namespace tables {
namespace {

namespace fs = std::filesystem;
using table_fixture::Bind;
using table_fixture::ErrorOf;

const char kNotEditing[] = "La fuente de datos no está en modo de edición o inserción";

// A table of every type the converter writes.
const std::vector<TFieldDef> kMixed = {
    {"NOMBRE", TFieldType::ftString, 6},
    {"DNI", TFieldType::ftInteger, 0},
    {"ESTAREA", TFieldType::ftBoolean, 0},
    {"HORAS", TFieldType::ftFloat, 0},
};
constexpr std::size_t kMixedHeader = 32 + 4 * 32 + 1;
constexpr std::size_t kMixedRecord = 1 + 6 + 11 + 1 + 19;

class TableTest : public ::testing::Test {
 protected:
  void SetUp() override { table_fixture::Create(folder_.path(), "MIXTA.DBF", kMixed); }
  void OpenMixed(bool exclusive = false) {
    Bind(table_, folder_.path(), "MIXTA.DBF", exclusive);
    table_.Open();
  }
  fs::path File() const { return folder_.path() / "MIXTA.DBF"; }

  ScratchFolder folder_;
  TTable table_;
};

TEST_F(TableTest, NewTableIsEmptyWithItsFieldsInOrder) {
  EXPECT_EQ(fs::file_size(File()), kMixedHeader + 1);
  OpenMixed();
  EXPECT_TRUE(table_.Eof());
  EXPECT_EQ(table_.RecordCount(), 0u);
  EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
  ASSERT_EQ(table_.Fields().size(), 4u);
  for (std::size_t i = 0; i < kMixed.size(); ++i) {
    EXPECT_EQ(table_.Fields()[i].Name, kMixed[i].Name);
    EXPECT_EQ(table_.Fields()[i].DataType, kMixed[i].DataType) << kMixed[i].Name;
    EXPECT_EQ(table_.Fields()[i].Size, kMixed[i].Size) << kMixed[i].Name;
  }
  // Reading a field of an empty table gives the empty value.
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "");
  EXPECT_EQ(table_.FieldByName("DNI").AsInteger(), 0);
}

TEST_F(TableTest, RecordsReadBackAsStoredAndTheFileHasExactSize) {
  OpenMixed();
  table_.Append();
  table_.FieldByName("NOMBRE").SetAsString("  Ib\xE1\xF1\x80 largo");  // longer than 6
  table_.FieldByName("DNI").SetAsInteger(-2147483647 - 1);
  table_.FieldByName("ESTAREA").SetAsBoolean(true);
  table_.FieldByName("HORAS").SetAsFloat(2.5);
  table_.Post();
  table_.Append();
  table_.FieldByName("nombre").SetAsString("ab");  // the rest left unset
  table_.Post();
  table_.Append();
  table_.FieldByName("ESTAREA").SetAsBoolean(false);
  table_.FieldByName("HORAS").SetAsFloat(3);
  table_.Post();
  table_.Close();

  EXPECT_EQ(fs::file_size(File()), kMixedHeader + 3 * kMixedRecord + 1);
  const std::string bytes = dbf_bytes::ReadFile(File());
  EXPECT_EQ(bytes[4], 3);  // record count
  EXPECT_EQ(bytes.substr(kMixedHeader, kMixedRecord),
            std::string(" ") + "  Ib\xE1\xF1" + "-2147483648" + "T" + "             2.5000");

  OpenMixed();
  const struct {
    const char* nombre;
    const char* dni;
    bool estarea;
    const char* estareaText;
    const char* horas;
  } rows[] = {
      {"  Ib\xE1\xF1", "-2147483648", true, "True", "2.5"},
      {"ab", "", false, "", ""},
      {"", "", false, "False", "3"},
  };
  for (const auto& row : rows) {
    ASSERT_FALSE(table_.Eof()) << row.nombre;
    EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), row.nombre);
    EXPECT_EQ(table_.FieldByName("DNI").AsString(), row.dni) << row.nombre;
    EXPECT_EQ(table_.FieldByName("ESTAREA").AsBoolean(), row.estarea) << row.nombre;
    EXPECT_EQ(table_.FieldByName("ESTAREA").AsString(), row.estareaText) << row.nombre;
    EXPECT_EQ(table_.FieldByName("HORAS").AsString(), row.horas) << row.nombre;
    table_.Next();
  }
  EXPECT_TRUE(table_.Eof());
  EXPECT_EQ(table_.RecordCount(), 3u);
}

TEST_F(TableTest, AppendStoresTheRecordInProgress) {
  OpenMixed();
  table_.Append();
  table_.FieldByName("NOMBRE").SetAsString("uno");
  table_.Append();  // stores "uno"
  EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "");
  table_.FieldByName("NOMBRE").SetAsString("dos");
  table_.Post();
  table_.Append();
  table_.Append();  // a record without changes is dropped
  table_.FieldByName("NOMBRE").SetAsString("tres");
  table_.Close();  // stores "tres"

  OpenMixed();
  std::vector<std::string> names;
  for (table_.First(); !table_.Eof(); table_.Next()) names.push_back(table_.FieldByName("NOMBRE").AsString());
  EXPECT_EQ(names, (std::vector<std::string>{"uno", "dos", "tres"}));
}

TEST_F(TableTest, EditOnAnEmptyTableStartsANewRecord) {
  OpenMixed();
  table_.Edit();
  EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
  table_.FieldByName("NOMBRE").SetAsString("nuevo");
  table_.Post();
  EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(table_.RecordCount(), 1u);
  EXPECT_FALSE(table_.Eof());
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "nuevo");
}

TEST_F(TableTest, EditChangesTheCurrentRecordAndCancelDropsIt) {
  OpenMixed();
  for (const char* name : {"a", "b"}) {
    table_.Append();
    table_.FieldByName("NOMBRE").SetAsString(name);
    table_.Post();
  }
  table_.First();
  table_.Next();
  table_.Edit();
  EXPECT_EQ(table_.State(), TDataSetState::dsEdit);
  table_.FieldByName("NOMBRE").SetAsString("B");
  table_.Post();
  table_.First();
  table_.Edit();
  table_.FieldByName("NOMBRE").SetAsString("X");
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "X");
  table_.Cancel();
  EXPECT_EQ(table_.State(), TDataSetState::dsBrowse);
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "a");
  table_.Close();

  OpenMixed();
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "a");
  table_.Next();
  EXPECT_EQ(table_.FieldByName("NOMBRE").AsString(), "B");
  EXPECT_EQ(table_.RecordCount(), 2u);
}

TEST_F(TableTest, RefusedOperationsGiveTheEngineMessages) {
  OpenMixed();
  EXPECT_EQ(ErrorOf([&] { table_.Post(); }), kNotEditing);
  EXPECT_EQ(ErrorOf([&] { table_.FieldByName("NOMBRE").SetAsString("x"); }), kNotEditing);
  EXPECT_EQ(ErrorOf([&] { table_.FieldByName("NOMBRE").SetAsInteger(1); }), kNotEditing);
  EXPECT_EQ(ErrorOf([&] { table_.FieldByName("PROF"); }), "No se encuentra el campo 'PROF'");
  table_.Append();
  table_.Post();
  EXPECT_EQ(ErrorOf([&] { table_.Post(); }), kNotEditing);
  table_.Close();
  EXPECT_NE(ErrorOf([&] { table_.First(); }).find("cerrada"), std::string::npos);
}

TEST_F(TableTest, NumbersThatDoNotFitAreRefused) {
  OpenMixed();
  table_.Append();
  EXPECT_NE(ErrorOf([&] { table_.FieldByName("HORAS").SetAsFloat(1e16); }).find("no cabe en el campo 'HORAS'"),
            std::string::npos);
  EXPECT_EQ(ErrorOf([&] { table_.FieldByName("HORAS").SetAsString("dos"); }),
            "'dos' no es un valor numérico válido");
  EXPECT_EQ(ErrorOf([&] { table_.FieldByName("ESTAREA").SetAsString("quiz\xE1s"); }),
            "'quizás' no es un valor lógico válido");
}

TEST_F(TableTest, SettingActiveToItsValueDoesNothing) {
  OpenMixed();
  table_.Append();
  table_.FieldByName("NOMBRE").SetAsString("uno");
  table_.SetActive(true);
  EXPECT_EQ(table_.State(), TDataSetState::dsInsert);
  table_.Close();
  table_.SetActive(false);
  EXPECT_FALSE(table_.Active());
  EXPECT_EQ(table_.State(), TDataSetState::dsInactive);
}

TEST_F(TableTest, FileIsRewrittenOnlyWhenSomethingChanged) {
  const auto inode = [&] {
    struct stat st {};
    stat(File().c_str(), &st);
    return st.st_ino;
  };
  const auto before = inode();
  OpenMixed();
  table_.First();
  table_.Edit();
  table_.Cancel();
  table_.Close();
  EXPECT_EQ(inode(), before);
  OpenMixed();
  table_.Append();
  table_.FieldByName("DNI").SetAsInteger(7);
  table_.Post();
  table_.Close();
  EXPECT_NE(inode(), before);
}

TEST_F(TableTest, CreateTableReplacesTheFile) {
  OpenMixed();
  table_.Append();
  table_.FieldByName("NOMBRE").SetAsString("viejo");
  table_.Close();
  EXPECT_NE(ErrorOf([&] {
              table_.Open();
              table_.CreateTable();
            }).find("mientras está abierta"),
            std::string::npos);
  table_.Close();
  table_.FieldDefs.Clear();
  table_.FieldDefs.Add("CLAVE", TFieldType::ftString, 10);
  table_.CreateTable();
  table_.Open();
  EXPECT_EQ(table_.RecordCount(), 0u);
  ASSERT_EQ(table_.Fields().size(), 1u);
  EXPECT_EQ(table_.Fields()[0].Name, "CLAVE");
  // No temporary file is left beside it.
  std::size_t entries = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(folder_.path())) ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST_F(TableTest, AFolderThatRefusesWritingKeepsTheOldTable) {
  const std::string before = dbf_bytes::ReadFile(File());
  OpenMixed();
  table_.Append();
  table_.FieldByName("NOMBRE").SetAsString("nuevo");
  std::string message;
  {
    const ReadOnlyFolder readOnly(folder_.path());
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a folder read-only here";
    message = ErrorOf([&] { table_.Close(); });
  }
  EXPECT_EQ(message, "No se puede escribir la tabla MIXTA (" + File().string() +
                         "): no hay permiso (la carpeta o el archivo es de solo lectura o de otro usuario).");
  EXPECT_FALSE(table_.Active());
  EXPECT_EQ(dbf_bytes::ReadFile(File()), before);
}

TEST(TableCreate, RefusesWhatNoTableCanHold) {
  ScratchFolder folder;
  const struct {
    const char* name;
    fs::path folder;
    std::vector<TFieldDef> fields;
    const char* message;
  } cases[] = {
      {"missing folder", folder.path() / "falta", {{"A", TFieldType::ftString, 1}}, "no existe la carpeta"},
      {"text of width 0", folder.path(), {{"A", TFieldType::ftString, 0}}, "ancho de 0"},
      {"text of width 255", folder.path(), {{"A", TFieldType::ftString, 255}}, "ancho de 255"},
      {"name of 11", folder.path(), {{"NOMBRELARGO", TFieldType::ftInteger, 0}}, "'NOMBRELARGO'"},
      {"no fields", folder.path(), {}, "ningún campo"},
  };
  for (const auto& c : cases) {
    const std::string message = ErrorOf([&] { table_fixture::Create(c.folder, "T.DBF", c.fields); });
    EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find("No se puede crear la tabla T ("), std::string::npos) << c.name << ": " << message;
  }
  EXPECT_TRUE(fs::is_empty(folder.path()));
}

TEST(TableOpen, MissingTableNamesTableAndFile) {
  ScratchFolder folder;
  TTable table;
  Bind(table, folder.path(), "CURSOST.DBF");
  EXPECT_EQ(ErrorOf([&] { table.Open(); }),
            "No se encuentra la tabla CURSOST (" + (folder.path() / "CURSOST.DBF").string() +
                "). Compruebe que existe en la carpeta de trabajo.");
  EXPECT_FALSE(table.Active());
}

TEST(TableOpen, NamesAreMatchedWithoutRegardToCase) {
  ScratchFolder folder;
  table_fixture::Create(folder.path(), "CURSOST.DBF", {{"CLAVE", TFieldType::ftString, 10}});
  dbf_bytes::Layout soluc;
  soluc.fields = {{"PROF", 'C', 4}};
  soluc.records = {" ABCD"};
  dbf_bytes::WriteFile(folder.path() / "soluc.dbf", dbf_bytes::Build(soluc));

  TTable cursos;
  Bind(cursos, folder.path(), "CursosT");
  cursos.Open();
  EXPECT_EQ(cursos.FilePath(), (folder.path() / "CURSOST.DBF").string());
  TTable solution;
  Bind(solution, folder.path(), "SOLUC");
  solution.Open();
  EXPECT_EQ(solution.FieldByName("prof").AsString(), "ABCD");
}

// AsInteger on what the tables hold: numbers, and text holding digits.
TEST(TableAsInteger, ReadsWholeNumbersAndRefusesTheRest) {
  ScratchFolder folder;
  table_fixture::Create(folder.path(), "T.DBF",
                        {{"TEXTO", TFieldType::ftString, 12}, {"NUM", TFieldType::ftFloat, 0}});
  const struct {
    const char* name;
    const char* texto;
    double num;
    std::int32_t textValue;
    const char* textError;  // nullptr: no error
    std::int32_t numValue;
    const char* numError;
  } cases[] = {
      {"leading zero", "03", 3, 3, nullptr, 3, nullptr},
      {"blanks around", "  7", -12, 7, nullptr, -12, nullptr},
      {"signed", "-12", 0, -12, nullptr, 0, nullptr},
      {"empty", "", 2147483647, 0, nullptr, 2147483647, nullptr},
      {"letters", "3a", 2.5, 0, "'3a' no es un valor entero válido", 0, "'2.5000' no es un valor entero válido"},
      {"decimal text", "1.5", 1e12, 0, "'1.5' no es un valor entero válido", 0,
       "'1000000000000.0000' no es un valor entero válido"},
      {"too big", "99999999999", 0, 0, "'99999999999' no es un valor entero válido", 0, nullptr},
      {"accented", "\xD1" "1", 0, 0, "'Ñ1' no es un valor entero válido", 0, nullptr},
      {"inner blank", "1 2", 0, 0, "'1 2' no es un valor entero válido", 0, nullptr},
  };
  TTable table;
  Bind(table, folder.path(), "T.DBF");
  table.Open();
  for (const auto& c : cases) {
    table.Append();
    table.FieldByName("TEXTO").SetAsString(c.texto);
    table.FieldByName("NUM").SetAsFloat(c.num);
    table.Post();
  }
  table.Close();
  table.Open();
  for (const auto& c : cases) {
    const std::string textError = ErrorOf([&] { EXPECT_EQ(table.FieldByName("TEXTO").AsInteger(), c.textValue) << c.name; });
    EXPECT_EQ(textError, c.textError ? c.textError : "") << c.name;
    const std::string numError = ErrorOf([&] { EXPECT_EQ(table.FieldByName("NUM").AsInteger(), c.numValue) << c.name; });
    EXPECT_EQ(numError, c.numError ? c.numError : "") << c.name;
    table.Next();
  }
}

}  // namespace
}  // namespace tables
