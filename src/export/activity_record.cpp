#include "export/activity_record.h"

#include <utility>
#include <vector>

#include "exchange/exchange_document.h"
#include "export/horalia_to_seneca.h"
#include "tables/table.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"

namespace exporting {
namespace {

// The values a lesson takes from a lookup: those of the match, or as many
// empty texts when nothing matches, so that no lesson inherits another's.
std::vector<std::string> ValuesOrEmpty(const std::vector<std::string>* found, std::size_t count,
                                       long& unmatched) {
  if (found) return *found;
  ++unmatched;
  return std::vector<std::string>(count);
}

}  // namespace

ActivityWriter::ActivityWriter(exchange::XmlDocument& doc, tables::MainWindowTables& components,
                               CourseDates dates, ExportSummary& summary)
    : doc_(doc),
      dates_(std::move(dates)),
      summary_(summary),
      tramos_(components.wwTableTramos, "DIHO", {"DIA", "CODDIHO", "HORADESDE", "HORAHASTA"}),
      aulas_(components.wwTableAulas, "ABREV", {"DEPCENTRO"}),
      grupos_(components.wwTableGrupos, "ABREV", {"UNIDAD"}),
      asignaturas_(components.wwTableNomAsg, "COD", {"OFERTAMATR", "CODLARGO"}) {}

void ActivityWriter::WriteLesson(tables::TTable& soluc, exchange::XmlNode teacherGroup,
                                 long& activityNumber) {
  if (soluc.FieldByName("DIA").AsInteger() == 0) return;

  const exchange::XmlNode activity =
      exchange::AppendGroup(doc_, teacherGroup, "ACTIVIDAD_" + std::to_string(activityNumber));
  ++activityNumber;
  ++summary_.Activities;

  // DIHO is the day followed by the slot number: day 2, slot 3 is "23". HORA
  // goes through a number so that a slot stored as "03" still finds "23".
  const std::string slotKey = soluc.FieldByName("DIA").AsString() +
                              std::to_string(soluc.FieldByName("HORA").AsInteger());
  const std::vector<std::string> slot =
      ValuesOrEmpty(tramos_.Find(slotKey), 4, summary_.LessonsWithoutSlot);
  const std::string& diaSemana = slot[0];
  const std::string& tramo = slot[1];
  const std::string& horaDesde = slot[2];
  const std::string& horaHasta = slot[3];
  exchange::AppendDato(doc_, activity, "N_DIASEMANA", diaSemana);
  exchange::AppendDato(doc_, activity, "X_TRAMO", tramo);

  // A room Séneca does not know (no AULAT row, or no DEPCENTRO) keeps
  // Horalia's own code.
  const std::string aula = soluc.FieldByName("AULA").AsString();
  std::string dependencia =
      ValuesOrEmpty(aulas_.Find(aula), 1, summary_.LessonsWithoutRoom)[0];
  if (text::IsBlank(dependencia)) dependencia = aula;
  exchange::AppendDato(doc_, activity, "X_DEPENDENCIA", dependencia);

  const std::string codGrupo = soluc.FieldByName("CODGRUPO").AsString();
  exchange::AppendDato(doc_, activity, "X_UNIDAD",
                       ValuesOrEmpty(grupos_.Find(codGrupo), 1, summary_.LessonsWithoutUnit)[0]);

  const std::string asig = soluc.FieldByName("ASIG").AsString();
  const std::vector<std::string> subject =
      ValuesOrEmpty(asignaturas_.Find(asig), 2, summary_.LessonsWithoutSubject);
  exchange::AppendDato(doc_, activity, "X_OFERTAMATRIG", subject[0]);
  exchange::AppendDato(doc_, activity, "X_MATERIAOMG", subject[1]);

  exchange::AppendDato(doc_, activity, "F_INICIO", dates_.Inicio);
  exchange::AppendDato(doc_, activity, "F_FIN", dates_.Fin);
  exchange::AppendDato(doc_, activity, "N_HORINI", horaDesde);
  exchange::AppendDato(doc_, activity, "N_HORFIN", horaHasta);

  // A lesson without a task is teaching, Séneca's activity 1.
  const std::string tarea = soluc.FieldByName("TAREA").AsString();
  exchange::AppendDato(doc_, activity, "X_ACTIVIDAD", text::IsBlank(tarea) ? "1" : tarea);
}

}  // namespace exporting
