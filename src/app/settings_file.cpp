#include "app/settings_file.h"


#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <vector>

#include "text/file_io.h"
#include "text/user_error.h"

namespace app {
namespace {

// One line of the file: its text and the ending that followed it ("\r\n",
// "\n", or nothing on a last line without one).
struct Line {
  std::string text;
  std::string ending;
};

std::vector<Line> SplitLines(std::string_view content) {
  std::vector<Line> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    const std::size_t nl = content.find('\n', start);
    if (nl == std::string_view::npos) {
      lines.push_back({std::string(content.substr(start)), ""});
      break;
    }
    std::size_t textEnd = nl;
    if (textEnd > start && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back({std::string(content.substr(start, textEnd - start)),
                     std::string(content.substr(textEnd, nl + 1 - textEnd))});
    start = nl + 1;
  }
  return lines;
}

// The file's own style, taken from its first line ending; a file without any
// gets Windows' CRLF.
std::string LineEndingOf(const std::vector<Line>& lines) {
  for (const Line& line : lines)
    if (!line.ending.empty()) return line.ending;
  return "\r\n";
}

std::string_view TrimBlanks(std::string_view s) {
  const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  return true;
}

// The text a line is parsed by: the first line may open with a UTF-8 byte
// order mark that belongs to no section or key.
std::string_view ParsedText(const std::vector<Line>& lines, std::size_t i) {
  std::string_view text = lines[i].text;
  if (i == 0 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
  return TrimBlanks(text);
}

// "[name]" gives name: the text between the "[" and the last "]".
std::optional<std::string_view> SectionName(std::string_view trimmed) {
  if (!trimmed.starts_with('[')) return std::nullopt;
  const std::size_t close = trimmed.rfind(']');
  if (close == std::string_view::npos || close == 0) return std::nullopt;
  return trimmed.substr(1, close - 1);
}

// A "key=value" line whose key is `key`: the position just after its "=".
std::optional<std::size_t> ValueStart(std::string_view text, std::string_view key) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty() || trimmed.front() == ';') return std::nullopt;
  const std::size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  if (!SameName(TrimBlanks(text.substr(0, eq)), key)) return std::nullopt;
  std::size_t at = eq + 1;  // the blanks after "=" are the file's layout, not the value
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
  return at;
}

std::string Join(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& line : lines) out += line.text + line.ending;
  return out;
}

[[noreturn]] void CannotWrite(const std::filesystem::path& file) {
  throw UserError("Unable to write to " + file.string());
}

std::string ReadWhole(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (status.type() == std::filesystem::file_type::not_found) return {};
  if (ec || status.type() != std::filesystem::file_type::regular) CannotWrite(file);
  try {
    std::ifstream in(file, std::ios::binary);
    if (!in) CannotWrite(file);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) CannotWrite(file);
    return content;
  } catch (const std::ios_base::failure&) {
    CannotWrite(file);
  }
}

}  // namespace

std::string SetIniValue(std::string_view content, std::string_view section,
                        std::string_view key, std::string_view value) {
  std::vector<Line> lines = SplitLines(content);
  const std::string nl = LineEndingOf(lines);
  const std::string newKeyLine = std::string(key) + "=" + std::string(value);

  // The first section of that name is the one Windows reads and writes.
  std::optional<std::size_t> header;
  for (std::size_t i = 0; i < lines.size() && !header; ++i) {
    const auto name = SectionName(ParsedText(lines, i));
    if (name && SameName(*name, section)) header = i;
  }

  if (!header) {
    if (!lines.empty() && lines.back().ending.empty()) lines.back().ending = nl;
    lines.push_back({"[" + std::string(section) + "]", nl});
    lines.push_back({newKeyLine, nl});
    return Join(lines);
  }

  std::size_t lastContent = *header;  // the new key goes after the section's last non-blank line
  for (std::size_t i = *header + 1; i < lines.size(); ++i) {
    const std::string_view text = ParsedText(lines, i);
    if (SectionName(text)) break;
    if (const auto at = ValueStart(lines[i].text, key)) {
      lines[i].text = lines[i].text.substr(0, *at) + std::string(value);
      return Join(lines);
    }
    if (!text.empty()) lastContent = i;
  }
  if (lines[lastContent].ending.empty()) lines[lastContent].ending = nl;
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(lastContent) + 1, {newKeyLine, nl});
  return Join(lines);
}

void WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value) {
  const std::string content = SetIniValue(ReadWhole(file), section, key, value);
  try {
    files::ReplaceAtomically(file, content);
  } catch (const std::system_error&) {
    CannotWrite(file);
  }
}

}  // namespace app
