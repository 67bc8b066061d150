#include "exchange/document_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "text/user_error.h"

namespace exchange {
namespace {

std::string Quoted(const std::filesystem::path& file) { return "«" + file.string() + "»"; }

// The reason of a failed system call, in the user's words.
std::string DescribeError(int error) {
  switch (error) {
    case ENOENT: return "no existe";
    case EACCES:
    case EPERM: return "no tiene permiso de acceso";
    case EISDIR: return "es una carpeta, no un archivo";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case ENOSPC:
    case EDQUOT: return "no queda espacio en el disco";
    case EROFS: return "el disco es de solo lectura";
    case ENAMETOOLONG: return "la ruta es demasiado larga";
    case EBUSY:
    case ETXTBSY: return "está en uso por otro programa";
    default: return std::strerror(error);
  }
}

[[noreturn]] void ThrowReadError(const std::filesystem::path& file, const std::string& reason) {
  throw UserError("No se puede leer el archivo " + Quoted(file) + ": " + reason + ".");
}

[[noreturn]] void ThrowWriteError(const std::filesystem::path& file, const std::string& reason) {
  throw UserError("No se ha podido guardar el archivo " + Quoted(file) + ": " + reason +
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
  // Closes now, so that a failure to close is seen; returns errno or 0.
  int Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    return result == 0 ? 0 : errno;
  }

 private:
  int fd_;
};

// A temporary file that disappears unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }
  void Keep() { path_.clear(); }

 private:
  std::string path_;
};

// 0 on success, else errno.
int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return 0;
}

mode_t ModeForReplacement(const std::filesystem::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    return existing.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Makes the rename itself durable. The new content is already complete and in
// place, so a folder that cannot be synced costs nothing but that guarantee.
void SyncFolder(const std::filesystem::path& folder) {
  FileDescriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() >= 0) ::fsync(fd.get());
}

}  // namespace

std::string ReadDocumentFile(const std::filesystem::path& file) {
  // Non-blocking, so that a named pipe given by mistake is refused below
  // instead of waiting for a writer forever.
  FileDescriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) ThrowReadError(file, DescribeError(errno));
  struct stat info {};
  if (::fstat(fd.get(), &info) != 0) ThrowReadError(file, DescribeError(errno));
  if (S_ISDIR(info.st_mode)) ThrowReadError(file, DescribeError(EISDIR));
  if (!S_ISREG(info.st_mode)) ThrowReadError(file, "no es un archivo normal");

  std::string content;
  content.reserve(static_cast<std::size_t>(info.st_size));
  std::vector<char> chunk(1 << 16);
  for (;;) {
    const ssize_t got = ::read(fd.get(), chunk.data(), chunk.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      ThrowReadError(file, DescribeError(errno));
    }
    if (got == 0) break;
    content.append(chunk.data(), static_cast<std::size_t>(got));
  }
  return content;
}

void ReplaceDocumentFile(const std::filesystem::path& target, std::string_view bytes) {
  if (!target.has_filename()) ThrowWriteError(target, "la ruta no nombra un archivo");
  const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
  const mode_t mode = ModeForReplacement(target);

  std::string pattern = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
  FileDescriptor fd(::mkstemp(pattern.data()));
  if (fd.get() < 0) {
    ThrowWriteError(target, "no se puede crear un archivo en la carpeta «" + folder.string() + "» (" +
                                DescribeError(errno) + ")");
  }
  TemporaryFile temporary(pattern);

  int error = WriteAll(fd.get(), bytes);
  if (error == 0 && ::fchmod(fd.get(), mode) != 0) error = errno;
  if (error == 0 && ::fsync(fd.get()) != 0) error = errno;
  const int closeError = fd.Close();
  if (error == 0) error = closeError;
  if (error != 0) ThrowWriteError(target, DescribeError(error));

  if (::rename(temporary.path().c_str(), target.c_str()) != 0) ThrowWriteError(target, DescribeError(errno));
  temporary.Keep();
  SyncFolder(folder);
}

}  // namespace exchange
