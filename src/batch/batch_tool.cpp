#include "batch/batch_tool.h"

#include <exception>
#include <ostream>

#include "batch/commands.h"
#include "batch/options.h"
#include "text/user_error.h"

namespace batch {

int RunBatchTool(const std::vector<std::string>& args, Console& console) {
  Options options;
  try {
    options = ParseOptions(args);
  } catch (const UsageError& wrong) {
    console.err << wrong.what() << "\n\n" << kUsage;
    return kExitUsage;
  }

  try {
    switch (options.command) {
      case Command::kAyuda:
        console.out << kUsage;
        return kExitOk;
      case Command::kExportar:
        return Exportar(options, console);
      case Command::kImportar:
        return Importar(options, console);
    }
  } catch (const UserError& error) {
    console.err << error.what() << "\n";
  } catch (const std::exception& error) {
    // Not one of the run's own errors: still said plainly, never a crash.
    console.err << "Error inesperado: " << error.what() << "\n";
  }
  return kExitError;
}

}  // namespace batch
