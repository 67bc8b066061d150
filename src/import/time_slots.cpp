// DIASHORAST: every slot of the school day, repeated for each day of the
// week, keyed by day and slot number (DIHO) so that Horalia's lessons can be
// traced back to Séneca's slot identifiers and times.
#include <cstdint>
#include <string>

#include "app/program_state.h"
#include "exchange/exchange_document.h"
#include "import/seneca_to_horalia.h"
#include "import/step_support.h"
#include "tables/working_tables.h"
#include "text/integer_text.h"

namespace import {
namespace {

constexpr int kDaysOfWeek = 7;
constexpr std::size_t kTimeDigits = 4;  // hhmm, or minutes since midnight

// Séneca may give a time with fewer than four digits (510 for 08:30 in
// minutes); one "0" in front is what Horalia's tables have always held.
std::string PadTime(const std::string& time) {
  if (time.size() >= kTimeDigits) return time;
  std::string padded(1, '0');
  padded += time;
  return padded;
}

}  // namespace

// A TRAMOS_HORARIOS record: X_TRAMO, T_HORCEN, N_INICIO, N_FIN at positions 0
// to 3. Every record counts, however few fields it has (a missing one reads
// as empty), because the slot number is the record's place in the group.
void TransformarTramos(ProgramState& state) {
  const exchange::XmlDocument& doc = LoadedDocument(state);
  auto table = tables::RebuildTable(state.WorkingFolder(), "DIASHORAST");

  const auto slots = exchange::SelectRecords(doc, "TRAMOS_HORARIOS");
  for (int day = 1; day <= kDaysOfWeek; ++day) {
    for (std::size_t j = 0; j < slots.size(); ++j) {
      const exchange::Record slot(slots[j]);
      const std::string tramo = slot.Position(0);
      const std::string hora = slot.Position(1);
      const std::string desde = PadTime(slot.Position(2));
      const std::string hasta = PadTime(slot.Position(3));
      // The end first: with both unreadable, the end is the one named.
      const std::int64_t fin = text::ToInt32(hasta);
      const std::int64_t minutos = fin - text::ToInt32(desde);

      table->Append();
      std::string diho = std::to_string(day);
      diho += std::to_string(j + 1);
      SetText(*table, "DIHO", diho);
      SetText(*table, "DIA", std::to_string(day));
      SetText(*table, "HORA", hora);
      SetText(*table, "TEXTOHOR", hora);
      SetText(*table, "CODDIHO", tramo);
      SetText(*table, "HORADESDE", desde);
      SetText(*table, "HORAHASTA", hasta);
      SetText(*table, "MINUTOS", std::to_string(minutos));
      table->Post();
    }
  }
  table->Close();
}

}  // namespace import
