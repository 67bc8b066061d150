// Hosted launch: Horalia starts the converter with two parameters, the run to
// start ("exportar" or "importar") and the handle of a window of its own in
// which the main window is to appear. These are the rules by which the two
// parameters are read; putting the window inside the host is HostEmbedding's.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace app {

// The command-line parameters after the program name, as given.
using Parameters = std::vector<std::string>;

// Exactly two parameters make a hosted launch; any other count is a plain one.
inline bool IsHostedLaunch(const Parameters& params) { return params.size() == 2; }

// The command word as it is compared: the 26 letters A to Z turned into lower
// case and nothing else changed (no trimming; accented letters untouched).
std::string LowerAsciiLetters(std::string_view word);

// True iff the command word names the run `run` ("exportar" or "importar").
bool CommandWordIs(std::string_view word, std::string_view run);

// The host window's handle: parameter 2 read as hexadecimal, as "$" followed
// by it converts to an integer. Digits 0-9 and letters A-F in either case
// only; no sign, blank or prefix; at most 32 bits (leading zeros allowed).
// Throws UserError "'$<param>' no es un valor entero válido" otherwise,
// also for an empty parameter.
std::uint32_t ParseHostHandle(std::string_view param);

}  // namespace app
