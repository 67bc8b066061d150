// The command line of transorvano-batch: which of the two runs to make, on
// which exchange document, and how. Parsing never touches a file; what the
// user typed wrong is a UsageError, answered with the usage text and exit
// code 2.
#pragma once

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace batch {

enum class Command {
  kExportar,  // Séneca to Horalia: rebuild the working tables from ARCHIVO.xml
  kImportar,  // Horalia to Séneca: write ResultadoOrvano + ARCHIVO.xml
  kAyuda,     // --help: print the usage text
};

struct Options {
  Command command = Command::kAyuda;
  std::filesystem::path archivo;                   // ARCHIVO.xml
  std::optional<std::filesystem::path> niveles;    // --niveles NIVELES.csv
  bool forzarSalida = false;                       // --forzar-salida
  std::optional<std::filesystem::path> htemp;      // --htemp CARPETA
};

// The command line is not one of the two forms of the usage text; the message
// (Spanish) says which word is wrong.
struct UsageError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The usage text, Spanish, ending in a newline.
extern const char kUsage[];

// Parses the arguments that follow the program name. "--help" or "-h"
// anywhere asks for the usage text. Options take their value as the next
// argument or after "=" (--htemp=CARPETA). Throws UsageError.
Options ParseOptions(const std::vector<std::string>& args);

}  // namespace batch
