#include "batch/options.h"

#include <string_view>

namespace batch {

const char kUsage[] =
    "Uso:\n"
    "  transorvano-batch exportar ARCHIVO.xml [--niveles NIVELES.csv] [--forzar-salida] [--htemp CARPETA]\n"
    "  transorvano-batch importar ARCHIVO.xml [--htemp CARPETA]\n"
    "  transorvano-batch --help\n"
    "\n"
    "exportar  Transforma el documento de Séneca ARCHIVO.xml en las tablas de trabajo\n"
    "          de Horalia (CURSOACAD, CURSOST, ASIGNOMT, PROFT, AULAT, GRUPOST, ASIGT y\n"
    "          DIASHORAST).\n"
    "importar  Escribe el horario de Horalia (tabla SOLUC) como documento para Séneca,\n"
    "          \"ResultadoOrvano\" seguido del nombre de ARCHIVO.xml, junto a él. La\n"
    "          plantilla \"base.xml\" se toma de la carpeta actual.\n"
    "\n"
    "Opciones:\n"
    "  --niveles NIVELES.csv  Nivel y curso de cada curso del centro, un curso por línea:\n"
    "                         CLAVE;NIVEL;CURSO (texto UTF-8; una primera línea que empiece\n"
    "                         por CLAVE es la cabecera).\n"
    "  --forzar-salida        Si falta algún NIVEL o CURSO, seguir igualmente (salida\n"
    "                         forzada: las unidades sin nivel llevarán NIV).\n"
    "  --htemp CARPETA        Carpeta de trabajo; por omisión, C:\\HTEMP.\n"
    "  -h, --help             Muestra esta ayuda.\n"
    "\n"
    "Códigos de salida: 0 terminado, 1 error, 2 orden mal escrita,\n"
    "3 faltan niveles o cursos (solo exportar).\n";

namespace {

bool IsHelp(std::string_view arg) { return arg == "--help" || arg == "-h"; }

// Splits "--name=value" into name and value; a bare "--name" has no value.
struct OptionWord {
  std::string name;
  std::optional<std::string> value;
};
OptionWord SplitOption(const std::string& arg) {
  const auto equals = arg.find('=');
  if (equals == std::string::npos) return {arg, std::nullopt};
  return {arg.substr(0, equals), arg.substr(equals + 1)};
}

class Parser {
 public:
  Parser(Command command, const std::vector<std::string>& args) : command_(command), args_(args) {}

  Options Parse() {
    Options options;
    options.command = command_;
    bool haveFile = false;
    for (next_ = 1; next_ < args_.size();) {
      const std::string& arg = args_[next_++];
      if (arg.size() > 1 && arg[0] == '-') {
        TakeOption(arg, options);
      } else if (!haveFile) {
        options.archivo = arg;
        haveFile = true;
      } else {
        throw UsageError("Sobra el argumento '" + arg + "': solo se admite un ARCHIVO.xml.");
      }
    }
    if (!haveFile) throw UsageError("Falta el ARCHIVO.xml de la orden '" + args_[0] + "'.");
    return options;
  }

 private:
  void TakeOption(const std::string& arg, Options& options) {
    const OptionWord word = SplitOption(arg);
    const bool exportar = command_ == Command::kExportar;
    if (word.name == "--htemp") {
      Once(options.htemp.has_value(), word.name);
      options.htemp = Value(word);
    } else if (word.name == "--niveles" && exportar) {
      Once(options.niveles.has_value(), word.name);
      options.niveles = Value(word);
    } else if (word.name == "--forzar-salida" && exportar) {
      if (word.value) throw UsageError("La opción --forzar-salida no lleva valor.");
      Once(options.forzarSalida, word.name);
      options.forzarSalida = true;
    } else {
      throw UsageError("La orden '" + args_[0] + "' no admite la opción '" + word.name + "'.");
    }
  }

  static void Once(bool alreadyGiven, const std::string& name) {
    if (alreadyGiven) throw UsageError("La opción " + name + " aparece más de una vez.");
  }

  std::string Value(const OptionWord& word) {
    if (word.value) {
      if (word.value->empty()) throw UsageError("La opción " + word.name + " necesita un valor.");
      return *word.value;
    }
    if (next_ >= args_.size() || args_[next_].empty()) {
      throw UsageError("La opción " + word.name + " necesita un valor.");
    }
    return args_[next_++];
  }

  Command command_;
  const std::vector<std::string>& args_;
  std::size_t next_ = 1;
};

}  // namespace

Options ParseOptions(const std::vector<std::string>& args) {
  for (const auto& arg : args) {
    if (IsHelp(arg)) return Options{};
  }
  if (args.empty()) throw UsageError("Falta la orden: exportar o importar.");
  if (args[0] == "exportar") return Parser(Command::kExportar, args).Parse();
  if (args[0] == "importar") return Parser(Command::kImportar, args).Parse();
  throw UsageError("Orden desconocida '" + args[0] + "': use exportar o importar.");
}

}  // namespace batch
