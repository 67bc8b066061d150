// CURSOACAD (the academic year and its dates) and CURSOST (the courses of the
// centre, completed by the user with levels and course numbers).
#include <string>

#include "app/program_state.h"
#include "courses/assignment_loop.h"
#include "exchange/exchange_document.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "tables/working_tables.h"
#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

// Only the first two groups under BLOQUE_DATOS may carry the academic year,
// as `dato` children of their own (Séneca exports it as the first group).
constexpr std::size_t kYearGroupCandidates = 2;

struct YearTexts {
  std::string year, start, end;
};

// The dates of the first school-days record, when it has them: Séneca leaves
// the year group's dates empty in some exports.
void TakeSchoolDaysDates(const exchange::XmlDocument& doc, YearTexts& texts) {
  const auto schoolDays = exchange::SelectRecords(doc, "JORNADAS_ESCOLARES");
  if (schoolDays.empty()) return;
  const exchange::Record first(schoolDays.front());
  if (!first.IsUsable()) return;
  texts.start = first.Position(2);
  texts.end = first.Position(3);
}

[[noreturn]] void ThrowNoAcademicYear(const ProgramState& state) {
  // The first words are the table engine's, as when a record is posted with
  // none in progress; the rest tells the user what is actually wrong.
  const std::string document = state.ArchivoXML.empty() ? "el documento" : "el documento \"" + state.ArchivoXML + "\"";
  throw UserError("La fuente de datos no está en modo de edición o inserción: " + document +
                  " no tiene curso académico (ninguno de los dos primeros grupos de BLOQUE_DATOS trae el año "
                  "y sus fechas). Compruebe que es una exportación de horarios de Séneca completa.");
}

}  // namespace

void TransformarCursoAcademico(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "CURSOACAD");
  const auto groups = exchange::SelectGroups(doc);

  YearTexts texts;
  bool recordInProgress = false;
  for (std::size_t i = 0; i < kYearGroupCandidates && i < groups.size(); ++i) {
    const exchange::Record group(groups[i]);
    if (!group.IsUsable()) continue;
    texts = {group.Position(0), group.Position(1), group.Position(2)};
    // Not posted yet: a second year group's Append stores this one as read,
    // and only the last one may receive the school-days dates.
    table->Append();
    SetText(*table, "CURSOANNO", texts.year);
    SetText(*table, "F_INICIO", texts.start);
    SetText(*table, "F_FIN", texts.end);
    recordInProgress = true;
  }

  if (text::IsBlank(texts.start) || text::IsBlank(texts.end)) TakeSchoolDaysDates(doc, texts);

  if (!recordInProgress) {
    table->Close();
    ThrowNoAcademicYear(state);
  }
  SetText(*table, "F_INICIO", texts.start);
  SetText(*table, "F_FIN", texts.end);
  table->Post();
  table->Close();
}

void TransformarCursos(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "CURSOST");
  for (const exchange::XmlNode& node : exchange::SelectRecords(doc, "CURSOS_DEL_CENTRO")) {
    const exchange::Record course(node);
    if (!course.IsUsable()) continue;
    table->Append();
    SetText(*table, "CLAVE", course.Position(0));
    SetText(*table, "ESTUD", course.Position(1));
    table->Post();
  }
  table->Close();
  table.reset();

  // NIVEL and CURSO come from the user; the unit codes are built from them.
  courses::RunAssignmentLoop(state);
}

}  // namespace import
