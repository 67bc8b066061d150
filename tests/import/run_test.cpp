#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"
#include "text/user_error.h"

namespace import {
namespace {

using Values = ExchangeBuilder::Values;

// A small school: two courses, three subjects, one activity, two rooms, three
// units, two slots, two teachers.
ExchangeBuilder SmallSchool(const std::string& firstSlotStart = "510") {
  return ExchangeBuilder()
      .YearGroup({"2026", "15/09/2026", "22/06/2027"})
      .Group("CURSOS_DEL_CENTRO", {{"100323", "1º de E.S.O."}, {"100324", "2º de E.S.O."}})
      .Group("MATERIAS", {{"100323", "62645", "Lengua Castellana y Literatura"},
                          {"100323", "62646", "Matemáticas"},
                          {"100324", "62700", "Música"}})
      .Group("ACTIVIDADES", {{"S", "25", "Guardia"}})
      .Group("DEPENDENCIAS", {{"12631", "Aula 1.4"}, {"12632", "Gimnasio"}})
      .Group("JORNADAS_ESCOLARES", {{"9001", "Jornada", "10/09/2026", "23/06/2027"}})
      .Group("TRAMOS_HORARIOS", {{"778970", "1", firstSlotStart, "570", "9001"}, {"778971", "2", "570", "630", "9001"}})
      .Group("UNIDADES", {{"650001", "1ºA", "100323"}, {"650002", "1ºB", "100323"}, {"650003", "2ºA", "100324"}})
      .Group("EMPLEADOS", {{"1234567", "01/09/2026", "Lengua", "Blanco", "Cruz", "Ana"},
                           {"1234568", "01/09/2026", "Música", "Bueno", "Casas", "Alberto"}});
}

const FakeFrontEnd::Showing kLevelsGiven = {.fill = {{"100323", {"ESO", "1"}}, {"100324", {"ESO", "2"}}}};

class RunTest : public StepTest {
 protected:
  void WriteDocument(const std::string& bytes) {
    const std::filesystem::path file = folder.path() / "seneca" / "ExportacionHorarios.xml";
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    state.ArchivoXML = file.string();
  }

  std::size_t Count(const std::string& table) { return Read(table, {tables::SchemaOf(table).Fields[0].Name}).size(); }
};

TEST_F(RunTest, CompleteRunRebuildsEveryTable) {
  WriteDocument(SmallSchool().Xml());
  ui.script = {kLevelsGiven};
  RunSenecaToHoralia(state);

  EXPECT_EQ(state.CodigoResultado, 1);
  EXPECT_EQ(ui.calls, (std::vector<std::string>{"SetHourglass(true)", "ShowCourseDialog", "SetHourglass(false)"}));
  EXPECT_EQ(Count("CURSOACAD"), 1u);
  EXPECT_EQ(Count("CURSOST"), 2u);
  EXPECT_EQ(Count("ASIGNOMT"), 4u);
  EXPECT_EQ(Count("PROFT"), 2u);
  EXPECT_EQ(Count("AULAT"), 2u);
  EXPECT_EQ(Count("GRUPOST"), 3u);
  EXPECT_EQ(Count("ASIGT"), 5u);  // two units with two subjects, one with one
  EXPECT_EQ(Count("DIASHORAST"), 14u);
  EXPECT_EQ(Read("GRUPOST", {"ABREV"}), (Rows{{"ES1A"}, {"ES1B"}, {"ES2A"}}));
  for (const tables::TTable* component :
       {&state.Tables.wwTableCursos, &state.Tables.wwTableGrupos, &state.Tables.wwTableNomAsg}) {
    EXPECT_FALSE(component->Active());
  }
}

TEST_F(RunTest, DocumentThatIsNotWellFormedTouchesNoTable) {
  WriteDocument(SmallSchool().Xml());
  ui.script = {kLevelsGiven};
  RunSenecaToHoralia(state);
  const std::string cursoacadBefore = ReadBytes(TablePath("CURSOACAD"));
  ui.calls.clear();
  state.CodigoResultado = 0;

  WriteDocument("<?xml version=\"1.0\"?><SERVICIO><BLOQUE_DATOS></SERVICIO>");
  EXPECT_THROW(RunSenecaToHoralia(state), UserError);
  EXPECT_EQ(ReadBytes(TablePath("CURSOACAD")), cursoacadBefore);
  EXPECT_TRUE(ui.calls.empty());
  EXPECT_EQ(state.CodigoResultado, 0);
}

TEST_F(RunTest, MissingDocumentEndsTheRunBeforeAnyTable) {
  state.ArchivoXML = (folder.path() / "no-existe.xml").string();
  EXPECT_THROW(RunSenecaToHoralia(state), UserError);
  EXPECT_FALSE(std::filesystem::exists(TablePath("CURSOACAD")));
  EXPECT_TRUE(ui.calls.empty());
}

TEST_F(RunTest, RunFailingMidwayKeepsTheTablesBeforeIt) {
  WriteDocument(SmallSchool("08:30").Xml());
  ui.script = {kLevelsGiven};
  try {
    RunSenecaToHoralia(state);
    FAIL() << "expected UserError";
  } catch (const UserError& e) {
    EXPECT_STREQ(e.what(), "'08:30' no es un valor entero válido");
  }
  EXPECT_EQ(state.CodigoResultado, 0);
  EXPECT_EQ(ui.calls.back(), "SetHourglass(false)");
  EXPECT_EQ(Count("GRUPOST"), 3u);
  EXPECT_EQ(Count("ASIGT"), 5u);
  // The slot table is still a table Horalia can open, only not filled.
  EXPECT_EQ(Count("DIASHORAST"), 0u);
  for (const tables::TTable* component : {&state.Tables.wwTableGrupos, &state.Tables.wwTableNomAsg}) {
    EXPECT_FALSE(component->Active());
  }

  // Once the file is put right, the next run goes through.
  WriteDocument(SmallSchool().Xml());
  ui.script = {kLevelsGiven};
  RunSenecaToHoralia(state);
  EXPECT_EQ(state.CodigoResultado, 1);
  EXPECT_EQ(Count("DIASHORAST"), 14u);
}

TEST_F(RunTest, ErrorWhileAComponentIsOpenLeavesItClosed) {
  // GRUPOST cannot be created (a folder holds its name) while the units step
  // has wwTableCursos open.
  std::filesystem::create_directories(folder.path() / "GRUPOST.DBF" / "dentro");
  WriteDocument(SmallSchool().Xml());
  ui.script = {kLevelsGiven};
  EXPECT_THROW(RunSenecaToHoralia(state), UserError);
  EXPECT_FALSE(state.Tables.wwTableCursos.Active());
  EXPECT_EQ(ui.calls.back(), "SetHourglass(false)");
  EXPECT_EQ(Count("AULAT"), 2u);
}

TEST_F(RunTest, ForcedExitClosesTheWindowAndTheRunGoesOn) {
  WriteDocument(SmallSchool().Xml());
  ui.script = {{.fill = {{"100323", {"ESO", ""}}}}, FakeFrontEnd::ForcedExit()};
  RunSenecaToHoralia(state);

  EXPECT_EQ(ui.calls, (std::vector<std::string>{"SetHourglass(true)", "ShowCourseDialog", "ShowCourseDialog",
                                                "CloseMainWindow", "SetHourglass(false)"}));
  EXPECT_EQ(ui.forcedExitOffered, (std::vector<bool>{false, true}));
  EXPECT_TRUE(state.CursosIncompletos);
  EXPECT_EQ(state.CodigoResultado, 1);
  EXPECT_EQ(Read("GRUPOST", {"ABREV", "NIVEL", "CURSO"}),
            (Rows{{"ESA", "ESO", ""}, {"ESAA", "ESO", ""}, {"A", "NIV", ""}}));
  EXPECT_EQ(Count("DIASHORAST"), 14u);
}

TEST_F(RunTest, LaterRunOffersTheForcedExitFromTheFirstShowing) {
  WriteDocument(SmallSchool().Xml());
  ui.script = {{}, kLevelsGiven};
  RunSenecaToHoralia(state);
  EXPECT_EQ(ui.forcedExitOffered, (std::vector<bool>{false, true}));

  ui.forcedExitOffered.clear();
  ui.script = {kLevelsGiven};
  RunSenecaToHoralia(state);
  EXPECT_EQ(ui.forcedExitOffered, (std::vector<bool>{true}));
}

}  // namespace
}  // namespace import
