// Arbitrary bytes as Horalia's SOLUC or, chosen by the first byte, as one of
// the working tables the Horalia-to-Séneca run looks lessons up in, through
// the whole run. The good tables come once from a Séneca-to-Horalia run on the
// small test school and are put back before every input.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "app/program_state.h"
#include "export/horalia_to_seneca.h"
#include "fuzz_support.h"
#include "hardening/filling_front_end.h"
#include "hardening/fuzzed_tables.h"
#include "import/seneca_to_horalia.h"
#include "text/user_error.h"

namespace fs = std::filesystem;

namespace {

const fs::path& GoodTables() {
  static const fs::path good = [] {
    const fs::path folder = fuzzing::Scratch() / "good";
    fs::create_directories(folder);
    hardening::FillingFrontEnd ui;
    ProgramState state(folder, ui);
    state.ArchivoXML = TEST_DATA_DIR "/hardening/small_school.xml";
    import::RunSenecaToHoralia(state);
    fs::copy_file(TEST_DATA_DIR "/hardening/SOLUC.DBF", folder / "SOLUC.DBF");
    return folder;
  }();
  return good;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const fs::path folder = fuzzing::Scratch() / "HTEMP";
  static const fs::path chosen = fuzzing::Scratch() / "ExportacionHorarios.xml";
  static const bool prepared = [] {
    fs::create_directories(folder);
    fuzzing::WriteFile(chosen, "<SERVICIO/>");
    return true;
  }();
  (void)prepared;

  fs::copy(GoodTables(), folder, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
  const std::string_view input = fuzzing::AsBytes(data, size);
  fuzzing::WriteFile(folder / hardening::FuzzedTableOf(input), input.substr(1));

  hardening::FillingFrontEnd ui;
  ProgramState state(folder, ui);
  state.ArchivoXML = chosen.string();
  try {
    exporting::RunHoraliaToSeneca(state, TEST_DATA_DIR "/hardening/base.xml");
  } catch (const UserError&) {
    // A clear message for the user: what bad input is allowed to end in.
  }
  return 0;
}
