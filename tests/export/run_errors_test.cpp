// How the run ends when it cannot complete: the message, no output document
// (an earlier one kept whole), the outcome code unchanged, the hourglass taken
// back and the tables given back to Horalia.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <functional>

#include "export/export_fixture.h"

namespace exporting::testing {
namespace {

constexpr const char* kFaltaCursoAcad =
    "ATENCIÓN Falta un Fich. Temporal. Transforme de nuevo de Séneca a Horalia";

// Opens every table the run reads, exclusively, from another process: it
// succeeds only if this process holds none of them open any longer.
bool OtherProgramCanOpenTheTables(const std::filesystem::path& folder) {
  return ExitCodeInAnotherProcess([&] {
           for (const char* name : {"SOLUC", "GRUPOST", "PROFT", "AULAT", "ASIGNOMT", "DIASHORAST"}) {
             if (!std::filesystem::exists(tables::TableFile(folder, name))) continue;
             tables::TTable table;
             table.SetDatabaseName(folder.string());
             table.SetTableName(name);
             table.SetExclusive(true);
             table.SetActive(true);
             table.SetActive(false);
           }
           return 0;
         }) == 0;
}

TEST(MissingCursoAcad, TellsToTransformAgainAndDoesNothingElse) {
  School school;
  std::filesystem::remove(tables::TableFile(school.WorkingFolder(), "CURSOACAD"));
  school.State().CodigoResultado = -1;

  try {
    school.Run();
    ADD_FAILURE() << "the run went on without CURSOACAD";
  } catch (const UserError& e) {
    EXPECT_STREQ(e.what(), kFaltaCursoAcad);
  }

  EXPECT_FALSE(std::filesystem::exists(school.Output()));
  EXPECT_EQ(school.State().CodigoResultado, -1);
  EXPECT_TRUE(school.ui.hourglass.empty());
  EXPECT_FALSE(school.State().DocXML);
  EXPECT_TRUE(school.ComponentsClosed());
}

TEST(MissingCursoAcad, FileNameInAnyLetterCaseIsFound) {
  School school;
  const std::filesystem::path upper = tables::TableFile(school.WorkingFolder(), "CURSOACAD");
  std::filesystem::rename(upper, upper.parent_path() / "cursoacad.dbf");

  school.Run();

  EXPECT_EQ(school.State().CodigoResultado, 1);
}

// Errors after the hourglass has turned on: a table missing (the run stops
// when it opens it, with the components before it already open) or a lesson
// that cannot be read (every component open).
TEST(RunEndingOnAnError, ClosesItsTablesAndWritesNothing) {
  const struct {
    const char* name;
    std::function<void(const School&)> breakIt;
    const char* messageNames;  // what the message must name
  } cases[] = {
      {"SOLUC missing",
       [](const School& s) { std::filesystem::remove(tables::TableFile(s.WorkingFolder(), "SOLUC")); },
       "SOLUC"},
      {"DIASHORAST missing",
       [](const School& s) {
         std::filesystem::remove(tables::TableFile(s.WorkingFolder(), "DIASHORAST"));
       },
       "DIASHORAST"},
      {"SOLUC without TAREA",
       [](const School& s) {
         tables::TTable soluc;
         soluc.SetDatabaseName(s.WorkingFolder().string());
         soluc.SetTableName("SOLUC.DBF");
         soluc.FieldDefs.Add("PROF", tables::TFieldType::ftString, 4);
         soluc.FieldDefs.Add("DIA", tables::TFieldType::ftInteger);
         soluc.FieldDefs.Add("HORA", tables::TFieldType::ftInteger);
         for (const char* f : {"AULA", "CODGRUPO", "ASIG"})
           soluc.FieldDefs.Add(f, tables::TFieldType::ftString, 4);
         soluc.CreateTable();
         soluc.SetActive(true);
         AppendRows(soluc, {{{"PROF", "AA"}, {"DIA", "1"}, {"HORA", "1"}}});
         soluc.SetActive(false);
       },
       "TAREA"},
  };
  for (const auto& c : cases) {
    School school;
    WriteWorkingTable(school.WorkingFolder(), "PROFT", {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}}});
    WriteSoluc(school.WorkingFolder(), DayHourType::kNumeric, {{{"PROF", "AA"}, {"DIA", "1"}, {"HORA", "1"}}});
    c.breakIt(school);
    school.State().CodigoResultado = -1;

    try {
      school.Run();
      ADD_FAILURE() << c.name << ": the run completed";
    } catch (const UserError& e) {
      EXPECT_NE(std::string(e.what()).find(c.messageNames), std::string::npos) << c.name << ": " << e.what();
    }

    EXPECT_FALSE(std::filesystem::exists(school.Output())) << c.name;
    EXPECT_EQ(school.State().CodigoResultado, -1) << c.name;
    EXPECT_EQ(school.ui.hourglass, (std::vector<bool>{true, false})) << c.name;
    EXPECT_TRUE(school.ComponentsClosed()) << c.name;
    EXPECT_TRUE(OtherProgramCanOpenTheTables(school.WorkingFolder())) << c.name;
  }
}

// A template the run cannot build on: a clear error naming it, before any
// table is opened, and nothing written.
TEST(UnusableTemplate, ErrorNamesItAndNothingIsWritten) {
  const struct {
    const char* name;
    const char* contents;  // nullptr: no file
  } cases[] = {
      {"missing", nullptr},
      {"empty", ""},
      {"malformed", "<?xml version=\"1.0\"?><SERVICIO><BLOQUE_DATOS></SERVICIO>"},
      {"BLOQUE_DATOS not directly under the root",
       "<SERVICIO><CABECERA><BLOQUE_DATOS/></CABECERA></SERVICIO>"},
      {"BLOQUE_DATOS is the root", "<BLOQUE_DATOS><grupo_datos seq=\"X\"/></BLOQUE_DATOS>"},
  };
  for (const auto& c : cases) {
    School school;
    std::filesystem::remove(school.Template());
    if (c.contents) WriteBytes(school.Template(), c.contents);
    school.State().CodigoResultado = -1;

    try {
      school.Run();
      ADD_FAILURE() << c.name << ": the run completed";
    } catch (const UserError& e) {
      const std::string message = e.what();
      EXPECT_NE(message.find(school.Template().string()), std::string::npos) << c.name << ": " << message;
      EXPECT_NE(message.find("plantilla"), std::string::npos) << c.name << ": " << message;
    }

    EXPECT_FALSE(std::filesystem::exists(school.Output())) << c.name;
    EXPECT_EQ(school.State().CodigoResultado, -1) << c.name;
    EXPECT_EQ(school.ui.hourglass, (std::vector<bool>{true, false})) << c.name;
    EXPECT_TRUE(school.ComponentsClosed()) << c.name;
  }
}

// The template named without a folder is looked for in the current directory.
TEST(TemplateFile, BareNameIsReadFromTheCurrentDirectory) {
  School school;
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(school.Template().parent_path());

  const ExportSummary summary = RunHoraliaToSeneca(school.State());

  std::filesystem::current_path(before);
  EXPECT_EQ(summary.Output, school.Output());
  EXPECT_NE(ReadBytes(school.Output()).find("IES Ejemplo"), std::string::npos);
}

// A save that fails half-way (here the file-size limit stops the writing)
// leaves the earlier output whole and no temporary file beside it.
TEST(FailedSave, KeepsTheEarlierOutputWhole) {
  School school;
  WriteWorkingTable(school.WorkingFolder(), "PROFT", {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}}});
  const std::string earlier(40, 'x');
  WriteBytes(school.Output(), earlier);
  const std::vector<std::string> entriesBefore = EntriesOf(school.Output().parent_path());

  const int status = ExitCodeInAnotherProcess([&] {
    signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{64, 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    try {
      school.Run();
      return 3;
    } catch (const UserError& e) {
      const bool namesOutput = std::string(e.what()).find(school.Output().filename().string()) != std::string::npos;
      return school.State().CodigoResultado == 0 && namesOutput ? 0 : 2;
    }
  });

  EXPECT_EQ(status, 0) << "0: error naming the output; 2: error without it or code changed; 3: no error";
  EXPECT_EQ(ReadBytes(school.Output()), earlier);
  EXPECT_EQ(EntriesOf(school.Output().parent_path()), entriesBefore);
}

}  // namespace
}  // namespace exporting::testing
