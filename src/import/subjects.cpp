// ASIGNOMT: the subjects of every offer, each with a generated code, followed
// by the activities (duty, tutoring...), which keep their Séneca code.
#include "app/program_state.h"
#include "exchange/exchange_document.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "import/subject_codes.h"
#include "tables/working_tables.h"

namespace import {

void TransformarMaterias(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "ASIGNOMT");
  SubjectCodes codes;

  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "MATERIAS")) {
    const exchange::Record subject(node);
    if (!subject.IsUsable()) continue;
    const std::string oferta = subject.Position(0);
    const std::string materia = subject.Position(1);
    const std::string nombre = subject.Position(2);
    // The code comes from the whole name, although NOMBRE keeps only 40
    // characters of it.
    const std::string cod = codes.Next(nombre);
    table->Append();
    SetText(*table, "COD", cod);
    SetText(*table, "CODLARGO", materia);
    SetText(*table, "NOMBRE", nombre);
    SetText(*table, "OFERTAMATR", oferta);
    table->FieldByName("ESTAREA").SetAsBoolean(false);
    table->Post();
  }

  // An activity is its own offer: Horalia pairs it with the units whose offer
  // code is the activity's code.
  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "ACTIVIDADES")) {
    const exchange::Record activity(node);
    if (!activity.IsUsable()) continue;
    const std::string code = activity.Position(1);
    table->Append();
    SetText(*table, "COD", code);
    SetText(*table, "CODLARGO", code);
    SetText(*table, "NOMBRE", activity.Position(2));
    SetText(*table, "OFERTAMATR", code);
    table->FieldByName("ESTAREA").SetAsBoolean(true);
    table->Post();
  }
  table->Close();
}

}  // namespace import
