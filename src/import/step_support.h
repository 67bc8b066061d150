// What every Séneca-to-Horalia step shares: the loaded document of the run,
// and setting a field of the record being appended by its name.
#pragma once

#include <stdexcept>
#include <string_view>

#include "app/program_state.h"
#include "exchange/xml_document.h"
#include "tables/table.h"

namespace import {

// The document the run loaded. A step called before the load is a fault of
// the caller, not of the user's file.
inline const exchange::XmlDocument& LoadedDocument(const ProgramState& state) {
  if (!state.DocXML) throw std::logic_error("Séneca-to-Horalia step called without a loaded document");
  return *state.DocXML;
}

// Sets a text field of the record in progress; a longer text is cut to the
// field's width by the table.
inline void SetText(tables::TTable& table, std::string_view field, std::string_view cp1252) {
  table.FieldByName(field).SetAsString(cp1252);
}

}  // namespace import
