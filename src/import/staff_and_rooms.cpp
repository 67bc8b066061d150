// PROFT (teachers, each with a generated code) and AULAT (rooms, named by
// their Séneca identifier).
#include <string>

#include "app/program_state.h"
#include "exchange/exchange_document.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "import/teacher_codes.h"
#include "tables/working_tables.h"

namespace import {

// An EMPLEADOS record: X_EMPLEADO, F_TOMAPOS, D_PUESTO, APELLIDO1, APELLIDO2,
// NOMBRE at positions 0 to 5.
void TransformarEmpleados(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "PROFT");
  TeacherCodes codes;

  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "EMPLEADOS")) {
    const exchange::Record teacher(node);
    if (!teacher.IsUsable()) continue;
    const std::string empleado = teacher.Position(0);
    const std::string tomaPosesion = teacher.Position(1);
    const std::string puesto = teacher.Position(2);
    const std::string apellido1 = teacher.Position(3);
    const std::string apellido2 = teacher.Position(4);
    const std::string nombre = teacher.Position(5);
    const std::string abrev = codes.Next(nombre, apellido1, apellido2);
    // Empty parts keep their blanks: Horalia shows the name as Séneca has it.
    const std::string fullName = nombre + " " + apellido1 + " " + apellido2;
    table->Append();
    SetText(*table, "ABREV", abrev);
    SetText(*table, "NOMBRE", fullName);
    SetText(*table, "X_EMPLEADO", empleado);
    SetText(*table, "F_TOMAPOS", tomaPosesion);
    SetText(*table, "DEPART", puesto);
    table->Post();
  }
  table->Close();
}

// A room keeps its Séneca identifier twice: cut to four characters as
// Horalia's code, and whole (up to ten) in DEPCENTRO for the way back.
void TransformarDependencias(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "AULAT");
  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "DEPENDENCIAS")) {
    const exchange::Record room(node);
    if (!room.IsUsable()) continue;
    const std::string id = room.Position(0);
    table->Append();
    SetText(*table, "ABREV", id);
    SetText(*table, "NOMBRE", room.Position(1));
    SetText(*table, "DEPCENTRO", id);
    table->Post();
  }
  table->Close();
}

}  // namespace import
