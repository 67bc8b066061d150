// The two commands of transorvano-batch. Each checks the chosen file as the
// desktop program does ("No existe archivo"), runs the core's run on a
// ProgramState of its own, and reports on the console: a summary and
// "Proceso finalizado" last on success. They return the exit code; a
// UserError of the run propagates to the caller, which shows it (exit 1).
#pragma once

#include "batch/console.h"
#include "batch/options.h"

namespace batch {

// Séneca to Horalia: rebuilds the eight working tables from options.archivo.
int Exportar(const Options& options, Console& console);

// Horalia to Séneca: writes "ResultadoOrvano" + the file's name beside
// options.archivo, on the template "base.xml" of the current directory.
int Importar(const Options& options, Console& console);

}  // namespace batch
