// The tables the SOLUC fuzzer feeds an input to: SOLUC itself or one of the
// working tables the Horalia-to-Séneca run looks lessons up in, chosen by the
// input's first byte; the rest of the input is the table's file. The
// bad-input test replays the fuzzer's findings through this same choice.
#pragma once

#include <array>
#include <string_view>

namespace hardening {

inline constexpr std::array<std::string_view, 7> kFuzzedTables = {
    "SOLUC.DBF", "PROFT.DBF", "AULAT.DBF", "GRUPOST.DBF", "ASIGNOMT.DBF", "DIASHORAST.DBF", "CURSOACAD.DBF"};

// The file name the input goes to (the input is not empty).
inline std::string_view FuzzedTableOf(std::string_view input) {
  return kFuzzedTables[static_cast<unsigned char>(input.front()) % kFuzzedTables.size()];
}

}  // namespace hardening
