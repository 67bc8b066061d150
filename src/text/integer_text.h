// Whole numbers written as text, the way the converter has always converted
// them: an optional sign followed by decimal digits, within 32 bits, nothing
// else (no blanks, no separators). The table engine reads "03" in a text field
// this way, and the time slots convert Séneca's start and end times so.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace text {

// The number, or nothing when the text is not such a whole number.
std::optional<std::int32_t> ParseInt32(std::string_view digits);

// Throws UserError "'%s' no es un valor entero válido" with the text (Windows-1252).
[[noreturn]] void ThrowNotAnInteger(std::string_view cp1252);

// The number, or the error above.
std::int32_t ToInt32(std::string_view cp1252);

}  // namespace text
