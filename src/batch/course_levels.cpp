#include "batch/course_levels.h"

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
    if (!text::IsUtf8(line)) {
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
