#include "import/unit_codes.h"

#include "text/cp1252.h"
#include "text/user_error.h"

namespace import {
namespace {

constexpr unsigned char kFirstGroupLetter = 'A';
constexpr unsigned char kLastCharacter = 255;  // the last code of the 8-bit code page
constexpr std::size_t kKeptBeforeLetter = 3;

}  // namespace

std::string UnitCodes::Next(std::string_view nivel, std::string_view curso, std::string_view unidad) {
  std::string code = std::string(text::Left(nivel, 2)) + std::string(text::Left(curso, 1)) +
                     static_cast<char>(kFirstGroupLetter);
  if (used_.Contains(code)) {
    // A four-character code's own last letter is the first candidate, so the
    // second unit of ESO 1 goes from ES1A to ES1B; a shorter base grows a
    // letter instead (B1A, then B1AA).
    const std::string kept(text::Left(code, kKeptBeforeLetter));
    bool found = false;
    for (unsigned c = kFirstGroupLetter; c <= kLastCharacter && !found; ++c) {
      std::string candidate = kept + static_cast<char>(c);
      if (!used_.Contains(candidate)) {
        code = std::move(candidate);
        found = true;
      }
    }
    if (!found) {
      throw UserError("La unidad \"" + text::Cp1252ToUtf8(unidad) +
                      "\" no puede recibir código de grupo: tras \"" + text::Cp1252ToUtf8(kept) +
                      "\" ya se han usado todos los caracteres posibles. Reparta las unidades de "
                      "ese nivel y curso entre más cursos, o cambie el NIVEL o el CURSO de alguno.");
    }
  }
  used_.Add(code);
  return code;
}

}  // namespace import
