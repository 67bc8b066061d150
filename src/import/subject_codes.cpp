#include "import/subject_codes.h"

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

constexpr std::size_t kCodeWidth = 4;  // ASIGNOMT.COD
constexpr std::size_t kCutBase = 3;    // characters kept before the number

// Every four-character form a cut base and a number can give is reached by a
// number below this bound (the long forms keep only two leading and two
// trailing characters); past it the search can only repeat itself.
constexpr unsigned kLastNumber = 99999;

bool IsPlainCapital(char c) { return c >= 'A' && c <= 'Z'; }

// A numbered code too long for the field keeps its first two and last two
// characters: LEN10 becomes LE10, LE100 becomes LE00.
std::string Shorten(std::string code) {
  if (code.size() <= kCodeWidth) return code;
  return code.substr(0, 2) + code.substr(code.size() - 2);
}

}  // namespace

std::string SubjectCodes::Base(std::string_view name) {
  if (name.empty()) return {};
  std::string base(1, name[0]);
  for (std::size_t i = 1; i < name.size() && base.size() < kCodeWidth; ++i) {
    if (IsPlainCapital(name[i])) base += name[i];
  }
  if (base.size() == 1) return std::string(text::Left(name, kCodeWidth));
  return base;
}

std::string SubjectCodes::Next(std::string_view name) {
  std::string base = Base(name);
  if (!used_.Contains(base)) {
    used_.Add(base);
    return base;
  }
  const std::string cut(text::Left(base, kCutBase));
  unsigned& number = nextNumber_.try_emplace(cut, 1).first->second;
  for (; number <= kLastNumber; ++number) {
    std::string code = Shorten(cut + std::to_string(number));
    if (!used_.Contains(code)) {
      used_.Add(code);
      ++number;
      return code;
    }
  }
  throw UserError("No queda ningún código de cuatro caracteres libre para la materia \"" +
                  text::Cp1252ToUtf8(name) + "\": todos los códigos que empiezan por \"" +
                  text::Cp1252ToUtf8(cut) +
                  "\" ya están dados. Cambie el nombre de alguna materia en Séneca y vuelva a "
                  "exportar el archivo.");
}

}  // namespace import
