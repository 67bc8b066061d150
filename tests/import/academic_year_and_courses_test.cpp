#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"
#include "text/user_error.h"

namespace import {
namespace {

using Values = ExchangeBuilder::Values;

const Values kSchoolDays = {"9001", "Jornada ordinaria", "10/09/2026", "23/06/2027"};
const std::vector<Values> kCourses = {{"100323", "1º de E.S.O."}};

class CursoAcademicoTest : public StepTest {};

TEST_F(CursoAcademicoTest, YearRecordFromTheFirstTwoGroups) {
  const struct {
    const char* name;
    ExchangeBuilder doc;
    Rows expected;  // CURSOANNO, F_INICIO, F_FIN
  } cases[] = {
      {"year group first, dates filled: school days not read",
       ExchangeBuilder()
           .YearGroup({"2026", "15/09/2026", "22/06/2027"})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {kSchoolDays}),
       {{"2026", "15/09/2026", "22/06/2027"}}},
      {"empty start: both dates from the first school-days record",
       ExchangeBuilder()
           .YearGroup({"2026", "", "22/06/2027"})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {kSchoolDays, {"9002", "Otra", "01/01/2027", "02/01/2027"}}),
       {{"2026", "10/09/2026", "23/06/2027"}}},
      {"blank end counts as empty",
       ExchangeBuilder()
           .YearGroup({"2026", "15/09/2026", "  \t "})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {kSchoolDays}),
       {{"2026", "10/09/2026", "23/06/2027"}}},
      {"school-days record with one dato: dates stay as read",
       ExchangeBuilder()
           .YearGroup({"2026", "", "22/06/2027"})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {{"9001"}, kSchoolDays}),
       {{"2026", "", "22/06/2027"}}},
      {"no school-days group: dates stay as read",
       ExchangeBuilder().YearGroup({"2026", "15/09/2026", ""}).Group("CURSOS_DEL_CENTRO", kCourses),
       {{"2026", "15/09/2026", ""}}},
      {"school-days record with three dato: missing end reads empty",
       ExchangeBuilder()
           .YearGroup({"2026", "", ""})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {{"9001", "Jornada", "10/09/2026"}}),
       {{"2026", "10/09/2026", ""}}},
      {"year group with two dato: missing end taken from school days",
       ExchangeBuilder()
           .YearGroup({"2026", "15/09/2026"})
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("JORNADAS_ESCOLARES", {kSchoolDays}),
       {{"2026", "10/09/2026", "23/06/2027"}}},
      {"year group in second place only",
       ExchangeBuilder()
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .YearGroup({"2027", "14/09/2027", "21/06/2028"}),
       {{"2027", "14/09/2027", "21/06/2028"}}},
      {"two year groups: the first as read, only the second gets school days",
       ExchangeBuilder()
           .YearGroup({"2026", "", "22/06/2027"})
           .YearGroup({"2027", "14/09/2027", ""})
           .Group("JORNADAS_ESCOLARES", {kSchoolDays}),
       {{"2026", "", "22/06/2027"}, {"2027", "10/09/2026", "23/06/2027"}}},
      {"year and dates cut to their widths",
       ExchangeBuilder().YearGroup({"2026/2027", "15/09/2026 08:00", "22/06/2027"}).Group("MATERIAS", {}),
       {{"2026", "15/09/2026", "22/06/2027"}}},
      {"a group name other than Séneca's still counts",
       ExchangeBuilder().YearGroup({"2026", "15/09/2026", "22/06/2027"}, "CURSO"),
       {{"2026", "15/09/2026", "22/06/2027"}}},
  };
  for (const auto& c : cases) {
    Load(c.doc);
    ASSERT_NO_THROW(TransformarCursoAcademico(state)) << c.name;
    EXPECT_EQ(Read("CURSOACAD", {"CURSOANNO", "F_INICIO", "F_FIN"}), c.expected) << c.name;
  }
}

TEST_F(CursoAcademicoTest, NoYearGroupEndsTheRunWithAnEmptyTable) {
  const struct {
    const char* name;
    ExchangeBuilder doc;
  } cases[] = {
      {"first two groups hold records only",
       ExchangeBuilder()
           .Group("CURSOS_DEL_CENTRO", kCourses)
           .Group("MATERIAS", {{"100323", "62645", "Lengua"}})
           .YearGroup({"2026", "15/09/2026", "22/06/2027"})},
      {"year group with a single dato", ExchangeBuilder().YearGroup({"2026"})},
      {"a single group, not a year group", ExchangeBuilder().Group("CURSOS_DEL_CENTRO", kCourses)},
      {"no groups at all", ExchangeBuilder()},
  };
  for (const auto& c : cases) {
    Load(c.doc);
    try {
      TransformarCursoAcademico(state);
      ADD_FAILURE() << c.name << ": expected UserError";
    } catch (const UserError& e) {
      const std::string message = e.what();
      EXPECT_EQ(message.rfind("La fuente de datos no está en modo de edición o inserción", 0), 0u) << c.name;
      EXPECT_NE(message.find("no tiene curso académico"), std::string::npos) << c.name << ": " << message;
    }
    EXPECT_TRUE(Read("CURSOACAD", {"CURSOANNO"}).empty()) << c.name;
  }
}

class CursosTest : public StepTest {};

TEST_F(CursosTest, OneRowPerUsableCourseRecordThenTheDialog) {
  Load(ExchangeBuilder().YearGroup({"2026", "a", "b"}).Group(
      "CURSOS_DEL_CENTRO",
      {{"100323", "1º de E.S.O."},
       {"100999"},  // a single dato: skipped
       {"100324", "Bachillerato de Ciencias y Tecnología, modalidad general"},
       {"100323", "1º de E.S.O."}}));
  ui.script = {{.fill = {{"100323", {"ESO", "1"}}, {"100324", {"BACH", "1"}}}}};

  TransformarCursos(state);

  EXPECT_EQ(Read("CURSOST", {"CLAVE", "ESTUD", "NIVEL", "CURSO", "ABREV", "TURNO"}),
            (Rows{{"100323", "1º de E.S.O.", "ESO", "1", "", ""},
                  {"100324", "Bachillerato de Ciencias y Tecnología, m", "BACH", "1", "", ""},
                  {"100323", "1º de E.S.O.", "ESO", "1", "", ""}}));
  EXPECT_EQ(ui.calls, std::vector<std::string>{"ShowCourseDialog"});
}

TEST_F(CursosTest, NoCoursesGroupGivesAnEmptyTableAndTheDialogStillShows) {
  Load(ExchangeBuilder().YearGroup({"2026", "a", "b"}).Group("Cursos_del_centro", kCourses));
  TransformarCursos(state);
  EXPECT_TRUE(Read("CURSOST", {"CLAVE"}).empty());
  EXPECT_EQ(ui.calls, std::vector<std::string>{"ShowCourseDialog"});
}

TEST_F(CursosTest, EveryRunStartsFromNothing) {
  ui.maxShowings = 100;
  Load(ExchangeBuilder().Group("CURSOS_DEL_CENTRO", {{"1", "Uno"}, {"2", "Dos"}}));
  ui.script = {FakeFrontEnd::ForcedExit()};
  TransformarCursos(state);
  std::filesystem::path mdx = folder.path() / "CURSOST.MDX";
  { std::ofstream(mdx) << "stale index"; }

  Load(ExchangeBuilder().Group("CURSOS_DEL_CENTRO", {{"3", "Tres"}}));
  ui.script = {FakeFrontEnd::ForcedExit()};
  TransformarCursos(state);
  EXPECT_EQ(Read("CURSOST", {"CLAVE"}), (Rows{{"3"}}));
  EXPECT_FALSE(std::filesystem::exists(mdx));
}

}  // namespace
}  // namespace import
