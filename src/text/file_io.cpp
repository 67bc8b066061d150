#include "text/file_io.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>

namespace files {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(int error) { throw std::system_error(error, std::generic_category()); }

void WriteFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      Fail(errno);
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

// The file being replaced keeps its permissions (Horalia's files may have
// been set up by hand); a new one gets what the process gives any new file.
mode_t ModeForReplacement(const fs::path& target) {
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
    return existing.st_mode & 07777;
  }
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// A temporary file that disappears unless it was renamed into place.
class TemporaryFile {
 public:
  explicit TemporaryFile(fs::path path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  void Create() {
    fd_ = ::open(path_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd_ < 0) Fail(errno);
  }
  int fd() const { return fd_; }
  // Closes now, so that a failure to close (a full disk on some file
  // systems) is seen before the rename.
  void Close() {
    const int result = ::close(fd_);
    fd_ = -1;
    if (result != 0) Fail(errno);
  }
  void RenameOver(const fs::path& target) {
    if (::rename(path_.c_str(), target.c_str()) != 0) Fail(errno);
    path_.clear();
  }

 private:
  fs::path path_;
  int fd_ = -1;
};

fs::path TemporaryNameFor(const fs::path& target) {
  static std::atomic<unsigned> counter{0};
  return FolderOf(target) / ("." + PathText(target.filename()) + "." + std::to_string(::getpid()) + "." +
                   std::to_string(counter++) + ".tmp");
}

// The temporary files of writers that were killed before their rename
// (".NAME.<pid>.<n>.tmp" of a process no longer running) are removed before
// the next write of the same file, so that nothing half-written stays in the
// folder for long. A live process's file is left alone: it may be writing.
void RemoveAbandonedTemporaries(const fs::path& target) {
  const std::string prefix = "." + PathText(target.filename()) + ".";
  std::error_code ec;
  for (fs::directory_iterator it(FolderOf(target), ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = PathText(it->path().filename());
    if (name.size() <= prefix.size() + 4 || name.compare(0, prefix.size(), prefix) != 0 ||
        name.compare(name.size() - 4, 4, ".tmp") != 0) {
      continue;
    }
    const std::string middle = name.substr(prefix.size(), name.size() - prefix.size() - 4);
    const std::size_t dot = middle.find('.');
    if (dot == 0 || dot == std::string::npos ||
        middle.find_first_not_of("0123456789.") != std::string::npos) {
      continue;
    }
    const long pid = std::strtol(middle.substr(0, dot).c_str(), nullptr, 10);
    if (pid > 0 && ::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) {
      std::error_code ignored;
      fs::remove(it->path(), ignored);
    }
  }
}

void SyncFolder(const fs::path& target) {
  if (const int fd = ::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); fd >= 0) {
    ::fsync(fd);  // the content is already in place; this only makes the rename durable
    ::close(fd);
  }
}

}  // namespace

void ReplaceAtomically(const fs::path& target, std::string_view bytes) {
  if (!target.has_filename()) Fail(EISDIR);
  const mode_t mode = ModeForReplacement(target);
  RemoveAbandonedTemporaries(target);
  TemporaryFile temporary(TemporaryNameFor(target));
  temporary.Create();
  WriteFully(temporary.fd(), bytes);
  if (::fchmod(temporary.fd(), mode) != 0) Fail(errno);
  if (::fsync(temporary.fd()) != 0) Fail(errno);
  temporary.Close();
  temporary.RenameOver(target);
  SyncFolder(target);
}

std::string SystemErrorText(int error) {
  switch (error) {
    case ENOENT: return "no existe";
    case EACCES:
    case EPERM: return "no hay permiso (la carpeta o el archivo es de solo lectura o de otro usuario)";
    case EROFS: return "el disco es de solo lectura";
    case ENOSPC:
    case EDQUOT: return "no queda espacio en el disco";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case EISDIR: return "es una carpeta, no un archivo";
    case ENAMETOOLONG: return "la ruta es demasiado larga";
    case EBUSY:
    case ETXTBSY: return "está en uso por otro programa";
    case EMFILE:
    case ENFILE: return "hay demasiados archivos abiertos";
    case EFBIG: return "el archivo supera el tamaño que admite el disco";
    case EIO: return "error de lectura o escritura en el disco";
    default: return "error del sistema " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

std::string PathText(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

fs::path PathFromText(std::string_view utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string Quoted(std::string_view utf8Name) { return "«" + std::string(utf8Name) + "»"; }

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

}  // namespace files
