#include "app/working_folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "text/file_io.h"

namespace app {
namespace {

std::string Quoted(const std::filesystem::path& folder) { return "\"" + folder.string() + "\""; }

[[noreturn]] void ThrowCannotOpen(const std::filesystem::path& folder, int error) {
  const std::string name = Quoted(folder);
  switch (error) {
    case ENOENT:
      throw UserError("La carpeta de trabajo " + name +
                      " no existe. Créela, o compruebe que es la carpeta de trabajo de Horalia, y "
                      "vuelva a intentarlo.");
    case ENOTDIR:
      throw UserError("La carpeta de trabajo " + name +
                      " no es una carpeta sino un archivo (o está dentro de un archivo). Compruebe que "
                      "es la carpeta de trabajo de Horalia y vuelva a intentarlo.");
    case EACCES:
    case EPERM:
      throw UserError("No se puede abrir la carpeta de trabajo " + name +
                      ": no tiene permiso para leerla. Pida permiso de lectura y escritura sobre "
                      "ella y vuelva a intentarlo.");
    default:
      throw UserError("No se puede abrir la carpeta de trabajo " + name + ": " + files::SystemErrorText(error) +
                      ". Compruebe la carpeta y vuelva a intentarlo.");
  }
}

}  // namespace

WorkingFolderLock::WorkingFolderLock(const std::filesystem::path& folder, Use use) {
  // O_CLOEXEC: a program the run starts must not inherit the hold.
  fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd_ < 0) ThrowCannotOpen(folder, errno);

  if (use == Use::kWriteTables && ::faccessat(fd_, ".", W_OK, AT_EACCESS) != 0) {
    ::close(fd_);
    fd_ = -1;
    throw UserError("La carpeta de trabajo " + Quoted(folder) +
                    " es de solo lectura: no se pueden escribir en ella las tablas de Horalia. Pida permiso de "
                    "escritura sobre la carpeta y vuelva a intentarlo; las tablas no se han tocado.");
  }

  while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    const int error = errno;
    if (error == EINTR) continue;
    ::close(fd_);
    fd_ = -1;
    if (error == EWOULDBLOCK)
      throw UserError("La carpeta de trabajo " + Quoted(folder) +
                      " está en uso por otra conversión. Espere a que termine y vuelva a "
                      "intentarlo; no se ha tocado nada.");
    throw UserError("No se puede reservar la carpeta de trabajo " + Quoted(folder) + ": " +
                    files::SystemErrorText(error) + ". Compruebe la carpeta y vuelva a intentarlo.");
  }
}

WorkingFolderLock::~WorkingFolderLock() {
  if (fd_ >= 0) ::close(fd_);  // closing the descriptor releases the lock
}

}  // namespace app
