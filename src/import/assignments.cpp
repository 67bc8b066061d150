// ASIGT: one row for every unit and every subject or activity of the unit's
// offer, with the fixed hours and sessions Horalia starts from.
#include <string>
#include <unordered_map>
#include <vector>

#include "app/program_state.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "tables/working_tables.h"

namespace import {
namespace {

struct Subject {
  std::string cod, codLargo;
  bool esTarea = false;
};

// The rows of ASIGNOMT grouped by OFERTAMATR, each group in table order: for
// every unit, the subjects a walk of the whole table would pair with it, in
// the order that walk meets them. Offers compare exactly (case, length).
std::unordered_map<std::string, std::vector<Subject>> IndexSubjectsByOffer(tables::TTable& wwTableNomAsg) {
  std::unordered_map<std::string, std::vector<Subject>> byOffer;
  for (wwTableNomAsg.First(); !wwTableNomAsg.Eof(); wwTableNomAsg.Next()) {
    byOffer[wwTableNomAsg.FieldByName("OFERTAMATR").AsString()].push_back(
        Subject{wwTableNomAsg.FieldByName("COD").AsString(),
                wwTableNomAsg.FieldByName("CODLARGO").AsString(),
                wwTableNomAsg.FieldByName("ESTAREA").AsBoolean()});
  }
  return byOffer;
}

// Horalia's starting point for every pair: four hours a week, one session a
// day over four days; subjects carry task "1", activities their own code.
constexpr double kHoras = 4.0;
constexpr std::string_view kSesiones = "1111";
constexpr std::string_view kTareaDeMateria = "1";

}  // namespace

void TransformarAsignaciones(ProgramState& state) {
  auto table = tables::RebuildTable(state.WorkingFolder(), "ASIGT");
  tables::TTable& wwTableGrupos = state.Tables.wwTableGrupos;
  tables::TTable& wwTableNomAsg = state.Tables.wwTableNomAsg;
  wwTableGrupos.SetActive(true);
  wwTableGrupos.First();
  wwTableNomAsg.SetActive(true);
  const auto subjectsByOffer = IndexSubjectsByOffer(wwTableNomAsg);

  for (; !wwTableGrupos.Eof(); wwTableGrupos.Next()) {
    const auto found = subjectsByOffer.find(wwTableGrupos.FieldByName("OFERMATR").AsString());
    if (found == subjectsByOffer.end()) continue;
    const std::string oferta = found->first;
    const std::string abrev = wwTableGrupos.FieldByName("ABREV").AsString();
    const std::string turno = wwTableGrupos.FieldByName("TURNO").AsString();
    const std::string nivel = wwTableGrupos.FieldByName("NIVEL").AsString();
    const std::string curso = wwTableGrupos.FieldByName("CURSO").AsString();
    const std::string grupo = wwTableGrupos.FieldByName("GRUPO").AsString();
    const std::string unidad = wwTableGrupos.FieldByName("UNIDAD").AsString();
    for (const Subject& subject : found->second) {
      table->Append();
      SetText(*table, "CASIG", subject.cod);
      SetText(*table, "CGRUP", abrev);
      SetText(*table, "TURNO", turno);
      SetText(*table, "NIVEL", nivel);
      SetText(*table, "CURSO", curso);
      SetText(*table, "GRUPO", grupo);
      table->FieldByName("HORAS").SetAsFloat(kHoras);
      SetText(*table, "SESIONES", kSesiones);
      SetText(*table, "CTAREA", subject.esTarea ? std::string_view(subject.cod) : kTareaDeMateria);
      SetText(*table, "UNIDAD", unidad);
      SetText(*table, "OFERTA", oferta);
      SetText(*table, "MATERIA", subject.codLargo);
      table->Post();
    }
  }
  wwTableGrupos.SetActive(false);
  wwTableNomAsg.SetActive(false);
  table->Close();
}

}  // namespace import
