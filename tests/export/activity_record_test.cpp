// The lesson step: each SOLUC lesson of a teacher, translated through the
// lookup tables into one ACTIVIDAD_n group, with DIA and HORA stored both as
// numbers and as digits in text.
#include <gtest/gtest.h>

#include "export/export_fixture.h"

namespace exporting::testing {
namespace {

const std::vector<std::string> kDatoNames = {
    "N_DIASEMANA", "X_TRAMO", "X_DEPENDENCIA", "X_UNIDAD", "X_OFERTAMATRIG", "X_MATERIAOMG",
    "F_INICIO",    "F_FIN",   "N_HORINI",      "N_HORFIN", "X_ACTIVIDAD"};

// Lookup tables with a duplicate key in each (the first record must answer)
// and keys that differ from the lessons' codes in letter case only.
void WriteLookupTables(const School& school) {
  WriteWorkingTable(school.WorkingFolder(), "DIASHORAST",
                    {{{"DIHO", "11"}, {"DIA", "1"}, {"CODDIHO", "7001"}, {"HORADESDE", "510"}, {"HORAHASTA", "570"}},
                     {{"DIHO", "23"}, {"DIA", "2"}, {"CODDIHO", "7002"}, {"HORADESDE", "570"}, {"HORAHASTA", "630"}},
                     {{"DIHO", "23"}, {"DIA", "2"}, {"CODDIHO", "9999"}, {"HORADESDE", "0"}, {"HORAHASTA", "0"}},
                     {{"DIHO", "112"}, {"DIA", "1"}, {"CODDIHO", "7012"}, {"HORADESDE", "1200"}, {"HORAHASTA", "1260"}}});
  WriteWorkingTable(school.WorkingFolder(), "AULAT",
                    {{{"ABREV", "AB1"}, {"DEPCENTRO", "12631"}},
                     {{"ABREV", "AB1"}, {"DEPCENTRO", "99999"}},
                     {{"ABREV", "SINS"}}});
  WriteWorkingTable(school.WorkingFolder(), "GRUPOST",
                    {{{"ABREV", "1A"}, {"UNIDAD", "650543"}}, {{"ABREV", "1A"}, {"UNIDAD", "111111"}}});
  WriteWorkingTable(school.WorkingFolder(), "ASIGNOMT",
                    {{{"COD", "LENG"}, {"OFERTAMATR", "100323"}, {"CODLARGO", "62645"}},
                     {{"COD", "GUAR"}, {"OFERTAMATR", "25"}, {"CODLARGO", "25"}},
                     {{"COD", "LENG"}, {"OFERTAMATR", "000000"}, {"CODLARGO", "00000"}}});
  WriteWorkingTable(school.WorkingFolder(), "PROFT",
                    {{{"ABREV", "P1"}, {"X_EMPLEADO", "1234567"}, {"F_TOMAPOS", "01/09/2026"}}});
}

// The eleven texts of an activity, the course dates in their place.
std::vector<std::string> Activity(std::string dia, std::string tramo, std::string dependencia,
                                  std::string unidad, std::string oferta, std::string materia,
                                  std::string horIni, std::string horFin, std::string actividad) {
  return {dia, tramo, dependencia, unidad, oferta, materia, kInicio, kFin, horIni, horFin, actividad};
}

struct LessonCase {
  const char* name;
  const char* dia;
  const char* hora;  // as stored in a text field; a numeric field stores its value
  const char* aula;
  const char* codGrupo;
  const char* asig;
  const char* tarea;
  std::vector<std::string> expected;  // empty: no activity is written
};

const LessonCase kLessons[] = {
    {"lesson found in every table, duplicate keys answered by the first record",
     "2", "3", "AB1", "1A", "LENG", "",
     Activity("2", "7002", "12631", "650543", "100323", "62645", "570", "630", "1")},
    {"day 0 is not written and uses no number", "0", "1", "AB1", "1A", "LENG", "", {}},
    {"slot 12 of day 1 has the key 112", "1", "12", "AB1", "1A", "LENG", "",
     Activity("1", "7012", "12631", "650543", "100323", "62645", "1200", "1260", "1")},
    {"hour with a leading zero", "2", "03", "AB1", "1A", "LENG", "",
     Activity("2", "7002", "12631", "650543", "100323", "62645", "570", "630", "1")},
    {"slot without DIASHORAST record", "3", "1", "AB1", "1A", "LENG", "",
     Activity("", "", "12631", "650543", "100323", "62645", "", "", "1")},
    {"room missing from AULAT keeps its code", "1", "1", "ZZ9", "1A", "LENG", "",
     Activity("1", "7001", "ZZ9", "650543", "100323", "62645", "510", "570", "1")},
    {"room without DEPCENTRO keeps its code", "1", "1", "SINS", "1A", "LENG", "",
     Activity("1", "7001", "SINS", "650543", "100323", "62645", "510", "570", "1")},
    {"room code in other letter case is not found", "1", "1", "ab1", "1A", "LENG", "",
     Activity("1", "7001", "ab1", "650543", "100323", "62645", "510", "570", "1")},
    {"lesson without room", "1", "1", "", "1A", "LENG", "",
     Activity("1", "7001", "", "650543", "100323", "62645", "510", "570", "1")},
    {"unit code in other letter case is not found", "1", "1", "AB1", "1a", "LENG", "",
     Activity("1", "7001", "12631", "", "100323", "62645", "510", "570", "1")},
    {"subject missing from ASIGNOMT", "1", "1", "AB1", "1A", "XXXX", "",
     Activity("1", "7001", "12631", "650543", "", "", "510", "570", "1")},
    {"duty with a task and no unit", "1", "1", "AB1", "", "GUAR", "25",
     Activity("1", "7001", "12631", "", "25", "25", "510", "570", "25")},
    {"task of blanks is teaching", "1", "1", "AB1", "1A", "LENG", "   ",
     Activity("1", "7001", "12631", "650543", "100323", "62645", "510", "570", "1")},
    {"task with blanks around it is written as read", "1", "1", "AB1", "1A", "LENG", " 25 ",
     Activity("1", "7001", "12631", "650543", "100323", "62645", "510", "570", " 25")},
    {"identical lesson again gives a second activity", "2", "3", "AB1", "1A", "LENG", "",
     Activity("2", "7002", "12631", "650543", "100323", "62645", "570", "630", "1")},
};

class LessonStep : public ::testing::TestWithParam<DayHourType> {};

TEST_P(LessonStep, EachLessonBecomesOneActivity) {
  School school;
  WriteLookupTables(school);
  // Another teacher's lessons, before and among P1's, must not reach P1.
  std::vector<Row> soluc = {{{"PROF", "P2"}, {"DIA", "1"}, {"HORA", "1"}, {"AULA", "OTRA"}}};
  for (const LessonCase& c : kLessons) {
    soluc.push_back({{"PROF", "P1"}, {"DIA", c.dia}, {"HORA", c.hora}, {"AULA", c.aula},
                     {"CODGRUPO", c.codGrupo}, {"ASIG", c.asig}, {"TAREA", c.tarea}});
    if (&c == &kLessons[2]) soluc.push_back({{"PROF", "P2"}, {"DIA", "2"}, {"HORA", "3"}});
  }
  WriteSoluc(school.WorkingFolder(), GetParam(), soluc);

  const ExportSummary summary = school.Run();

  const exchange::XmlDocument out = school.LoadOutput();
  const std::vector<exchange::XmlNode> teachers = TeacherGroups(out);
  ASSERT_EQ(teachers.size(), 1u);
  const std::vector<exchange::XmlNode> activities = Activities(teachers[0]);
  std::size_t written = 0;
  for (const LessonCase& c : kLessons) {
    if (c.expected.empty()) continue;
    ASSERT_LT(written, activities.size()) << c.name;
    const exchange::XmlNode activity = activities[written];
    ++written;
    EXPECT_EQ(activity.Attribute("seq"), "ACTIVIDAD_" + std::to_string(written)) << c.name;
    EXPECT_EQ(activity.Attribute("registros"), "") << c.name;
    EXPECT_EQ(DatoNames(activity), kDatoNames) << c.name;
    EXPECT_EQ(DatoTexts(activity), c.expected) << c.name;
  }
  EXPECT_EQ(activities.size(), written);
  EXPECT_EQ(teachers[0].Attribute("registros"), std::to_string(written));

  EXPECT_EQ(summary.Teachers, 1);
  EXPECT_EQ(summary.Activities, static_cast<long>(written));
  EXPECT_EQ(summary.LessonsWithoutSlot, 1);
  EXPECT_EQ(summary.LessonsWithoutRoom, 3);  // ZZ9, ab1 and the lesson without room
  EXPECT_EQ(summary.LessonsWithoutUnit, 2);  // 1a and the duty without unit
  EXPECT_EQ(summary.LessonsWithoutSubject, 1);
}

INSTANTIATE_TEST_SUITE_P(DayAndHourStored, LessonStep,
                         ::testing::Values(DayHourType::kNumeric, DayHourType::kText),
                         [](const auto& info) {
                           return info.param == DayHourType::kNumeric ? "AsNumbers" : "AsText";
                         });

// DIA and HORA must read as whole numbers; a lesson that does not stops the
// run before anything is saved.
TEST(LessonStepErrors, DayOrHourThatIsNotANumberEndsTheRun) {
  const struct {
    const char* name;
    const char* dia;
    const char* hora;
  } cases[] = {{"day", "X", "1"}, {"hour", "1", "1A"}};
  for (const auto& c : cases) {
    School school;
    WriteLookupTables(school);
    WriteBytes(school.Output(), "ANTERIOR");
    WriteSoluc(school.WorkingFolder(), DayHourType::kText,
               {{{"PROF", "P1"}, {"DIA", "1"}, {"HORA", "1"}},
                {{"PROF", "P1"}, {"DIA", c.dia}, {"HORA", c.hora}}});
    school.State().CodigoResultado = -1;

    EXPECT_THROW(school.Run(), UserError) << c.name;

    EXPECT_EQ(ReadBytes(school.Output()), "ANTERIOR") << c.name;
    EXPECT_EQ(school.State().CodigoResultado, -1) << c.name;
    EXPECT_TRUE(school.ComponentsClosed()) << c.name;
    EXPECT_EQ(school.ui.hourglass, (std::vector<bool>{true, false})) << c.name;
  }
}

}  // namespace
}  // namespace exporting::testing
