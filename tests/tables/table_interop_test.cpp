// Our tables read by another program's reader (Debian's python3-dbfread),
// and another program's tables (python3-dbf) read by us: what Horalia and
// the converter exchange must not depend on our reader agreeing with our
// writer.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tables/dbf_bytes.h"
#include "common/run_program.h"
#include "common/scratch_folder.h"
#include "tables/table.h"
#include "tables/table_fixture.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

namespace tables {
namespace {

namespace fs = std::filesystem;

// Runs a Python script with Debian's interpreter; returns its output, or
// fails the test.
std::string RunPython(const fs::path& folder, const std::string& script, const std::string& argument) {
  const fs::path file = folder / "script.py";
  dbf_bytes::WriteFile(file, script);
  const ProgramRun run = RunProgram({PYTHON_EXE, file.string(), argument});
  EXPECT_EQ(run.exitCode, 0) << run.out << run.err;
  return run.out + run.err;
}

// Prints what dbfread sees, one line each: the encoding it chose from the
// language byte, every field (name, type, length, decimals), every value of
// every record (text as hex of its UTF-8, so that blanks show).
const char kDbfreadDump[] = R"py(
import sys, dbfread
table = dbfread.DBF(sys.argv[1], load=True)
print("E", table.encoding)
for f in table.fields:
    print("F", f.name, f.type, f.length, f.decimal_count)
for record in table.records:
    for name, v in record.items():
        if isinstance(v, bool): s = "b" + str(v)
        elif v is None: s = "n"
        elif isinstance(v, int): s = "i" + str(v)
        elif isinstance(v, float): s = "f" + repr(v)
        else: s = "s" + v.encode("utf-8").hex()
        print("V", name, s)
)py";

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (const unsigned char c : bytes) {
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  return hex;
}

// Awkward texts, in Windows-1252: accents and the euro sign, leading blanks,
// empty, longer than any field.
const std::vector<std::string> kTexts = {
    "\xC1lvaro Ib\xE1\xF1" "ez \x80",
    "  con blancos delante",
    "",
    "un texto bastante m\xE1s largo que cualquier campo de las tablas de trabajo",
    "\xE9",
};

// What a field written with `text` holds: cut to its width, without the
// trailing blanks.
std::string Stored(const std::string& text, int width) {
  std::string s = text.substr(0, static_cast<std::size_t>(width));
  s.erase(s.find_last_not_of(' ') + 1);
  return s;
}

TEST(TableInterop, DbfreadReadsEveryWorkingTableAsWritten) {
  for (const TableSchema& schema : WorkingTableSchemas()) {
    ScratchFolder folder;
    table_fixture::Create(folder.path(), schema.Name + ".DBF", schema.Fields);
    std::string expected = "E cp1252\n";
    for (const TFieldDef& f : schema.Fields) {
      switch (f.DataType) {
        case TFieldType::ftString: expected += "F " + f.Name + " C " + std::to_string(f.Size) + " 0\n"; break;
        case TFieldType::ftInteger: expected += "F " + f.Name + " N 11 0\n"; break;
        case TFieldType::ftBoolean: expected += "F " + f.Name + " L 1 0\n"; break;
        case TFieldType::ftFloat: expected += "F " + f.Name + " N 19 4\n"; break;
      }
    }
    // Row 0 sets every field; row 1 leaves numbers unset and writes false.
    std::vector<std::map<std::string, std::string>> ours(2);
    TTable table;
    table_fixture::Bind(table, folder.path(), schema.Name + ".DBF", true);
    table.Open();
    for (int row = 0; row < 2; ++row) {
      table.Append();
      for (std::size_t i = 0; i < schema.Fields.size(); ++i) {
        const TFieldDef& f = schema.Fields[i];
        TField field = table.FieldByName(f.Name);
        std::string seen;
        switch (f.DataType) {
          case TFieldType::ftString: {
            const std::string& text = kTexts[(i + row) % kTexts.size()];
            field.SetAsString(text);
            const std::string stored = Stored(text, f.Size);
            seen = "s" + Hex(text::Cp1252ToUtf8(stored));
            ours[row][f.Name] = stored;
            break;
          }
          case TFieldType::ftInteger:
            if (row == 0) field.SetAsInteger(-1234567890);
            seen = row == 0 ? "i-1234567890" : "n";
            ours[row][f.Name] = row == 0 ? "-1234567890" : "";
            break;
          case TFieldType::ftBoolean:
            field.SetAsBoolean(row == 0);
            seen = row == 0 ? "bTrue" : "bFalse";
            ours[row][f.Name] = row == 0 ? "True" : "False";
            break;
          case TFieldType::ftFloat:
            if (row == 0) field.SetAsFloat(12.75);
            seen = row == 0 ? "f12.75" : "n";
            ours[row][f.Name] = row == 0 ? "12.75" : "";
            break;
        }
        expected += "V " + f.Name + " " + seen + "\n";
      }
      table.Post();
    }
    table.Close();

    EXPECT_EQ(RunPython(folder.path(), kDbfreadDump, (folder.path() / (schema.Name + ".DBF")).string()),
              expected)
        << schema.Name;

    table.Open();
    for (int row = 0; row < 2; ++row, table.Next()) {
      for (const TFieldDef& f : schema.Fields) {
        EXPECT_EQ(table.FieldByName(f.Name).AsString(), ours[row][f.Name]) << schema.Name << "." << f.Name;
      }
    }
  }
}

// python3-dbf writes a dBase III SOLUC as Horalia might: lower-case file
// name, DIA as a number and HORA as text holding digits, one record deleted.
const char kDbfWriter[] = R"py(
import sys, dbf
table = dbf.Table(sys.argv[1] + "/soluc", "PROF C(4); DIA N(2,0); HORA C(2); AULA C(5); HORAS N(5,2)",
                  dbf_type="db3", codepage="cp1252")
table.open(dbf.READ_WRITE)
table.append(("ANA", 1, "03", "A1", 2.5))
table.append(("LUIS", 2, "04", "B2", 1))
table.append(("\u00c1NGE", 0, " 1", "", 0))
dbf.delete(table[1])
table.close()
)py";

TEST(TableInterop, ReadsTablesThatPythonDbfWrites) {
  ScratchFolder folder;
  RunPython(folder.path(), kDbfWriter, folder.path().string());
  ASSERT_TRUE(fs::exists(folder.path() / "soluc.dbf"));
  TTable soluc;
  table_fixture::Bind(soluc, folder.path(), "SOLUC", true);
  soluc.Open();
  EXPECT_EQ(soluc.RecordCount(), 2u);
  const struct {
    const char* prof;
    int dia;
    const char* diaText;
    int hora;
    const char* aula;
    double horas;
  } rows[] = {{"ANA", 1, "1", 3, "A1", 2.5}, {"\xC1NGE", 0, "0", 1, "", 0}};
  for (const auto& row : rows) {
    ASSERT_FALSE(soluc.Eof());
    EXPECT_EQ(soluc.FieldByName("PROF").AsString(), row.prof);
    EXPECT_EQ(soluc.FieldByName("DIA").AsInteger(), row.dia) << row.prof;
    EXPECT_EQ(soluc.FieldByName("DIA").AsString(), row.diaText) << row.prof;
    EXPECT_EQ(soluc.FieldByName("HORA").AsInteger(), row.hora) << row.prof;
    EXPECT_EQ(soluc.FieldByName("AULA").AsString(), row.aula) << row.prof;
    EXPECT_EQ(soluc.FieldByName("HORAS").AsFloat(), row.horas) << row.prof;
    soluc.Next();
  }
  EXPECT_TRUE(soluc.Eof());
}

}  // namespace
}  // namespace tables
