#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"

namespace import {
namespace {

const std::vector<std::string> kFields = {"COD", "CODLARGO", "NOMBRE", "OFERTAMATR", "CODTAREA", "ESTAREA"};

class MateriasTest : public StepTest {};

TEST_F(MateriasTest, SubjectsThenActivitiesInDocumentOrder) {
  Load(ExchangeBuilder()
           .Group("ACTIVIDADES", {{"S", "25", "Guardia", "N", "N"}, {"S", "2", "Tutoría"}})
           .Group("MATERIAS", {{"100323", "62645", "LENGUA CASTELLANA Y LITERATURA"},
                               {"100323", "62646"},  // no name: empty code
                               {"100324"},           // a single dato: skipped
                               {"100324", "62700", "Matemáticas"}}));
  TransformarMaterias(state);
  EXPECT_EQ(Read("ASIGNOMT", kFields), (Rows{
                                           {"LENG", "62645", "LENGUA CASTELLANA Y LITERATURA", "100323", "", "False"},
                                           {"", "62646", "", "100323", "", "False"},
                                           {"Mate", "62700", "Matemáticas", "100324", "", "False"},
                                           {"25", "25", "Guardia", "25", "", "True"},
                                           {"2", "2", "Tutoría", "2", "", "True"},
                                       }));
}

TEST_F(MateriasTest, TextsCutToTheirFields) {
  Load(ExchangeBuilder()
           .Group("MATERIAS", {{"1003234567", "6264512345",
                                "Ciencias de la naturaleza y del medio ambiente de Andalucía Oriental"}})
           .Group("ACTIVIDADES", {{"S", "123456789", "Guardia de recreo"}, {"S", "12340", "Otra guardia"}}));
  TransformarMaterias(state);
  EXPECT_EQ(Read("ASIGNOMT", {"COD", "CODLARGO", "NOMBRE", "OFERTAMATR"}),
            (Rows{
                // The code comes from the whole name, with capitals past 40 characters.
                {"CAO", "62645123", "Ciencias de la naturaleza y del medio am", "10032345"},
                {"1234", "12345678", "Guardia de recreo", "12345678"},
                {"1234", "12340", "Otra guardia", "12340"},
            }));
}

TEST_F(MateriasTest, ActivitiesNeitherUseNorEnterTheCodeList) {
  Load(ExchangeBuilder()
           .Group("MATERIAS", {{"100323", "1", "GUARDIA"}, {"100323", "2", "GUARDIA"}})
           .Group("ACTIVIDADES", {{"S", "GUAR", "Guardia"}, {"S", "GUAR", "Guardia"}}));
  TransformarMaterias(state);
  EXPECT_EQ(Read("ASIGNOMT", {"COD", "ESTAREA"}),
            (Rows{{"GUAR", "False"}, {"GUA1", "False"}, {"GUAR", "True"}, {"GUAR", "True"}}));
}

TEST_F(MateriasTest, GroupsMissingOrMisnamed) {
  const struct {
    const char* name;
    ExchangeBuilder doc;
    Rows expected;  // COD, ESTAREA
  } cases[] = {
      {"no ACTIVIDADES: subjects only", ExchangeBuilder().Group("MATERIAS", {{"1", "2", "Física"}}),
       {{"Físi", "False"}}},
      {"no MATERIAS: activities only", ExchangeBuilder().Group("ACTIVIDADES", {{"S", "44", "Dirección"}}),
       {{"44", "True"}}},
      {"group name in other letter case matches nothing",
       ExchangeBuilder().Group("Materias", {{"1", "2", "Física"}}), {}},
      {"two MATERIAS groups: both read, in order",
       ExchangeBuilder().Group("MATERIAS", {{"1", "2", "Física"}}).Group("MATERIAS", {{"1", "3", "FÍSICA"}}),
       {{"Físi", "False"}, {"FSIC", "False"}}},
  };
  for (const auto& c : cases) {
    Load(c.doc);
    TransformarMaterias(state);
    EXPECT_EQ(Read("ASIGNOMT", {"COD", "ESTAREA"}), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace import
