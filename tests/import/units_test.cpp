#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"
#include "text/user_error.h"

namespace import {
namespace {

using Values = ExchangeBuilder::Values;

// X_UNIDAD, T_NOMBRE, X_OFERTAMATRIG.
Values Unit(const std::string& id, const std::string& oferta) { return {id, "1ºA", oferta}; }

const std::vector<std::string> kFields = {"ABREV", "GRUPO", "NIVEL", "CURSO", "UNIDAD", "OFERMATR", "DESCRIP", "TURNO"};

class UnidadesTest : public StepTest {};

TEST_F(UnidadesTest, CodesCountUpPerLevelAndCourseAndMissingCoursesGetNiv) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"},
                {"100324", "2º de E.S.O.", "ESO", "2"},
                {"100400", "1º de Bachillerato", "BACH", "1"},
                {"100500", "Básico", "B", "1"}});
  Load(ExchangeBuilder().Group("UNIDADES", {Unit("650001", "100323"), Unit("650002", "100323"),
                                            Unit("650003", "100323"), Unit("650004", "100324"),
                                            Unit("650005", "100400"), Unit("650006", "999999"),
                                            Unit("650007", "999999"), Unit("650008", "999999"),
                                            Unit("650009", "100500"), Unit("650010", "100500")}));
  TransformarUnidades(state);
  EXPECT_EQ(Read("GRUPOST", kFields),
            (Rows{
                {"ES1A", "A", "ESO", "1", "650001", "100323", "1º de E.S.O.", ""},
                {"ES1B", "B", "ESO", "1", "650002", "100323", "1º de E.S.O.", ""},
                {"ES1C", "C", "ESO", "1", "650003", "100323", "1º de E.S.O.", ""},
                {"ES2A", "A", "ESO", "2", "650004", "100324", "2º de E.S.O.", ""},
                {"BA1A", "A", "BACH", "1", "650005", "100400", "1º de Bachillerato", ""},
                {"A", "A", "NIV", "", "650006", "999999", "", ""},
                {"AA", "A", "NIV", "", "650007", "999999", "", ""},
                {"AB", "B", "NIV", "", "650008", "999999", "", ""},
                {"B1A", "A", "B", "1", "650009", "100500", "Básico", ""},
                {"B1AA", "A", "B", "1", "650010", "100500", "Básico", ""},
            }));
  EXPECT_FALSE(state.Tables.wwTableCursos.Active());
}

TEST_F(UnidadesTest, ManyUnitsOfOneCourseRunPastZ) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}});
  std::vector<Values> units;
  for (int i = 0; i < 27; ++i) units.push_back(Unit(std::to_string(650000 + i), "100323"));
  Load(ExchangeBuilder().Group("UNIDADES", units));
  TransformarUnidades(state);
  const Rows rows = Read("GRUPOST", {"ABREV", "GRUPO"});
  ASSERT_EQ(rows.size(), 27u);
  EXPECT_EQ(rows[25], (std::vector<std::string>{"ES1Z", "Z"}));
  EXPECT_EQ(rows[26], (std::vector<std::string>{"ES1[", "["}));
}

TEST_F(UnidadesTest, CourseLookupCases) {
  const struct {
    const char* name;
    Rows courses;       // CLAVE, ESTUD, NIVEL, CURSO
    std::string oferta;  // of the one unit
    std::vector<std::string> expected;  // ABREV, NIVEL, CURSO, OFERMATR, DESCRIP
  } cases[] = {
      {"first of two rows with the key wins",
       {{"100323", "Primero", "ESO", "1"}, {"100323", "Segundo", "BACH", "2"}},
       "100323",
       {"ES1A", "ESO", "1", "100323", "Primero"}},
      {"keys compare with letter case",
       {{"abc", "Minúsculas", "ESO", "1"}},
       "ABC",
       {"A", "NIV", "", "ABC", ""}},
      {"offer longer than CLAVE can hold matches nothing",
       {{"1003230000", "Diez", "ESO", "1"}},
       "10032300001",
       {"A", "NIV", "", "1003230000", ""}},
      {"course found without level: NIV written, code from the course number",
       {{"100323", "Sin nivel", "", "1"}},
       "100323",
       {"1A", "NIV", "1", "100323", "Sin nivel"}},
      {"course number left empty: two-character base",
       {{"100323", "Sin curso", "ESO", ""}},
       "100323",
       {"ESA", "ESO", "", "100323", "Sin curso"}},
      {"level and course number as typed, cut",
       {{"100323", "Largo", "PCPI2", "123"}},
       "100323",
       {"PC1A", "PCPI2", "123", "100323", "Largo"}},
  };
  for (const auto& c : cases) {
    WriteCourses(c.courses);
    Load(ExchangeBuilder().Group("UNIDADES", {Unit("650001", c.oferta)}));
    TransformarUnidades(state);
    EXPECT_EQ(Read("GRUPOST", {"ABREV", "NIVEL", "CURSO", "OFERMATR", "DESCRIP"}), Rows{c.expected}) << c.name;
  }
}

TEST_F(UnidadesTest, CoursesAlikeShareLettersAndMissingCoursesCarryNothingOver) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}, {"200323", "1º de E.S.P.A.", "ESPA", "1"}});
  Load(ExchangeBuilder().Group("UNIDADES", {Unit("1", "100323"), Unit("2", "200323"), Unit("3", "nada"),
                                            Unit("4", "100323"), {"5"} /* skipped */, {"6", "solo dos"}}));
  TransformarUnidades(state);
  EXPECT_EQ(Read("GRUPOST", {"ABREV", "NIVEL", "CURSO", "DESCRIP", "UNIDAD", "OFERMATR"}),
            (Rows{
                {"ES1A", "ESO", "1", "1º de E.S.O.", "1", "100323"},
                {"ES1B", "ESPA", "1", "1º de E.S.P.A.", "2", "200323"},
                {"A", "NIV", "", "", "3", "nada"},
                {"ES1C", "ESO", "1", "1º de E.S.O.", "4", "100323"},
                {"AA", "NIV", "", "", "6", ""},
            }));
}

TEST_F(UnidadesTest, EmptyGroupGivesAnEmptyTable) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}});
  Load(ExchangeBuilder().Group("UNIDADES", {}));
  TransformarUnidades(state);
  EXPECT_TRUE(Read("GRUPOST", {"ABREV"}).empty());
}

TEST_F(UnidadesTest, MissingCoursesTableEndsTheRun) {
  Load(ExchangeBuilder().Group("UNIDADES", {Unit("1", "100323")}));
  EXPECT_THROW(TransformarUnidades(state), UserError);
}

TEST_F(UnidadesTest, ComponentOpensAgainOnALaterRun) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}});
  Load(ExchangeBuilder().Group("UNIDADES", {Unit("1", "100323")}));
  TransformarUnidades(state);
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "2"}});
  TransformarUnidades(state);
  EXPECT_EQ(Read("GRUPOST", {"ABREV"}), (Rows{{"ES2A"}}));
}

}  // namespace
}  // namespace import
