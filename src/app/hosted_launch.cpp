#include "app/hosted_launch.h"

#include "text/user_error.h"

namespace app {

std::string LowerAsciiLetters(std::string_view word) {
  std::string lowered(word);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lowered;
}

bool CommandWordIs(std::string_view word, std::string_view run) {
  return LowerAsciiLetters(word) == run;
}

std::uint32_t ParseHostHandle(std::string_view param) {
  const auto invalid = [&] {
    return UserError("'$" + std::string(param) + "' no es un valor entero válido");
  };
  if (param.empty()) throw invalid();
  std::uint64_t value = 0;
  for (const char c : param) {
    int digit;
    if (c >= '0' && c <= '9') digit = c - '0';
    else if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
    else if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
    else throw invalid();
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) throw invalid();
  }
  return static_cast<std::uint32_t>(value);
}

}  // namespace app
