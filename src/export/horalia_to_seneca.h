// The Horalia-to-Séneca run: Horalia's solution table SOLUC, translated back
// to Séneca's identifiers through the working tables, written as a new
// exchange document built on the template "base.xml", saved beside the chosen
// file as "ResultadoOrvano" + its name.
#pragma once

#include <filesystem>
#include <string>

class ProgramState;

namespace exporting {

// What the run wrote, for the batch tool's summary.
struct ExportSummary {
  std::filesystem::path Output;
  long Teachers = 0;
  long Activities = 0;
  long LessonsWithoutSlot = 0;     // no DIASHORAST row for the day and slot
  long LessonsWithoutRoom = 0;     // no AULAT row (the room code is written instead)
  long LessonsWithoutUnit = 0;     // no GRUPOST row
  long LessonsWithoutSubject = 0;  // no ASIGNOMT row
};

// "ResultadoOrvano" put before the file name of `archivoXML`, in its folder.
std::filesystem::path OutputPathFor(const std::filesystem::path& archivoXML);

// The run from the CURSOACAD check on, once the front end has checked that
// state.ArchivoXML exists. Throws UserError with "ATENCIÓN Falta un Fich.
// Temporal. Transforme de nuevo de Séneca a Horalia" when CURSOACAD.DBF is
// missing (nothing else happens), and UserError on any other failure (the
// components it opened are closed, the hourglass taken back, no output
// written, CodigoResultado unchanged). On success sets CodigoResultado to 1.
ExportSummary RunHoraliaToSeneca(ProgramState& state,
                                 const std::filesystem::path& templateFile = "base.xml");

}  // namespace exporting
