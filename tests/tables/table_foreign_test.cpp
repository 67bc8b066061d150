// Tables that other programs wrote: other dBase versions, level 7, deleted
// records, numbers stored as text, headers that lie, damaged files.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tables/dbf_bytes.h"
#include "common/scratch_folder.h"
#include "tables/table.h"
#include "tables/table_fixture.h"

namespace tables {
namespace {

namespace fs = std::filesystem;
using dbf_bytes::Build;
using dbf_bytes::Layout;
using table_fixture::ErrorOf;

// What a run reads of SOLUC: PROF as text, DIA and HORA as whole numbers.
struct Lesson {
  std::string prof;
  int dia;
  int hora;
  bool operator==(const Lesson&) const = default;
};

std::vector<Lesson> ReadLessons(const fs::path& folder, std::string_view name) {
  TTable table;
  table_fixture::Bind(table, folder, name, true);
  table.Open();
  std::vector<Lesson> lessons;
  for (table.First(); !table.Eof(); table.Next()) {
    lessons.push_back({table.FieldByName("PROF").AsString(), table.FieldByName("DIA").AsInteger(),
                       table.FieldByName("HORA").AsInteger()});
  }
  return lessons;
}

TEST(ForeignTables, AreReadInEveryLayoutOfTheFamily) {
  // PROF C(4), DIA N(2,0), HORA C(2) holding digits; the second record deleted.
  Layout level3;
  level3.fields = {{"PROF", 'C', 4}, {"DIA", 'N', 2}, {"HORA", 'C', 2}};
  level3.records = {" ANA  103", "*LUIS 204", " \xC1NG  5 1"};
  const std::vector<Lesson> expected = {{"ANA", 1, 3}, {"\xC1NG", 5, 1}};

  Layout level7;
  level7.version = 0x04;
  level7.fields = {{"PROF", 'C', 4}, {"DIA", 'I', 4}, {"HORA", 'N', 2}};
  level7.records = {" ANA " + dbf_bytes::Level7Integer(1) + " 3", "*LUIS" + dbf_bytes::Level7Integer(2) + " 4",
                    " \xC1NG " + dbf_bytes::Level7Integer(5) + "01"};

  Layout withLock = level3;  // converted for multi-user locking
  withLock.version = 0x8B;
  withLock.fields.push_back({"_DBASELOCK", 'C', 8});
  for (std::string& r : withLock.records) r += std::string(8, '\0');

  Layout withMemo = level3;
  withMemo.version = 0x83;
  withMemo.fields.insert(withMemo.fields.begin() + 1, {"NOTAS", 'M', 10});
  for (std::string& r : withMemo.records) r.insert(5, "         1");

  const struct {
    const char* name;
    Layout layout;
    std::uint8_t language;
  } cases[] = {
      {"dBase III", level3, 0x58},
      {"dBase III, language byte 0", level3, 0x00},
      {"dBase IV with memo and lock field", withLock, 0x57},
      {"dBase III with memo", withMemo, 0x58},
      {"dBase 5", [&] { Layout s = level3; s.version = 0x05; return s; }(), 0x58},
      {"level 7 with an I field", level7, 0x58},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    Layout layout = c.layout;
    layout.language = c.language;
    dbf_bytes::WriteFile(folder.path() / "soluc.dbf", Build(layout));
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReadLessons(folder.path(), "SOLUC"), expected) << c.name;
  }
}

TEST(ForeignTables, LockFieldAndMemoContentStayHidden) {
  ScratchFolder folder;
  Layout layout;
  layout.version = 0x8B;
  layout.fields = {{"PROF", 'C', 4}, {"NOTAS", 'M', 10}, {"_DBASELOCK", 'C', 8}};
  layout.records = {" ANA          1" + std::string(8, 'x')};
  dbf_bytes::WriteFile(folder.path() / "T.DBF", Build(layout));
  TTable table;
  table_fixture::Bind(table, folder.path(), "T");
  table.Open();
  ASSERT_EQ(table.Fields().size(), 2u);
  EXPECT_EQ(table.Fields()[1].Name, "NOTAS");
  EXPECT_EQ(table.FieldByName("NOTAS").AsString(), "");
  EXPECT_EQ(ErrorOf([&] { table.FieldByName("_DBASELOCK"); }), "No se encuentra el campo '_DBASELOCK'");
}

TEST(ForeignTables, WritingBackKeepsTheirHeaderAndRenewsTheCount) {
  ScratchFolder folder;
  Layout layout;
  layout.version = 0x04;
  layout.fields = {{"PROF", 'C', 4}, {"DIA", 'I', 4}};
  layout.records = {" ANA " + dbf_bytes::Level7Integer(1)};
  std::string original = Build(layout);
  original[28] = 1;  // an index file belongs to it
  dbf_bytes::WriteFile(folder.path() / "T.DBF", original);
  {
    TTable table;
    table_fixture::Bind(table, folder.path(), "T");
    table.Open();
    table.Append();
    table.FieldByName("PROF").SetAsString("LUIS");
    table.FieldByName("DIA").SetAsInteger(-7);
    table.Post();
  }
  const std::string written = dbf_bytes::ReadFile(folder.path() / "T.DBF");
  const std::size_t header = 68 + 2 * 48 + 1;
  ASSERT_EQ(written.size(), header + 2 * 9 + 1);
  EXPECT_EQ(written.substr(32, header - 32), original.substr(32, header - 32));
  EXPECT_EQ(written[0], '\x04');
  EXPECT_EQ(written[4], 2);
  EXPECT_EQ(written[28], 0) << "the index no longer matches the records";
  EXPECT_EQ(written.substr(header + 9, 9), " LUIS" + dbf_bytes::Level7Integer(-7));
}

TEST(ForeignTables, UnreadableFieldTypeIsReportedWhenRead) {
  ScratchFolder folder;
  Layout layout;
  layout.version = 0x30;  // Visual FoxPro, with a currency field
  layout.fields = {{"PROF", 'C', 4}, {"PAGO", 'Y', 8}};
  layout.records = {" ANA " + std::string(8, '\0')};
  dbf_bytes::WriteFile(folder.path() / "T.DBF", Build(layout));
  TTable table;
  table_fixture::Bind(table, folder.path(), "T");
  table.Open();
  EXPECT_EQ(table.FieldByName("PROF").AsString(), "ANA");
  EXPECT_NE(ErrorOf([&] { table.FieldByName("PAGO").AsString(); }).find("es de tipo Y"), std::string::npos);
}

TEST(ForeignTables, DamagedFilesAreRefusedNamingTableAndFile) {
  ScratchFolder folder;
  const fs::path file = folder.path() / "SOLUC.DBF";
  const std::string label = "SOLUC (" + file.string() + ")";
  const struct {
    const char* name;
    std::string bytes;
    std::string message;
  } cases[] = {
      {"empty", "", "La tabla " + label + " no es una tabla dBase: el archivo está vacío."},
      {"text", "PROF;DIA\n", "La tabla " + label + " no es una tabla dBase: su primer byte (0x50)"},
      {"cut in the header", std::string("\x03\x7C\x05\x11", 4),
       "La tabla " + label + " está dañada: el archivo tiene 4 bytes"},
      {"cut in the records", [] {
         Layout layout;
         layout.fields = {{"PROF", 'C', 4}, {"DIA", 'N', 2}, {"HORA", 'N', 2}};
         layout.records = {" ANA  1 3", " LUIS 2 4"};
         layout.claimed = 50;
         return Build(layout);
       }(), "La tabla " + label + " está dañada: su encabezado dice que tiene 50 registros, pero el archivo solo guarda 2"},
  };
  for (const auto& c : cases) {
    dbf_bytes::WriteFile(file, c.bytes);
    TTable table;
    table_fixture::Bind(table, folder.path(), "SOLUC");
    EXPECT_EQ(ErrorOf([&] { table.Open(); }).rfind(c.message, 0), 0u) << c.name;
    EXPECT_FALSE(table.Active()) << c.name;
  }
}

// Every single-byte change and every cut of a valid table, opened and read
// field by field through the engine: an error or values, never a crash or a
// read outside the file (the sanitizer build checks that).
TEST(ForeignTables, SurviveEveryFlippedByteAndCut) {
  ScratchFolder folder;
  const fs::path file = folder.path() / "T.DBF";
  for (const std::uint8_t version : {0x03, 0x04}) {
    Layout layout;
    layout.version = version;
    layout.fields = {{"PROF", 'C', 3}, {"DIA", version == 0x04 ? 'I' : 'N', static_cast<std::uint8_t>(version == 0x04 ? 4 : 2)},
                   {"ACT", 'L', 1}, {"HORAS", 'F', 5, 2}};
    const std::string dia = version == 0x04 ? dbf_bytes::Level7Integer(3) : " 3";
    layout.records = {" ANA" + dia + "T 2.50", "*LUI" + dia + "F-1.00"};
    const std::string good = Build(layout);
    const auto readAll = [&](const std::string& bytes) {
      dbf_bytes::WriteFile(file, bytes);
      TTable table;
      table_fixture::Bind(table, folder.path(), "T");
      try {
        table.Open();
        for (table.First(); !table.Eof(); table.Next()) {
          for (const TFieldDef& f : table.Fields()) {
            TField field = table.FieldByName(f.Name);
            for (const auto& read : std::vector<std::function<void()>>{
                     [&] { field.AsString(); }, [&] { field.AsInteger(); },
                     [&] { field.AsBoolean(); }, [&] { field.AsFloat(); }}) {
              try {
                read();
              } catch (const UserError&) {
              }
            }
          }
        }
      } catch (const UserError&) {
      }
    };
    for (std::size_t at = 0; at < good.size(); ++at) {
      for (const char value : {'\0', '\x0D', '*', '9', '\xFF'}) {
        std::string bytes = good;
        bytes[at] = value;
        readAll(bytes);
      }
    }
    for (std::size_t size = 0; size < good.size(); size += 3) readAll(good.substr(0, size));
  }
}

}  // namespace
}  // namespace tables
