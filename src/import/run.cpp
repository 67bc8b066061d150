// The Séneca-to-Horalia run from the load of the chosen document to its
// outcome code. This is the one place where such a run starts, for every
// front end: anything that must hold for a whole run (such as keeping a
// second run off the same working folder) belongs here.
#include <filesystem>
#include <memory>
#include <string>

#include "app/program_state.h"
#include "app/working_folder_lock.h"
#include "exchange/xml_document.h"
#include "import/seneca_to_horalia.h"
#include "text/file_io.h"

namespace import {
namespace {

using Step = void (*)(ProgramState&);

// The order matters: CURSOST must be complete before the units are coded, and
// the units and subjects written before they are paired.
constexpr Step kSteps[] = {
    TransformarCursoAcademico, TransformarCursos,     TransformarMaterias,
    TransformarEmpleados,      TransformarDependencias, TransformarUnidades,
    TransformarAsignaciones,   TransformarTramos,
};

}  // namespace

void RunSenecaToHoralia(ProgramState& state) {
  // Held to the end of the run: a second conversion on the same folder ends
  // at once instead of rebuilding tables that this one is writing.
  const app::WorkingFolderLock lock(state.WorkingFolder(), app::WorkingFolderLock::Use::kWriteTables);

  // Loaded in full before any table is deleted: a file that is not a
  // well-formed document ends the run with the working tables untouched.
  state.DocXML = std::make_unique<exchange::XmlDocument>(
      exchange::XmlDocument::Load(files::PathFromText(state.ArchivoXML)));

  const Hourglass hourglass(state.Ui());
  try {
    for (const Step step : kSteps) step(state);
  } catch (...) {
    // The tables rebuilt so far stay; the components are left closed so that
    // the next run can open them.
    state.Tables.CloseAll();
    throw;
  }
  state.CodigoResultado = 1;
}

}  // namespace import
