// Horalia's settings file "Horalia.ini": the converter writes one key of it,
// the outcome code that Horalia reads after the converter has ended. The file
// belongs to Horalia, so the write changes that key's value and nothing else:
// every other byte (sections, keys, comments, blank lines, spacing, line
// endings, order) stays as it was, the way Windows' profile writing behaves.
//
// Sections and keys are found without regard to letter case (A to Z). A
// missing file, section or key is created; new lines take the file's line
// ending style (CRLF for a new file, as on Windows). The file is replaced
// atomically: a temporary file beside it, then a rename.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace app {

// Sets `key` in `[section]` of `content` (a whole INI file, as bytes) to
// `value` and returns the new content. Pure: no file access.
std::string SetIniValue(std::string_view content, std::string_view section,
                        std::string_view key, std::string_view value);

// Reads the file (a missing one is empty), sets the key and replaces the
// file. Throws UserError "Unable to write to <path>" on any failure; the file
// is then left as it was.
void WriteIniValue(const std::filesystem::path& file, std::string_view section,
                   std::string_view key, std::string_view value);

}  // namespace app
