#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"

namespace import {
namespace {

using Values = ExchangeBuilder::Values;

// X_EMPLEADO, F_TOMAPOS, D_PUESTO, APELLIDO1, APELLIDO2, NOMBRE.
Values Teacher(const std::string& id, const std::string& apellido1, const std::string& apellido2,
               const std::string& nombre) {
  return {id, "01/09/2026", "Inglés P.E.S.", apellido1, apellido2, nombre};
}

class EmpleadosTest : public StepTest {};

TEST_F(EmpleadosTest, OneRowPerTeacherWithCodeAndFullName) {
  Load(ExchangeBuilder().Group(
      "EMPLEADOS", {
                       Teacher("1234567", "Blanco", "Cruz", "Ana"),
                       Teacher("1234568", "Bueno", "Casas", "Alberto"),
                       {"1234569"},  // a single dato: skipped
                       Teacher("1234570", "Bravo", "Cano", "Amparo"),
                       Teacher("1234571", "benítez", "cobo", "alba"),
                       Teacher("1234572", "Bello", "Calvo", "Ángela"),
                   }));
  TransformarEmpleados(state);
  EXPECT_EQ(Read("PROFT", {"ABREV", "NOMBRE", "DEPART", "X_EMPLEADO", "F_TOMAPOS"}),
            (Rows{
                {"ABC", "Ana Blanco Cruz", "Inglés P.E.S.", "1234567", "01/09/2026"},
                {"ABC1", "Alberto Bueno Casas", "Inglés P.E.S.", "1234568", "01/09/2026"},
                {"ABC2", "Amparo Bravo Cano", "Inglés P.E.S.", "1234570", "01/09/2026"},
                {"abc3", "alba benítez cobo", "Inglés P.E.S.", "1234571", "01/09/2026"},
                {"ÁBC", "Ángela Bello Calvo", "Inglés P.E.S.", "1234572", "01/09/2026"},
            }));
}

TEST_F(EmpleadosTest, EmptyAndMissingPositions) {
  Load(ExchangeBuilder().Group(
      "EMPLEADOS", {
                       Teacher("1", "", "Q", "P"),  // the empty surname leaves its blanks
                       Teacher("2", "", "", ""),
                       Teacher("3", "", "", ""),
                       {"4", "01/09/2026", "Música"},  // positions 3 to 5 missing: read as empty
                       Teacher("5", "Fernández de Córdoba", "Martínez-Villaseñor", "María Auxiliadora"),
                   }));
  TransformarEmpleados(state);
  EXPECT_EQ(Read("PROFT", {"ABREV", "NOMBRE", "DEPART"}),
            (Rows{
                {"PQ", "P  Q", "Inglés P.E.S."},
                {"", "", "Inglés P.E.S."},
                {"1", "", "Inglés P.E.S."},
                {"2", "", "Música"},
                {"MFM", "María Auxiliadora Fernández de Córdoba M", "Inglés P.E.S."},
            }));
}

TEST_F(EmpleadosTest, EleventhTeacherWithTheSameInitialsGetsADistinctCode) {
  std::vector<Values> teachers;
  for (int i = 0; i < 11; ++i) teachers.push_back(Teacher(std::to_string(i), "B", "C", "A"));
  Load(ExchangeBuilder().Group("EMPLEADOS", teachers));
  TransformarEmpleados(state);
  const Rows rows = Read("PROFT", {"ABREV"});
  ASSERT_EQ(rows.size(), 11u);
  EXPECT_EQ(rows[9], std::vector<std::string>{"ABC9"});
  EXPECT_EQ(rows[10], std::vector<std::string>{"AB10"});
}

class DependenciasTest : public StepTest {};

TEST_F(DependenciasTest, RoomsKeepTheirIdentifierTwice) {
  Load(ExchangeBuilder().Group("DEPENDENCIAS", {
                                                   {"12631", "Aula 1.4"},
                                                   {"126312", "Laboratorio de Física y Química"},
                                                   {"12632"},  // a single dato: skipped
                                                   {"126319", "Gimnasio"},
                                                   {"12631", "Aula 1.4"},
                                                   {"12345678901", "Biblioteca", "sobra"},
                                               }));
  TransformarDependencias(state);
  EXPECT_EQ(Read("AULAT", {"ABREV", "NOMBRE", "EDIFICIO", "DEPCENTRO"}),
            (Rows{
                {"1263", "Aula 1.4", "", "12631"},
                {"1263", "Laboratorio de Física y Química", "", "126312"},
                {"1263", "Gimnasio", "", "126319"},
                {"1263", "Aula 1.4", "", "12631"},
                {"1234", "Biblioteca", "", "1234567890"},
            }));
}

TEST_F(DependenciasTest, MissingGroupGivesAnEmptyTable) {
  Load(ExchangeBuilder().Group("EMPLEADOS", {Teacher("1", "B", "C", "A")}));
  TransformarDependencias(state);
  EXPECT_TRUE(Read("AULAT", {"ABREV"}).empty());
}

}  // namespace
}  // namespace import
