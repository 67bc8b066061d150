// The lesson step of the Horalia-to-Séneca run: one record of Horalia's SOLUC
// (day, slot, room, unit, subject and task in Horalia's codes) becomes one
// ACTIVIDAD_n group of its teacher, in Séneca's identifiers, found through the
// working tables DIASHORAST, AULAT, GRUPOST and ASIGNOMT. A lesson on day 0
// is one Horalia has not placed: it is passed over.
#pragma once

#include <string>

#include "exchange/xml_document.h"
#include "export/lookup_index.h"

namespace tables {
class TTable;
struct MainWindowTables;
}  // namespace tables

namespace exporting {

struct ExportSummary;

// The course dates written unchanged into every activity: F_INICIO and F_FIN
// of the first CURSOACAD record.
struct CourseDates {
  std::string Inicio;
  std::string Fin;
};

class ActivityWriter {
 public:
  // `components` must stay open while the writer is used; their lookup tables
  // are read the first time a lesson needs them. Unmatched lookups are
  // counted in `summary`.
  ActivityWriter(exchange::XmlDocument& doc, tables::MainWindowTables& components,
                 CourseDates dates, ExportSummary& summary);

  // Writes the lesson at which `soluc` stands into `teacherGroup` as
  // ACTIVIDAD_<activityNumber> and advances the number, unless its DIA reads
  // 0. Does not move `soluc`. Throws UserError when a field is missing or DIA
  // or HORA is not a whole number.
  void WriteLesson(tables::TTable& soluc, exchange::XmlNode teacherGroup, long& activityNumber);

 private:
  exchange::XmlDocument& doc_;
  CourseDates dates_;
  ExportSummary& summary_;
  LazyLookup tramos_;       // DIHO -> DIA, CODDIHO, HORADESDE, HORAHASTA
  LazyLookup aulas_;        // ABREV -> DEPCENTRO
  LazyLookup grupos_;       // ABREV -> UNIDAD
  LazyLookup asignaturas_;  // COD -> OFERTAMATR, CODLARGO
};

}  // namespace exporting
