#include "batch/course_levels.h"

#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string_view>
#include <unordered_map>

#include "text/cp1252.h"
#include "text/user_error.h"

namespace batch {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string Quoted(const std::filesystem::path& file) { return "'" + file.string() + "'"; }

std::string ReadWholeFile(const std::filesystem::path& csv) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(csv, ec)) {
    throw UserError("No existe el archivo de niveles " + Quoted(csv) + ".");
  }
  std::ifstream in(csv, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad() || !in.is_open()) {
    throw UserError("No se puede leer el archivo de niveles " + Quoted(csv) + ".");
  }
  return bytes;
}

// True iff the bytes are well-formed UTF-8 (no overlong forms, no surrogates).
bool IsUtf8(std::string_view s) {
  std::size_t i = 0;
  while (i < s.size()) {
    const auto c = static_cast<unsigned char>(s[i]);
    std::size_t extra;
    std::uint32_t min, cp;
    if (c < 0x80) { ++i; continue; }
    if ((c & 0xE0) == 0xC0) { extra = 1; min = 0x80; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; min = 0x800; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; min = 0x10000; cp = c & 0x07; }
    else return false;
    if (i + extra >= s.size()) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      const auto b = static_cast<unsigned char>(s[i + k]);
      if ((b & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (b & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += extra + 1;
  }
  return true;
}

std::vector<std::string> SplitFields(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const auto semicolon = line.find(';', start);
    fields.push_back(line.substr(start, semicolon - start));
    if (semicolon == std::string::npos) return fields;
    start = semicolon + 1;
  }
}

bool IsBlankLine(std::string_view line) { return line.find_first_not_of(" \t") == std::string_view::npos; }

}  // namespace

std::vector<CourseLevel> ReadCourseLevels(const std::filesystem::path& csv) {
  std::string bytes = ReadWholeFile(csv);
  if (std::string_view(bytes).substr(0, kByteOrderMark.size()) == kByteOrderMark) {
    bytes.erase(0, kByteOrderMark.size());
  }
  std::vector<CourseLevel> levels;
  std::istringstream lines(bytes);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string where = "El archivo de niveles " + Quoted(csv) + ", línea " + std::to_string(number);
    if (!IsUtf8(line)) {
      throw UserError(where + ", no está en UTF-8. Guárdelo como texto UTF-8.");
    }
    if (IsBlankLine(line)) continue;
    if (number == 1 && line.rfind("CLAVE", 0) == 0) continue;  // the header
    const auto fields = SplitFields(line);
    if (fields.size() != 3) {
      throw UserError(where + ", no tiene la forma CLAVE;NIVEL;CURSO (tres valores separados por ';'): '" +
                      line + "'.");
    }
    levels.push_back({text::Utf8ToCp1252(fields[0]), text::Utf8ToCp1252(fields[1]),
                      text::Utf8ToCp1252(fields[2]), number});
  }
  return levels;
}

std::vector<CourseLevel> ApplyCourseLevels(tables::TTable& wwTableCursosT,
                                           const std::vector<CourseLevel>& levels) {
  std::unordered_map<std::string, const CourseLevel*> byKey;
  for (const auto& level : levels) byKey[level.Clave] = &level;  // later lines win

  std::set<std::string> matched;
  for (wwTableCursosT.First(); !wwTableCursosT.Eof(); wwTableCursosT.Next()) {
    const auto found = byKey.find(wwTableCursosT.FieldByName("CLAVE").AsString());
    if (found == byKey.end()) continue;
    wwTableCursosT.Edit();
    wwTableCursosT.FieldByName("NIVEL").SetAsString(found->second->Nivel);
    wwTableCursosT.FieldByName("CURSO").SetAsString(found->second->Curso);
    wwTableCursosT.Post();
    matched.insert(found->first);
  }

  std::vector<CourseLevel> unmatched;
  for (const auto& level : levels) {
    if (!matched.count(level.Clave)) unmatched.push_back(level);
  }
  return unmatched;
}

}  // namespace batch
