// Every spoilt input of the corpus through both runs, in the core and in the
// batch tool: each ends with its Spanish message and exit code, never a
// crash, leaves every table readable by another program, and leaves
// byte-identical every good table that the run had not yet reached.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "hardening/fuzzed_tables.h"
#include "hardening/hardening_fixture.h"

namespace hardening {
namespace {

const std::set<std::string> kNone = {};
const std::set<std::string> kYearOnly = {"CURSOACAD.DBF"};
const std::set<std::string> kAllEight = [] {
  std::set<std::string> files;
  for (const std::string& table : kWorkingTables) files.insert(table + ".DBF");
  return files;
}();

struct ExportarCase {
  const char* file;  // in tests/data/bad
  int exitCode;
  std::vector<const char*> says;     // parts of the message
  std::set<std::string> mayChange;  // the tables the run reached
};

// A document that cannot be loaded ends the run before any table is deleted.
// One that loads but lacks the academic year ends at the first step; a slot
// time that is not a number at the last. The rest convert.
const ExportarCase kExportarCases[] = {
    {"empty.xml", 1, {"empty.xml", "está vacío"}, kNone},
    {"blanks_only.xml", 1, {"blanks_only.xml", "no es un documento XML válido"}, kNone},
    {"binary.xml", 1, {"binary.xml", "no es un documento XML válido"}, kNone},
    {"truncated.xml", 1, {"truncated.xml", "no es un documento XML válido", "línea"}, kNone},
    {"wrong_encoding_declared.xml", 1, {"wrong_encoding_declared.xml", "no es un documento XML válido"}, kNone},
    {"unknown_encoding_declared.xml", 1, {"unknown_encoding_declared.xml", "codificación"}, kNone},
    {"deep_nesting.xml", 1, {"deep_nesting.xml", "no es un documento XML válido"}, kNone},
    {"billion_laughs.xml", 1, {"billion_laughs.xml"}, kNone},
    {"quadratic_blowup.xml", 1, {"quadratic_blowup.xml", "entidades"}, kNone},
    {"no_bloque_datos.xml", 1, {"no tiene curso académico"}, kYearOnly},
    {"other_root_element.xml", 1, {"no tiene curso académico"}, kYearOnly},
    {"no_year_group.xml", 1, {"no tiene curso académico"}, kYearOnly},
    {"slot_time_0830.xml", 1, {"'08:30' no es un valor entero válido"}, kAllEight},
    {"slot_time_letters.xml", 1, {"'doce' no es un valor entero válido"}, kAllEight},
    {"slot_time_overflow.xml", 1, {"'99999999999' no es un valor entero válido"}, kAllEight},
    {"one_group_only.xml", 0, {}, kAllEight},
    {"records_with_0_to_6_datos.xml", 0, {}, kAllEight},
    {"value_10000_chars.xml", 0, {}, kAllEight},
    {"utf16_without_bom_declared_utf8.xml", 0, {}, kAllEight},
    {"teacher_code_path.xml", 0, {}, kAllEight},
};

void ExpectTablesKept(const Snapshot& before, const fs::path& folder, const std::set<std::string>& mayChange,
                      const std::string& label) {
  for (const std::string& name : Changed(before, TakeSnapshot(folder)))
    EXPECT_TRUE(mayChange.count(name)) << label << ": " << name << " changed though the run never reached it";
  EXPECT_EQ(InvalidTables(folder), "") << label;
}

void ExpectSays(const Outcome& outcome, const std::vector<const char*>& says, const std::string& label) {
  for (const char* part : says) EXPECT_TRUE(Contains(outcome.message, part)) << label << ": " << outcome;
}

TEST(BadInput, ExportarThroughTheCore) {
  for (const auto& c : kExportarCases) {
    ScratchFolder scratch;
    SeedGoodFolder(scratch.path());
    const Snapshot before = TakeSnapshot(scratch.path());

    const Outcome outcome = ExportarCore(scratch.path(), kBad / c.file);

    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.file << ": " << outcome;
    ExpectSays(outcome, c.says, c.file);
    ExpectTablesKept(before, scratch.path(), c.mayChange, c.file);
  }
}

#ifdef BATCH_EXE
TEST(BadInput, ExportarThroughTheBatchTool) {
  for (const auto& c : kExportarCases) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "HTEMP";
    SeedGoodFolder(folder);
    const Snapshot before = TakeSnapshot(folder);

    // The levels of the small school fit none of the spoilt documents'
    // courses: those go on by the forced exit.
    const Outcome outcome = Batch({"exportar", (kBad / c.file).string(), "--niveles", kSchoolLevels.string(),
                                   "--forzar-salida", "--htemp", folder.string()},
                                  scratch.path());

    EXPECT_EQ(outcome.exitCode, c.exitCode) << c.file << ": " << outcome;
    ExpectSays(outcome, c.says, c.file);
    if (c.exitCode == 0) {
      EXPECT_TRUE(Contains(outcome.out, "Proceso finalizado")) << c.file << ": " << outcome.out;
    }
    ExpectTablesKept(before, folder, c.mayChange, c.file);
  }
}
#endif

struct ImportarCase {
  const char* name;
  // What becomes of the good folder before the run: a file of tests/data/bad
  // put in place of a table, or a table removed (file empty).
  const char* table;
  const char* replacement;
  int exitCode;
  std::vector<const char*> says;
};

const ImportarCase kImportarCases[] = {
    {"good SOLUC", "SOLUC.DBF", nullptr, 0, {}},
    {"SOLUC missing", "SOLUC.DBF", "", 1, {"SOLUC"}},
    {"SOLUC empty file", "SOLUC.DBF", "soluc_empty.dbf", 1, {"SOLUC", "vacío"}},
    {"SOLUC not a table", "SOLUC.DBF", "soluc_not_dbf.dbf", 1, {"SOLUC"}},
    {"SOLUC cut inside its header", "SOLUC.DBF", "soluc_truncated_in_header.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC truncated", "SOLUC.DBF", "soluc_truncated.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC claims more records than it holds", "SOLUC.DBF", "soluc_claims_more_records.dbf", 1,
     {"SOLUC", "dañada"}},
    {"SOLUC claims four billion records", "SOLUC.DBF", "soluc_claims_four_billion_records.dbf", 1,
     {"SOLUC", "dañada"}},
    {"SOLUC record length disagrees with its fields", "SOLUC.DBF", "soluc_record_length_mismatch.dbf", 1,
     {"SOLUC", "dañada"}},
    {"SOLUC record length 65535", "SOLUC.DBF", "soluc_record_length_65535.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC header length past the end", "SOLUC.DBF", "soluc_header_length_past_end.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC header length too small", "SOLUC.DBF", "soluc_header_length_too_small.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC without header terminator", "SOLUC.DBF", "soluc_no_header_terminator.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC field past the record", "SOLUC.DBF", "soluc_field_past_record.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC field of width 0", "SOLUC.DBF", "soluc_field_width_zero.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC without fields", "SOLUC.DBF", "soluc_no_fields.dbf", 1, {"SOLUC", "dañada"}},
    {"SOLUC field name without NUL", "SOLUC.DBF", "soluc_field_name_unterminated.dbf", 1,
     {"No se encuentra el campo 'PROF'"}},
    {"SOLUC without HORA", "SOLUC.DBF", "soluc_missing_field.dbf", 1, {"No se encuentra el campo 'HORA'"}},
    {"SOLUC DIA x", "SOLUC.DBF", "soluc_dia_x.dbf", 1, {"'x' no es un valor entero válido"}},
    {"SOLUC DIA stars", "SOLUC.DBF", "soluc_dia_stars.dbf", 1, {"'*' no es un valor entero válido"}},
    {"SOLUC HORA past 32 bits", "SOLUC.DBF", "soluc_hora_overflow.dbf", 1,
     {"'99999999999' no es un valor entero válido"}},
    {"SOLUC DIA and HORA as text with blanks", "SOLUC.DBF", "soluc_dia_hora_text_with_blanks.dbf", 0, {}},
    {"CURSOACAD missing", "CURSOACAD.DBF", "", 1,
     {"ATENCIÓN Falta un Fich. Temporal. Transforme de nuevo de Séneca a Horalia"}},
    {"CURSOACAD not a table", "CURSOACAD.DBF", "soluc_not_dbf.dbf", 1, {"CURSOACAD"}},
    {"PROFT missing", "PROFT.DBF", "", 1, {"PROFT"}},
    {"PROFT truncated", "PROFT.DBF", "soluc_truncated_in_header.dbf", 1, {"PROFT", "dañada"}},
    {"PROFT without the fields the run reads", "PROFT.DBF", "soluc_missing_field.dbf", 1,
     {"No se encuentra el campo"}},
    {"AULAT missing", "AULAT.DBF", "", 1, {"AULAT"}},
    {"GRUPOST not a table", "GRUPOST.DBF", "soluc_not_dbf.dbf", 1, {"GRUPOST"}},
    {"ASIGNOMT record length wrong", "ASIGNOMT.DBF", "soluc_record_length_mismatch.dbf", 1, {"ASIGNOMT"}},
    {"DIASHORAST missing", "DIASHORAST.DBF", "", 1, {"DIASHORAST"}},
};

// The chosen exchange document and an earlier output beside it, which a
// failed run must leave as it was.
struct Chosen {
  explicit Chosen(const fs::path& folder) : file(folder / "ExportacionHorarios.xml") {
    fs::create_directories(folder);
    fs::copy_file(kSchool, file);
    WriteBytes(output, kEarlierOutput);
  }
  static inline const std::string kEarlierOutput = "<?xml version=\"1.0\"?>\n<SERVICIO>anterior</SERVICIO>\n";
  fs::path file;
  fs::path output = file.parent_path() / "ResultadoOrvanoExportacionHorarios.xml";
};

void PrepareImportar(const ImportarCase& c, const fs::path& folder) {
  SeedGoodFolder(folder);
  if (c.replacement == nullptr) return;
  fs::remove(folder / c.table);
  if (*c.replacement) fs::copy_file(kBad / c.replacement, folder / c.table);
}

void ExpectImportarResult(const ImportarCase& c, const Outcome& outcome, const Chosen& chosen,
                          const Snapshot& before, const fs::path& folder) {
  EXPECT_EQ(outcome.exitCode, c.exitCode) << c.name << ": " << outcome;
  ExpectSays(outcome, c.says, c.name);
  // The run only reads the working folder.
  EXPECT_TRUE(Changed(before, TakeSnapshot(folder)).empty()) << c.name;
  if (c.exitCode == 0) {
    EXPECT_EQ(IllFormed(chosen.output), "") << c.name;
  } else {
    EXPECT_EQ(ReadBytes(chosen.output), Chosen::kEarlierOutput) << c.name << ": the earlier output was touched";
  }
  EXPECT_EQ(std::distance(fs::directory_iterator(chosen.file.parent_path()), fs::directory_iterator()), 2)
      << c.name << ": stray files beside the chosen document";
}

TEST(BadInput, ImportarThroughTheCore) {
  for (const auto& c : kImportarCases) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "HTEMP";
    PrepareImportar(c, folder);
    const Snapshot before = TakeSnapshot(folder);
    const Chosen chosen(scratch.path() / "seneca");

    const Outcome outcome = ImportarCore(folder, chosen.file);

    ExpectImportarResult(c, outcome, chosen, before, folder);
  }
}

#ifdef BATCH_EXE
TEST(BadInput, ImportarThroughTheBatchTool) {
  for (const auto& c : kImportarCases) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "HTEMP";
    PrepareImportar(c, folder);
    const Snapshot before = TakeSnapshot(folder);
    const Chosen chosen(scratch.path() / "seneca");
    fs::copy_file(kTemplate, scratch.path() / "base.xml");  // read from the current folder

    const Outcome outcome = Batch({"importar", chosen.file.string(), "--htemp", folder.string()}, scratch.path());

    ExpectImportarResult(c, outcome, chosen, before, folder);
    if (c.exitCode == 0) {
      EXPECT_TRUE(Contains(outcome.out, "Proceso finalizado")) << c.name << ": " << outcome.out;
    }
  }
}
#endif

// The chosen document is never read in this direction: whatever it holds, the
// run works from the tables.
TEST(BadInput, ImportarNeverReadsTheChosenDocument) {
  for (const char* file : {"empty.xml", "binary.xml", "billion_laughs.xml"}) {
    ScratchFolder scratch;
    const fs::path folder = scratch.path() / "HTEMP";
    SeedGoodFolder(folder);
    fs::copy_file(kBad / file, scratch.path() / file);

    const Outcome outcome = ImportarCore(folder, scratch.path() / file);

    EXPECT_EQ(outcome.exitCode, 0) << file << ": " << outcome;
    EXPECT_EQ(IllFormed(scratch.path() / (std::string("ResultadoOrvano") + file)), "") << file;
  }
}

struct FolderCase {
  const char* name;
  int exitCode;
  const char* says;
};

// The working folder itself: missing, a file, read-only. Nothing is created.
TEST(BadInput, AWorkingFolderThatCannotServe) {
  ScratchFolder scratch;
  const fs::path missing = scratch.path() / "NOEXISTE";
  const fs::path file = scratch.path() / "ARCHIVO";
  WriteBytes(file, "no soy una carpeta");
  const fs::path chosen = scratch.path() / "ExportacionHorarios.xml";
  fs::copy_file(kSchool, chosen);

  for (const auto& [label, folder, says] : std::vector<std::tuple<std::string, fs::path, std::string>>{
           {"missing", missing, "no existe"}, {"a file", file, "no es una carpeta"}}) {
    const Outcome exportar = ExportarCore(folder, chosen);
    EXPECT_EQ(exportar.exitCode, 1) << label;
    EXPECT_TRUE(Contains(exportar.message, says)) << label << ": " << exportar;
    EXPECT_TRUE(Contains(exportar.message, folder.string())) << label << ": " << exportar;

    const Outcome importar = ImportarCore(folder, chosen);
    EXPECT_EQ(importar.exitCode, 1) << label;
    EXPECT_TRUE(Contains(importar.message, says)) << label << ": " << importar;
#ifdef BATCH_EXE
    for (const char* command : {"exportar", "importar"}) {
      const Outcome batch = Batch({command, chosen.string(), "--htemp", folder.string()}, scratch.path());
      EXPECT_EQ(batch.exitCode, 1) << label << ", " << command;
      EXPECT_TRUE(Contains(batch.message, says)) << label << ", " << command << ": " << batch;
    }
#endif
  }
  EXPECT_FALSE(fs::exists(missing));
  EXPECT_EQ(ReadBytes(file), "no soy una carpeta");
  EXPECT_FALSE(fs::exists(scratch.path() / "ResultadoOrvanoExportacionHorarios.xml"));
}

TEST(BadInput, AReadOnlyWorkingFolderKeepsItsTablesAndStillServesImportar) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "HTEMP";
  SeedGoodFolder(folder);
  const Snapshot before = TakeSnapshot(folder);
  const fs::path chosen = scratch.path() / "ExportacionHorarios.xml";
  fs::copy_file(kSchool, chosen);
  ReadOnlyFolder readOnly(folder);
  if (!readOnly.ok()) GTEST_SKIP() << "no way to make a folder read-only here";

  const Outcome exportar = ExportarCore(folder, chosen);
  EXPECT_EQ(exportar.exitCode, 1);
  EXPECT_TRUE(Contains(exportar.message, "solo lectura")) << exportar;
  EXPECT_TRUE(Changed(before, TakeSnapshot(folder)).empty());

  const Outcome importar = ImportarCore(folder, chosen);
  EXPECT_EQ(importar.exitCode, 0) << importar;
#ifdef BATCH_EXE
  const Outcome batch = Batch({"exportar", chosen.string(), "--htemp", folder.string()}, scratch.path());
  EXPECT_EQ(batch.exitCode, 1) << batch;
  EXPECT_TRUE(Contains(batch.message, "solo lectura")) << batch;
  EXPECT_TRUE(Changed(before, TakeSnapshot(folder)).empty());
#endif
}

// Every input a fuzzer once found a fault with, through the run it was fed
// to: it must end as any bad input does, with a message or a result.
TEST(BadInput, FuzzerFindingsStayFixed) {
  const fs::path regressions = fs::path(FUZZ_DIR) / "regressions";
  for (const char* kind : {"exchange_document", "soluc", "dbf"}) {
    if (!fs::exists(regressions / kind)) continue;
    for (const auto& entry : fs::directory_iterator(regressions / kind)) {
      const std::string bytes = ReadBytes(entry.path());
      const std::string label = std::string(kind) + "/" + entry.path().filename().string();
      ScratchFolder scratch;
      const fs::path folder = scratch.path() / "HTEMP";
      SeedGoodFolder(folder);
      const fs::path chosen = scratch.path() / "ExportacionHorarios.xml";
      if (std::string(kind) == "exchange_document") {
        WriteBytes(chosen, bytes);
        ExportarCore(folder, chosen);
      } else {
        fs::copy_file(kSchool, chosen);
        const bool soluc = std::string(kind) == "soluc";
        if (soluc && bytes.empty()) continue;
        const std::string table(soluc ? FuzzedTableOf(bytes) : "SOLUC.DBF");
        WriteBytes(folder / table, soluc ? bytes.substr(1) : bytes);
        ImportarCore(folder, chosen);
      }
      SUCCEED() << label;
    }
  }
}

}  // namespace
}  // namespace hardening
