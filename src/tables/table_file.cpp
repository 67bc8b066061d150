#include "tables/table_file.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "text/file_io.h"
#include "text/user_error.h"

namespace tables {

namespace fs = std::filesystem;

bool LockedFile::Acquire(const fs::path& path, bool exclusive, const std::string& table) {
  Release();
  // Another program may replace the file (write it anew and rename it over
  // the old one) between our open and our lock: then we would hold a lock
  // on a file no longer there. Retry until the locked file is the one named.
  for (int attempt = 0; attempt < 100; ++attempt) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
      if (errno == ENOENT) return false;
      throw UserError("No se puede abrir la tabla " + table + ": " + files::SystemErrorText(errno) + ".");
    }
    if (::flock(fd_, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
      const int error = errno;
      Release();
      if (error == EWOULDBLOCK) {
        throw UserError("La tabla " + table +
                        " está en uso por otro programa. Ciérrelo y vuelva a intentarlo.");
      }
      throw UserError("No se puede abrir la tabla " + table + ": " + files::SystemErrorText(error) + ".");
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
      throw UserError("No se puede leer la tabla " + table + ": " + files::SystemErrorText(errno) + ".");
    }
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
}

void LockedFile::Release() {
  if (fd_ >= 0) ::close(fd_);  // closing drops the lock
  fd_ = -1;
}

void ReplaceFile(const fs::path& path, std::string_view bytes, const std::string& table) {
  try {
    files::ReplaceAtomically(path, bytes);
  } catch (const std::system_error& e) {
    throw UserError("No se puede escribir la tabla " + table + ": " + files::SystemErrorText(e.code().value()) + ".");
  }
}

}  // namespace tables
