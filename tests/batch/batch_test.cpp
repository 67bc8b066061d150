// transorvano-batch end to end: the built program is run on the sample school
// (and on variants of it made here), and what it prints, its exit code and the
// tables it leaves are checked, the tables with python3-dbfread.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "common/run_program.h"
#include "common/scratch_folder.h"

namespace {

namespace fs = std::filesystem;

const fs::path kSamples = SAMPLES_DIR;

std::string LastLine(const std::string& text) {
  std::string line, last;
  std::istringstream lines(text);
  while (std::getline(lines, line)) last = line;
  return last;
}

// Rows of every table in a folder, as python3-dbfread counts them.
constexpr const char kCountRows[] = R"(
import os, sys
from dbfread import DBF
folder = sys.argv[1]
for name in sorted(os.listdir(folder)):
    if name.upper().endswith('.DBF'):
        print(name.upper()[:-4], len(list(DBF(os.path.join(folder, name), encoding='cp1252'))))
)";

// Rows of a table whose field equals a value.
constexpr const char kCountWhere[] = R"(
import sys
from dbfread import DBF
table, field, value = sys.argv[1:4]
print(sum(1 for r in DBF(table, encoding='cp1252') if r[field] == value))
)";

// Activity groups of an output document, and SOLUC lessons with a day.
constexpr const char kCountActivities[] = R"(
import sys
import xml.etree.ElementTree as ET
from dbfread import DBF
root = ET.parse(sys.argv[1]).getroot()
groups = [g for g in root.iter('grupo_datos') if g.get('seq', '').startswith('ACTIVIDAD_')]
lessons = [r for r in DBF(sys.argv[2], encoding='cp1252') if r['DIA'] != 0]
print(len(groups), len(lessons))
)";

std::string Python(const char* script, std::vector<std::string> args) {
  args.insert(args.begin(), {PYTHON_EXE, "-c", script});
  const ProgramRun run = RunProgram(args);
  EXPECT_EQ(run.exitCode, 0) << run.err;
  return run.out;
}

// What exportar on the sample school writes, table by table.
const std::map<std::string, long> kSampleRows = {
    {"CURSOACAD", 1},    // one academic year
    {"CURSOST", 40},     // the 40 courses of the centre
    {"ASIGNOMT", 361},   // 321 subjects and 40 activities, none dropped
    {"PROFT", 81},       // 80 teachers and one employee listed twice
    {"AULAT", 80},       // 80 rooms
    {"GRUPOST", 45},     // 44 units, one of them listed with two courses
    {"ASIGT", 360},      // each of the 45 unit rows with the 8 subjects of its course
    {"DIASHORAST", 84},  // 12 slots on each of 7 days
};

class BatchTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    root_ = fs::path(BUILD_DIR) / "test-scratch" / "batch" / test->name();
    fs::remove_all(root_);
    fs::create_directories(Htemp());
    fs::copy_file(kSamples / "ExportacionHorarios.xml", Document());
  }

  fs::path Htemp() const { return root_ / "HTEMP"; }
  fs::path Document() const { return root_ / "ExportacionHorarios.xml"; }
  fs::path Output() const { return root_ / "ResultadoOrvanoExportacionHorarios.xml"; }

  static ProgramRun Batch(std::vector<std::string> args, const fs::path& cwd = {}) {
    args.insert(args.begin(), BATCH_EXE);
    return RunProgram(args, cwd);
  }

  ProgramRun Exportar(const fs::path& niveles, std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"exportar", Document().string(), "--niveles", niveles.string(),
                                     "--htemp", Htemp().string()};
    args.insert(args.end(), more.begin(), more.end());
    return Batch(args);
  }

  // importar as the program is used: from a folder holding base.xml.
  ProgramRun Importar() { return Batch({"importar", Document().string(), "--htemp", Htemp().string()}, kSamples); }

  std::map<std::string, long> RowCounts() const {
    std::map<std::string, long> counts;
    std::istringstream lines(Python(kCountRows, {Htemp().string()}));
    std::string name;
    long rows;
    while (lines >> name >> rows) counts[name] = rows;
    return counts;
  }

  long CountWhere(const std::string& table, const std::string& field, const std::string& value) const {
    return std::stol(Python(kCountWhere, {(Htemp() / (table + ".DBF")).string(), field, value}));
  }

  // The sample's NIVELES.csv without the line of one course, with a byte
  // order mark and CRLF line ends as a spreadsheet on Windows saves it.
  fs::path NivelesWithout(const std::string& clave) const {
    std::istringstream lines(ReadBytes(kSamples / "NIVELES.csv"));
    std::string line, csv = "\xEF\xBB\xBF";
    while (std::getline(lines, line)) {
      if (line.rfind(clave + ";", 0) != 0) csv += line + "\r\n";
    }
    const fs::path file = root_ / "NIVELES.csv";
    WriteBytes(file, csv);
    return file;
  }

  fs::path root_;
};

TEST_F(BatchTool, ExportarWritesTheEightTablesOfTheSample) {
  const ProgramRun run = Exportar(kSamples / "NIVELES.csv");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LastLine(run.out), "Proceso finalizado");
  EXPECT_EQ(RowCounts(), kSampleRows);
  EXPECT_NE(run.out.find("ASIGT          360 registros"), std::string::npos) << run.out;
  // Every course got its level from the file, so no unit is left without one.
  EXPECT_EQ(CountWhere("CURSOST", "NIVEL", ""), 0);
  EXPECT_EQ(CountWhere("GRUPOST", "NIVEL", "NIV"), 0);
}

TEST_F(BatchTool, MissingDocumentTouchesNothing) {
  const fs::path seeded = Htemp() / "PROFT.DBF";
  WriteBytes(seeded, "tabla de una ejecución anterior");
  const struct {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"exportar", {"exportar", (root_ / "no_esta.xml").string(), "--htemp", Htemp().string()}},
      {"importar", {"importar", (root_ / "no_esta.xml").string(), "--htemp", Htemp().string()}},
      {"a folder", {"exportar", root_.string(), "--htemp", Htemp().string()}},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Batch(c.args);
    EXPECT_EQ(run.exitCode, 1) << c.name;
    EXPECT_NE(run.err.find("No existe archivo"), std::string::npos) << c.name << ": " << run.err;
    EXPECT_EQ(EntriesOf(Htemp()), std::vector<std::string>{"PROFT.DBF"}) << c.name;
    EXPECT_EQ(ReadBytes(seeded), "tabla de una ejecución anterior") << c.name;
  }
}

TEST_F(BatchTool, UsageErrorsExitTwoWithTheUsage) {
  const struct {
    const char* name;
    std::vector<std::string> args;
  } cases[] = {
      {"no arguments", {}},
      {"unknown command", {"convertir", "a.xml"}},
      {"no file", {"exportar"}},
      {"two files", {"exportar", "a.xml", "b.xml"}},
      {"option of the other command", {"importar", "a.xml", "--niveles", "n.csv"}},
      {"option without its value", {"exportar", "a.xml", "--htemp"}},
      {"unknown option", {"exportar", "a.xml", "--rapido"}},
  };
  for (const auto& c : cases) {
    const ProgramRun run = Batch(c.args);
    EXPECT_EQ(run.exitCode, 2) << c.name;
    EXPECT_NE(run.err.find("transorvano-batch exportar ARCHIVO.xml"), std::string::npos) << c.name;
  }
  const ProgramRun help = Batch({"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("transorvano-batch importar ARCHIVO.xml [--htemp CARPETA]"), std::string::npos);
}

TEST_F(BatchTool, IncompleteCoursesWithoutTerminalStopAfterCursost) {
  const fs::path seeded = Htemp() / "PROFT.DBF";
  WriteBytes(seeded, "tabla de una ejecución anterior");
  const ProgramRun run = Exportar(NivelesWithout("100368"));  // 3º de E.S.O.

  EXPECT_EQ(run.exitCode, 3) << run.err;
  EXPECT_NE(run.err.find("¡Atención! Falta algún Dato"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("100368  3º de E.S.O.  NIVEL: -  CURSO: -"), std::string::npos) << run.err;
  // The other 39 lines were applied in spite of the BOM and the CRLF ends.
  EXPECT_EQ(CountWhere("CURSOST", "NIVEL", ""), 1);
  EXPECT_EQ(ReadBytes(seeded), "tabla de una ejecución anterior");
  EXPECT_EQ(EntriesOf(Htemp()), (std::vector<std::string>{"CURSOACAD.DBF", "CURSOST.DBF", "PROFT.DBF"}));
  EXPECT_EQ(run.out.find("Proceso finalizado"), std::string::npos);
}

TEST_F(BatchTool, ForcedExitGoesOnWithNivUnits) {
  const ProgramRun run = Exportar(NivelesWithout("100368"), {"--forzar-salida"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LastLine(run.out), "Proceso finalizado");
  EXPECT_NE(run.err.find("¡Atención! Falta algún Dato"), std::string::npos);
  EXPECT_EQ(RowCounts(), kSampleRows);
  EXPECT_EQ(CountWhere("GRUPOST", "NIVEL", "NIV"), 4);  // the four units of 3º de E.S.O.
}

TEST_F(BatchTool, BadSlotStartEndsTheRunKeepingEarlierTables) {
  std::string document = ReadBytes(Document());
  const std::string slotStart = "<dato nombre_dato=\"N_INICIO\">510</dato>";
  const auto at = document.find(slotStart);
  ASSERT_NE(at, std::string::npos);
  document.replace(at, slotStart.size(), "<dato nombre_dato=\"N_INICIO\">08:30</dato>");
  WriteBytes(Document(), document);

  const ProgramRun run = Exportar(kSamples / "NIVELES.csv");
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("'08:30' no es un valor entero válido"), std::string::npos) << run.err;
  EXPECT_EQ(run.out.find("Proceso finalizado"), std::string::npos);
  // The seven tables before the slots are complete; the slots' table is
  // empty but a valid table, and no temporary file is left behind.
  std::map<std::string, long> expected = kSampleRows;
  expected["DIASHORAST"] = 0;
  EXPECT_EQ(RowCounts(), expected);
  EXPECT_EQ(EntriesOf(Htemp()).size(), 8u);
}

TEST_F(BatchTool, ImportarRoundTripWritesAWellFormedDocument) {
  ASSERT_EQ(Exportar(kSamples / "NIVELES.csv").exitCode, 0);
  fs::copy_file(kSamples / "SOLUC.DBF", Htemp() / "SOLUC.DBF");

  const ProgramRun run = Importar();
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(LastLine(run.out), "Proceso finalizado");
  EXPECT_NE(run.out.find("Profesores: 81"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find(Output().string()), std::string::npos) << run.out;
  const ProgramRun lint = RunProgram({"xmllint", "--noout", Output().string()});
  EXPECT_EQ(lint.exitCode, 0) << lint.err;
  // One activity group per lesson with a day: SOLUC's lessons of day 0 are left out.
  std::istringstream counts(Python(kCountActivities, {Output().string(), (Htemp() / "SOLUC.DBF").string()}));
  long groups = 0, lessons = -1;
  counts >> groups >> lessons;
  EXPECT_EQ(groups, lessons);
  EXPECT_NE(run.out.find("Actividades escritas: " + std::to_string(lessons)), std::string::npos) << run.out;
}

TEST_F(BatchTool, ImportarWithoutCursoacadWritesNothing) {
  fs::copy_file(kSamples / "SOLUC.DBF", Htemp() / "SOLUC.DBF");
  const ProgramRun run = Importar();
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_NE(run.err.find("ATENCIÓN Falta un Fich. Temporal. Transforme de nuevo de Séneca a Horalia"),
            std::string::npos)
      << run.err;
  EXPECT_FALSE(fs::exists(Output()));
  EXPECT_EQ(EntriesOf(root_), (std::vector<std::string>{"ExportacionHorarios.xml", "HTEMP"}));
}

TEST_F(BatchTool, MalformedLevelsFileStopsBeforeAnyTable) {
  const struct {
    const char* name;
    std::string csv;
    const char* says;
  } cases[] = {
      {"two values", "CLAVE;NIVEL;CURSO\n100310;ESO;1\n100333;ESO\n", "línea 3"},
      {"saved in Latin-1", "CLAVE;NIVEL;CURSO\n100310;Bachiller\xE9;1\n", "línea 2, no está en UTF-8"},
  };
  for (const auto& c : cases) {
    const fs::path niveles = root_ / "NIVELES.csv";
    WriteBytes(niveles, c.csv);
    const ProgramRun run = Exportar(niveles);
    EXPECT_EQ(run.exitCode, 1) << c.name;
    EXPECT_NE(run.err.find(c.says), std::string::npos) << c.name << ": " << run.err;
    EXPECT_TRUE(EntriesOf(Htemp()).empty()) << c.name;
  }
}

}  // namespace
