#include "text/integer_text.h"

#include <charconv>
#include <string>

#include "text/cp1252.h"
#include "text/user_error.h"

namespace text {

std::optional<std::int32_t> ParseInt32(std::string_view digits) {
  bool negative = false;
  if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
    negative = digits.front() == '-';
    digits.remove_prefix(1);
  }
  // from_chars would take a second sign ("+-5"); only digits may follow.
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::int64_t magnitude = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), magnitude);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < INT32_MIN || value > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(value);
}

void ThrowNotAnInteger(std::string_view cp1252) {
  throw UserError("'" + Cp1252ToUtf8(cp1252) + "' no es un valor entero válido");
}

std::int32_t ToInt32(std::string_view cp1252) {
  const auto value = ParseInt32(cp1252);
  if (!value) ThrowNotAnInteger(cp1252);
  return *value;
}

}  // namespace text
