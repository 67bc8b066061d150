// Document files read and written whole. Reading refuses what is not a plain
// file (a folder, a pipe) rather than blocking or failing obscurely; writing
// replaces the target at once, so that a failure at any point leaves the old
// file as it was and no temporary file behind. Errors are UserError in
// Spanish naming the file.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace exchange {

// The whole content of a regular file.
std::string ReadDocumentFile(const std::filesystem::path& file);

// Writes the bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. A new file gets the permissions the
// process would give any new file; a replaced file keeps its own.
void ReplaceDocumentFile(const std::filesystem::path& target, std::string_view bytes);

}  // namespace exchange
