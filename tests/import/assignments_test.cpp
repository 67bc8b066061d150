#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"

namespace import {
namespace {

class AsignacionesTest : public StepTest {
 protected:
  // ASIGNOMT and GRUPOST as the run writes them, then the pairing.
  void Run(const ExchangeBuilder& doc) {
    Load(doc);
    TransformarMaterias(state);
    TransformarUnidades(state);
    TransformarAsignaciones(state);
  }
};

TEST_F(AsignacionesTest, RowsGroupedByUnitInSubjectOrder) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}, {"100324", "2º de E.S.O.", "ESO", "2"}});
  Run(ExchangeBuilder()
          .Group("MATERIAS", {{"100323", "62645", "LENGUA"},
                              {"100324", "62700", "Música"},
                              {"100323", "62646", "Matemáticas"}})
          .Group("ACTIVIDADES", {{"S", "25", "Guardia"}})
          .Group("UNIDADES", {{"650001", "1ºA", "100323"},
                              {"650002", "2ºA", "100324"},
                              {"650003", "1ºB", "100323"},
                              {"650004", "Sin materias", "777777"},
                              {"650005", "Guardias", "25"}}));
  EXPECT_EQ(Read("ASIGT", {"CASIG", "CGRUP", "NIVEL", "CURSO", "GRUPO", "CTAREA", "UNIDAD", "OFERTA", "MATERIA"}),
            (Rows{
                {"LENG", "ES1A", "ESO", "1", "A", "1", "650001", "100323", "62645"},
                {"Mate", "ES1A", "ESO", "1", "A", "1", "650001", "100323", "62646"},
                {"Músi", "ES2A", "ESO", "2", "A", "1", "650002", "100324", "62700"},
                {"LENG", "ES1B", "ESO", "1", "B", "1", "650003", "100323", "62645"},
                {"Mate", "ES1B", "ESO", "1", "B", "1", "650003", "100323", "62646"},
                // An activity pairs only with a unit whose offer is its own code.
                {"25", "AA", "NIV", "", "A", "25", "650005", "25", "25"},
            }));
  EXPECT_FALSE(state.Tables.wwTableGrupos.Active());
  EXPECT_FALSE(state.Tables.wwTableNomAsg.Active());
}

TEST_F(AsignacionesTest, FixedValuesOnEveryRow) {
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}});
  Run(ExchangeBuilder()
          .Group("MATERIAS", {{"100323", "62645", "LENGUA"}, {"100323", "62646", "Inglés"}})
          .Group("UNIDADES", {{"650001", "1ºA", "100323"}}));
  tables::TTable asigt;
  asigt.SetDatabaseName(folder.path().string());
  asigt.SetTableName("ASIGT.DBF");
  asigt.SetActive(true);
  int rows = 0;
  for (asigt.First(); !asigt.Eof(); asigt.Next(), ++rows) {
    EXPECT_DOUBLE_EQ(asigt.FieldByName("HORAS").AsFloat(), 4.0) << rows;
    EXPECT_EQ(asigt.FieldByName("SESIONES").AsString(), "1111") << rows;
    EXPECT_EQ(asigt.FieldByName("CPROF").AsString(), "") << rows;
    EXPECT_EQ(asigt.FieldByName("CAULA").AsString(), "") << rows;
    EXPECT_EQ(asigt.FieldByName("TURNO").AsString(), "") << rows;
  }
  EXPECT_EQ(rows, 2);
}

TEST_F(AsignacionesTest, OffersCompareAsStored) {
  // A subject's offer is stored in 8 characters, a unit's in 10: a 9-character
  // offer no longer matches.
  WriteCourses({{"100323456", "Nueve", "ESO", "1"}, {"10032345", "Ocho", "ESO", "2"}});
  Run(ExchangeBuilder()
          .Group("MATERIAS", {{"100323456", "62645", "LENGUA"}})
          .Group("UNIDADES", {{"650001", "1ºA", "100323456"}, {"650002", "2ºA", "10032345"}}));
  EXPECT_EQ(Read("ASIGT", {"CASIG", "CGRUP", "OFERTA"}), (Rows{{"LENG", "ES2A", "10032345"}}));
}

TEST_F(AsignacionesTest, EmptySourcesGiveAnEmptyTable) {
  const struct {
    const char* name;
    ExchangeBuilder doc;
  } cases[] = {
      {"no units", ExchangeBuilder().Group("MATERIAS", {{"100323", "62645", "LENGUA"}})},
      {"no subjects", ExchangeBuilder().Group("UNIDADES", {{"650001", "1ºA", "100323"}})},
  };
  WriteCourses({{"100323", "1º de E.S.O.", "ESO", "1"}});
  for (const auto& c : cases) {
    Run(c.doc);
    EXPECT_TRUE(Read("ASIGT", {"CASIG"}).empty()) << c.name;
  }
}

}  // namespace
}  // namespace import
