// Arbitrary bytes as the exchange document of a Séneca-to-Horalia run: the
// load and all eight steps, into a working folder of the fuzzer's own. The
// last byte decides whether the assignment dialog fills the courses or takes
// the forced exit, so both ways through the run are fed.
#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "app/program_state.h"
#include "fuzz_support.h"
#include "hardening/filling_front_end.h"
#include "import/seneca_to_horalia.h"
#include "text/user_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::filesystem::path folder = fuzzing::Scratch() / "HTEMP";
  static const std::filesystem::path document = fuzzing::Scratch() / "ExportacionHorarios.xml";
  static const bool made = std::filesystem::create_directories(folder);
  (void)made;

  fuzzing::WriteFile(document, fuzzing::AsBytes(data, size));
  hardening::FillingFrontEnd ui(/*forcedExit=*/size > 0 && (data[size - 1] & 1));
  ProgramState state(folder, ui);
  state.ArchivoXML = document.string();
  try {
    import::RunSenecaToHoralia(state);
  } catch (const UserError&) {
    // A clear message for the user: what bad input is allowed to end in.
  }
  return 0;
}
