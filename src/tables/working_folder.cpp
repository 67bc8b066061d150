#include "tables/working_folder.h"

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "text/cp1252.h"
#include "text/file_io.h"

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#endif

namespace tables {

namespace fs = std::filesystem;

namespace {

// The key under which two file names are the same name for Windows. Names on
// disk are UTF-8; a name that Windows-1252 can hold is folded letter by letter
// there, so "ñ" equals "Ñ" as it does for Horalia. Any other name (characters
// outside the code page, or bytes that are not UTF-8) only has its ASCII
// letters folded. The leading tag keeps the two kinds of key apart, so the
// code-page bytes of one name never pass for the UTF-8 bytes of another.
std::string NameKey(std::string_view utf8) {
  const std::string cp1252 = text::Utf8ToCp1252(utf8);
  if (text::Cp1252ToUtf8(cp1252) == utf8) return "L" + text::FoldCase(cp1252);
  std::string key = "U";
  for (const char c : utf8) key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

bool EntryExists(const fs::path& path) {
  std::error_code ec;
  return fs::exists(fs::symlink_status(path, ec));
}

// The names of the entries of `dir` that equal `name` without regard to
// letter case, in sorted order.
std::vector<std::string> MatchingNames(const fs::path& dir, std::string_view name) {
  std::vector<std::string> matches;
  if (name.empty()) return matches;
  const std::string wanted = NameKey(name);
  std::error_code ec;
  fs::directory_iterator it(dir.empty() ? fs::path(".") : dir, ec);
  for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string candidate = files::PathText(it->path().filename());
    if (NameKey(candidate) == wanted) matches.push_back(std::move(candidate));
  }
  std::sort(matches.begin(), matches.end());
  return matches;
}

// The entry of `dir` named `name` without regard to letter case: the exact
// spelling when it is there, else the first match in sorted order, so that a
// folder holding both "SOLUC.dbf" and "soluc.DBF" always yields the same one.
std::optional<fs::path> MatchEntry(const fs::path& dir, std::string_view name) {
  if (name.empty()) return std::nullopt;
  const fs::path exact = dir / files::PathFromText(name);
  if (EntryExists(exact)) return exact;
  const std::vector<std::string> matches = MatchingNames(dir, name);
  if (matches.empty()) return std::nullopt;
  return dir / files::PathFromText(matches.front());
}

std::vector<std::string_view> SplitComponents(std::string_view path) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    const std::size_t end = std::min(path.find_first_of("\\/", start), path.size());
    if (end > start) parts.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

#ifndef _WIN32
fs::path HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* user = getpwuid(getuid()); user != nullptr && user->pw_dir != nullptr) {
    return user->pw_dir;
  }
  return {};
}

fs::path WinePrefix() {
  if (const char* prefix = std::getenv("WINEPREFIX"); prefix != nullptr && *prefix != '\0') {
    return prefix;
  }
  return HomeFolder() / ".wine";
}

// The folder of this machine that Wine shows as drive `letter`.
fs::path DriveRoot(char letter) {
  const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
  const fs::path prefix = WinePrefix();
  const fs::path device = prefix / "dosdevices" / std::string{lower, ':'};
  if (EntryExists(device)) return device;
  return prefix / (std::string("drive_") + lower);
}
#endif

}  // namespace

fs::path ResolveWindowsPath(std::string_view windowsPath) {
#ifdef _WIN32
  return files::PathFromText(windowsPath);
#else
  const bool hasDrive = windowsPath.size() >= 2 && windowsPath[1] == ':' &&
                        std::isalpha(static_cast<unsigned char>(windowsPath[0]));
  // A path without a drive is taken relative to the current folder, except one
  // that starts at a root, which Wine places on drive C:.
  fs::path resolved;
  if (hasDrive) {
    resolved = DriveRoot(windowsPath[0]);
    windowsPath.remove_prefix(2);
  } else if (!windowsPath.empty() && (windowsPath[0] == '\\' || windowsPath[0] == '/')) {
    resolved = DriveRoot('c');
  }

  bool matching = true;  // false once a component is missing on disk
  for (const std::string_view part : SplitComponents(windowsPath)) {
    if (part == ".") continue;
    if (matching && part != "..") {
      if (std::optional<fs::path> found = MatchEntry(resolved, part)) {
        resolved = std::move(*found);
        continue;
      }
      matching = false;
    }
    resolved /= files::PathFromText(part);
  }
  return resolved;
#endif
}

fs::path FindInFolder(const fs::path& folder, std::string_view name) {
  if (std::optional<fs::path> found = MatchEntry(folder, name)) return *found;
  return folder / files::PathFromText(name);
}

std::vector<fs::path> AllSpellingsInFolder(const fs::path& folder, std::string_view name) {
  std::vector<fs::path> found;
  for (const std::string& match : MatchingNames(folder, name)) found.push_back(folder / files::PathFromText(match));
  return found;
}

fs::path TableFile(const fs::path& folder, std::string_view name) {
  if (!files::PathFromText(name).has_extension()) return FindInFolder(folder, std::string(name) + ".DBF");
  return FindInFolder(folder, name);
}

}  // namespace tables
