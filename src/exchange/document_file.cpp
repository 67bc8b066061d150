#include "exchange/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include "text/file_io.h"
#include "text/user_error.h"

namespace exchange {
namespace {

[[noreturn]] void ThrowReadError(const std::filesystem::path& file, const std::string& reason) {
  throw UserError("No se puede leer el archivo " + files::Quoted(files::PathText(file)) + ": " + reason + ".");
}

[[noreturn]] void ThrowWriteError(const std::filesystem::path& file, const std::string& reason) {
  throw UserError("No se ha podido guardar el archivo " + files::Quoted(files::PathText(file)) + ": " + reason +
                  ". Si el archivo ya existía, queda como estaba.");
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

std::string ReadDocumentFile(const std::filesystem::path& file) {
  // Non-blocking, so that a named pipe given by mistake is refused below
  // instead of waiting for a writer forever.
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) ThrowReadError(file, files::SystemErrorText(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) ThrowReadError(file, files::SystemErrorText(errno));
  if (S_ISDIR(info.st_mode)) ThrowReadError(file, files::SystemErrorText(EISDIR));
  if (!S_ISREG(info.st_mode)) ThrowReadError(file, "no es un archivo normal");

  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowReadError(file, files::SystemErrorText(errno));
    }
    if (got == 0) break;
    content.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return content;
}

void ReplaceDocumentFile(const std::filesystem::path& target, std::string_view bytes) {
  if (!target.has_filename()) ThrowWriteError(target, "la ruta no nombra un archivo");
  try {
    files::ReplaceAtomically(target, bytes);
  } catch (const std::system_error& e) {
    ThrowWriteError(target, files::SystemErrorText(e.code().value()));
  }
}

}  // namespace exchange
