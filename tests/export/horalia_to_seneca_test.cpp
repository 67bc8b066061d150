// The run's document skeleton: one regular timetables group, one teacher group
// per PROFT record with its counts, the template carried unchanged, the output
// beside the chosen file.
#include <gtest/gtest.h>

#include <cstdlib>

#include "exchange/exchange_document.h"
#include "export/export_fixture.h"

namespace exporting::testing {
namespace {

std::string Replaced(std::string s, const std::string& from, const std::string& to) {
  const std::size_t at = s.find(from);
  if (at != std::string::npos) s.replace(at, from.size(), to);
  return s;
}

TEST(OutputPath, PrefixGoesBeforeTheFileNameInItsFolder) {
  const struct {
    const char* chosen;
    const char* output;
  } cases[] = {
      {"/srv/horarios/centro.xml", "/srv/horarios/ResultadoOrvanocentro.xml"},
      {"/srv/horarios/Exportación Horarios.XML", "/srv/horarios/ResultadoOrvanoExportación Horarios.XML"},
      {"centro.xml", "ResultadoOrvanocentro.xml"},
  };
  for (const auto& c : cases) EXPECT_EQ(OutputPathFor(c.chosen), c.output) << c.chosen;
}

// Teachers with and without lessons, a code with a quote, a code shared by
// two teachers and one differing from another in letter case only. The room
// code of each lesson (no AULAT rows: it is written as it is) tells the
// lessons apart.
TEST(TeacherGroups, OnePerTeacherWithItsLessonsAndCounts) {
  School school;
  WriteWorkingTable(school.WorkingFolder(), "PROFT",
                    {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}, {"F_TOMAPOS", "01/09/2026"}},
                     {{"ABREV", "NOL"}, {"X_EMPLEADO", "1002"}, {"F_TOMAPOS", "02/09/2026"}},
                     {{"ABREV", "O'X"}, {"X_EMPLEADO", "1003"}, {"F_TOMAPOS", "03/09/2026"}},
                     {{"ABREV", "AA"}, {"X_EMPLEADO", "1004"}, {"F_TOMAPOS", ""}},
                     {{"ABREV", "aa"}, {"X_EMPLEADO", "1005"}, {"F_TOMAPOS", "05/09/2026"}}});
  WriteSoluc(school.WorkingFolder(), DayHourType::kNumeric,
             {{{"PROF", "aa"}, {"DIA", "5"}, {"HORA", "1"}, {"AULA", "a5"}},
              {{"PROF", "AA"}, {"DIA", "1"}, {"HORA", "1"}, {"AULA", "A1"}},
              {{"PROF", "NOL"}, {"DIA", "0"}, {"HORA", "1"}, {"AULA", "N0"}},
              {{"PROF", "AA"}, {"DIA", "0"}, {"HORA", "2"}, {"AULA", "A0"}},
              {{"PROF", "O'X"}, {"DIA", "3"}, {"HORA", "2"}, {"AULA", "Q3"}},
              {{"PROF", "AA"}, {"DIA", "2"}, {"HORA", "4"}, {"AULA", "A2"}}});

  const ExportSummary summary = school.Run();

  const struct {
    const char* seq;
    std::vector<std::string> datos;      // X_EMPLEADO, F_TOMAPOS
    std::vector<std::string> rooms;      // X_DEPENDENCIA of its activities, in order
  } expected[] = {
      {"HORARIO_REGULAR_PROFESOR_1", {"1001", "01/09/2026"}, {"A1", "A2"}},
      {"HORARIO_REGULAR_PROFESOR_2", {"1002", "02/09/2026"}, {}},
      {"HORARIO_REGULAR_PROFESOR_3", {"1003", "03/09/2026"}, {"Q3"}},
      {"HORARIO_REGULAR_PROFESOR_4", {"1004", ""}, {"A1", "A2"}},
      {"HORARIO_REGULAR_PROFESOR_5", {"1005", "05/09/2026"}, {"a5"}},
  };
  const exchange::XmlDocument out = school.LoadOutput();
  const std::vector<exchange::XmlNode> teachers = TeacherGroups(out);
  ASSERT_EQ(teachers.size(), std::size(expected));
  for (std::size_t i = 0; i < teachers.size(); ++i) {
    const auto& e = expected[i];
    EXPECT_EQ(teachers[i].Attribute("seq"), e.seq);
    EXPECT_EQ(teachers[i].Attribute("registros"), std::to_string(e.rooms.size())) << e.seq;
    const std::vector<std::string> datos = DatoTexts(teachers[i]);
    EXPECT_EQ(std::vector<std::string>(datos.begin(), datos.begin() + 2), e.datos) << e.seq;
    EXPECT_EQ(DatoNames(teachers[i]).front(), "X_EMPLEADO") << e.seq;
    const std::vector<exchange::XmlNode> activities = Activities(teachers[i]);
    ASSERT_EQ(activities.size(), e.rooms.size()) << e.seq;
    for (std::size_t a = 0; a < activities.size(); ++a) {
      EXPECT_EQ(activities[a].Attribute("seq"), "ACTIVIDAD_" + std::to_string(a + 1)) << e.seq;
      EXPECT_EQ(DatoTexts(activities[a])[2], e.rooms[a]) << e.seq;
    }
  }

  // seq is the first attribute of every group, registros the second.
  const std::string bytes = out.ToBytes();
  EXPECT_NE(bytes.find("<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"5\">"), std::string::npos);
  EXPECT_NE(bytes.find("<grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_2\" registros=\"0\">"),
            std::string::npos);

  EXPECT_EQ(summary.Teachers, 5);
  EXPECT_EQ(summary.Activities, 6);
  EXPECT_EQ(summary.Output, school.Output());
  EXPECT_EQ(school.State().CodigoResultado, 1);
  EXPECT_EQ(school.ui.hourglass, (std::vector<bool>{true, false}));
  EXPECT_TRUE(school.ComponentsClosed());
  ASSERT_TRUE(school.State().DocXML);
  EXPECT_EQ(school.State().DocXML->ToBytes(), bytes);
}

// With no teacher the output is the template plus an empty regular
// timetables group as the last child of BLOQUE_DATOS: declaration, comment,
// processing instruction, attributes, the template's own group and the
// element after BLOQUE_DATOS all pass unchanged.
TEST(TemplateDocument, CarriedUnchangedAroundTheNewGroup) {
  School school;

  const ExportSummary summary = school.Run();

  const std::string expected =
      Replaced(kTemplate, "  </BLOQUE_DATOS>",
               "  <grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"0\"/></BLOQUE_DATOS>");
  EXPECT_EQ(ReadBytes(school.Output()), expected);
  EXPECT_EQ(summary.Teachers, 0);
  EXPECT_EQ(school.State().CodigoResultado, 1);
}

// Each run starts from the template again, the components open and close in
// both, and the second output replaces the first.
TEST(RunsInARow, SecondOutputIsBuiltFromTheTemplateAgain) {
  School school;
  WriteWorkingTable(school.WorkingFolder(), "PROFT", {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}}});
  WriteSoluc(school.WorkingFolder(), DayHourType::kNumeric, {{{"PROF", "AA"}, {"DIA", "1"}, {"HORA", "1"}}});
  WriteBytes(school.Output(), "una salida anterior");

  school.Run();
  const std::string first = ReadBytes(school.Output());
  school.Run();

  EXPECT_EQ(ReadBytes(school.Output()), first);
  EXPECT_EQ(TeacherGroups(school.LoadOutput()).size(), 1u);
  EXPECT_TRUE(school.ComponentsClosed());
  EXPECT_EQ(school.ui.hourglass, (std::vector<bool>{true, false, true, false}));
}

// A CURSOACAD without records (an export that had no academic year) gives
// activities without course dates rather than ending the run.
TEST(CourseDates, EmptyCursoAcadGivesEmptyDates) {
  School school;
  WriteWorkingTable(school.WorkingFolder(), "CURSOACAD", {});
  WriteWorkingTable(school.WorkingFolder(), "PROFT", {{{"ABREV", "AA"}, {"X_EMPLEADO", "1001"}}});
  WriteSoluc(school.WorkingFolder(), DayHourType::kNumeric, {{{"PROF", "AA"}, {"DIA", "1"}, {"HORA", "1"}}});

  school.Run();

  const exchange::XmlDocument out = school.LoadOutput();
  const std::vector<exchange::XmlNode> teachers = TeacherGroups(out);
  ASSERT_EQ(teachers.size(), 1u);
  const std::vector<exchange::XmlNode> activities = Activities(teachers[0]);
  ASSERT_EQ(activities.size(), 1u);
  const std::vector<std::string> datos = DatoTexts(activities[0]);
  EXPECT_EQ(datos[6], "");
  EXPECT_EQ(datos[7], "");
}

// The output is well formed for another parser and reads back, by the rules
// by which exchange documents are read, with the values written: accented
// letters and the euro sign (not in the template's ISO-8859-1) included.
TEST(OutputDocument, ValidatesAndRoundTrips) {
  School school;
  WriteWorkingTable(school.WorkingFolder(), "PROFT",
                    {{{"ABREV", "P\xd1"}, {"X_EMPLEADO", "7654321"}, {"F_TOMAPOS", "01/09/2026"}}});
  WriteWorkingTable(school.WorkingFolder(), "AULAT",
                    {{{"ABREV", "MUS"}, {"DEPCENTRO", "M\xfasica \x80"}}});
  WriteWorkingTable(school.WorkingFolder(), "DIASHORAST",
                    {{{"DIHO", "41"}, {"DIA", "4"}, {"CODDIHO", "778970"}, {"HORADESDE", "510"}, {"HORAHASTA", "570"}}});
  WriteWorkingTable(school.WorkingFolder(), "GRUPOST", {{{"ABREV", "1A"}, {"UNIDAD", "650543"}}});
  WriteWorkingTable(school.WorkingFolder(), "ASIGNOMT",
                    {{{"COD", "LENG"}, {"OFERTAMATR", "100323"}, {"CODLARGO", "62645"}}});
  WriteSoluc(school.WorkingFolder(), DayHourType::kNumeric,
             {{{"PROF", "P\xd1"}, {"DIA", "4"}, {"HORA", "1"}, {"AULA", "MUS"}, {"CODGRUPO", "1A"},
               {"ASIG", "LENG"}, {"TAREA", "2"}}});

  school.Run();

  const ProgramRun xmllint = RunProgram({"xmllint", "--noout", school.Output().string()});
  EXPECT_EQ(xmllint.exitCode, 0) << xmllint.err;

  const exchange::XmlDocument out = school.LoadOutput();
  const std::vector<exchange::XmlNode> teachers = exchange::SelectRecords(out, "HORARIOS_REGULARES");
  ASSERT_EQ(teachers.size(), 1u);
  const exchange::Record teacher(teachers[0]);
  EXPECT_EQ(teacher.Position(0), "7654321");
  EXPECT_EQ(teacher.Position(1), "01/09/2026");
  const std::vector<exchange::XmlNode> activities = Activities(teachers[0]);
  ASSERT_EQ(activities.size(), 1u);
  const exchange::Record activity(activities[0]);
  const std::vector<std::string> written = {"4",      "778970", "M\xfasica \x80", "650543",
                                            "100323", "62645",  kInicio,          kFin,
                                            "510",    "570",    "2"};
  ASSERT_EQ(activity.DatoCount(), written.size());
  for (std::size_t i = 0; i < written.size(); ++i) EXPECT_EQ(activity.Position(i), written[i]) << i;
}

}  // namespace
}  // namespace exporting::testing
