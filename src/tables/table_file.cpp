#include "tables/table_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "text/user_error.h"

namespace tables {

namespace fs = std::filesystem;

namespace {

void WriteFully(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category());
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace

std::string SystemError(int error) {
  switch (error) {
    case EACCES:
    case EPERM: return "no hay permiso (la carpeta o el archivo es de solo lectura o de otro usuario)";
    case EROFS: return "el disco es de solo lectura";
    case ENOSPC:
    case EDQUOT: return "no queda espacio en el disco";
    case ENOENT: return "no existe la carpeta";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case EISDIR: return "es una carpeta";
    case ENAMETOOLONG: return "la ruta es demasiado larga";
    case EMFILE:
    case ENFILE: return "hay demasiados archivos abiertos";
    case EIO: return "error de lectura o escritura en el disco";
    default: return "error del sistema " + std::to_string(error) + " (" + std::strerror(error) + ")";
  }
}

std::string PathText(const fs::path& path) {
  const std::u8string u8 = path.u8string();
  return std::string(u8.begin(), u8.end());
}

bool LockedFile::Acquire(const fs::path& path, bool exclusive, const std::string& table) {
  Release();
  // Another program may replace the file (write it anew and rename it over
  // the old one) between our open and our lock: then we would hold a lock
  // on a file no longer there. Retry until the locked file is the one named.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      if (errno == ENOENT) return false;
      throw UserError("No se puede abrir la tabla " + table + ": " + SystemError(errno) + ".");
    }
    if (::flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      const int error = errno;
      Release();
      if (error == EWOULDBLOCK) {
        throw UserError("La tabla " + table +
                        " está en uso por otro programa. Ciérrelo y vuelva a intentarlo.");
      }
      throw UserError("No se puede abrir la tabla " + table + ": " + SystemError(error) + ".");
    }
    struct stat held {}, named {};
    if (::fstat(fd_, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
        held.st_dev == named.st_dev && held.st_ino == named.st_ino) {
      if (!S_ISREG(held.st_mode)) {
        Release();
        throw UserError("La tabla " + table + " no es una tabla dBase: no es un archivo.");
      }
      return true;
    }
    Release();
  }
  throw UserError("No se puede abrir la tabla " + table +
                  ": otro programa la está reescribiendo continuamente.");
}

std::string LockedFile::ReadAll(const std::string& table) const {
  std::string bytes;
  char buffer[1 << 16];
  while (true) {
    const ssize_t got = ::read(fd_, buffer, sizeof buffer);
    if (got == 0) return bytes;
    if (got < 0) {
      if (errno == EINTR) continue;
      throw UserError("No se puede leer la tabla " + table + ": " + SystemError(errno) + ".");
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

void LockedFile::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  fd_ = -1;
}

void ReplaceFile(const fs::path& path, std::string_view bytes, const std::string& table) {
  static std::atomic<unsigned> counter{0};
  const fs::path temporary =
      path.parent_path() / ("." + PathText(path.filename()) + "." + std::to_string(::getpid()) + "." +
                            std::to_string(counter++) + ".tmp");
  int fd = -1;
  try {
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) throw std::system_error(errno, std::generic_category());
    WriteFully(fd, bytes);
    if (::fsync(fd) != 0) throw std::system_error(errno, std::generic_category());
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0) throw std::system_error(errno, std::generic_category());
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
      throw std::system_error(errno, std::generic_category());
    }
  } catch (const std::system_error& e) {
    if (fd >= 0) ::close(fd);
    ::unlink(temporary.c_str());
    throw UserError("No se puede escribir la tabla " + table + ": " + SystemError(e.code().value()) + ".");
  }
  // The rename reaches the disk with the folder.
  const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
  if (const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
}

}  // namespace tables
