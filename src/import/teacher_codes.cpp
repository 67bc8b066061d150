#include "import/teacher_codes.h"

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

constexpr std::size_t kCodeWidth = 4;  // PROFT.ABREV

std::string Initials(std::string_view nombre, std::string_view apellido1, std::string_view apellido2) {
  std::string base;
  for (std::string_view part : {nombre, apellido1, apellido2}) {
    if (!part.empty()) base += part.front();
  }
  return base;
}

}  // namespace

std::string TeacherCodes::Next(std::string_view nombre, std::string_view apellido1,
                               std::string_view apellido2) {
  const std::string base = Initials(nombre, apellido1, apellido2);
  if (!used_.Contains(base)) {
    used_.Add(base);
    return base;
  }
  unsigned& number = nextNumber_.try_emplace(base, 1).first->second;
  for (;; ++number) {
    const std::string digits = std::to_string(number);
    if (digits.size() > kCodeWidth) break;
    std::string code = base + digits;
    if (code.size() > kCodeWidth) code = base.substr(0, kCodeWidth - digits.size()) + digits;
    if (!used_.Contains(code)) {
      used_.Add(code);
      ++number;
      return code;
    }
  }
  const std::string fullName = std::string(nombre) + " " + std::string(apellido1) + " " + std::string(apellido2);
  throw UserError("No queda ningún código de cuatro caracteres libre para el profesor \"" +
                  text::Cp1252ToUtf8(fullName) + "\" (iniciales \"" + text::Cp1252ToUtf8(base) +
                  "\"): todos están dados a otros profesores. Revise en Séneca los nombres de los profesores "
                  "(puede haber alguno repetido) y vuelva a exportar el archivo.");
}

}  // namespace import
