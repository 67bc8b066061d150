// The converter's own ways of touching files, shared by the working tables,
// the exchange documents and Horalia's settings file: replacing a file as a
// whole, so that at every moment (even if the process is killed) it is either
// the old content or the new one, and saying in Spanish why the system
// refused an operation.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace files {

// Writes `bytes` to a hidden temporary file in the target's folder, flushes it
// to disk, gives it the permissions of the file it replaces (a new file gets
// the usual ones for the process) and renames it over the target; then the
// folder is flushed too, so the rename survives a power cut. On failure no
// temporary file remains, the target is as it was, and std::system_error
// carries the errno.
void ReplaceAtomically(const std::filesystem::path& target, std::string_view bytes);

// Why the system refused a file operation (an errno value), in Spanish words
// that fit after "No se puede ... :".
std::string SystemErrorText(int error);

// A path as UTF-8 text, for messages.
std::string PathText(const std::filesystem::path& path);

// The path named by UTF-8 text (a file name chosen by the user, a component
// of a Windows path): the inverse of PathText.
std::filesystem::path PathFromText(std::string_view utf8);

// A name shown in a message (a file's, an encoding's; UTF-8) between the
// guillemets the messages put around such names: «name».
std::string Quoted(std::string_view utf8Name);

// The folder a file is in; "." for a bare file name.
std::filesystem::path FolderOf(const std::filesystem::path& file);

}  // namespace files
