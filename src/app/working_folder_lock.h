// A hold on the working folder for the whole of a run, so that two runs on
// one folder never interleave: the second (another copy of the converter, the
// batch tool, or a second window) fails at once with a clear message instead
// of rebuilding tables that the first is still writing or reading.
//
// The hold is an advisory lock (flock) on the folder itself, opened read-only:
// it creates no file in the folder, so Horalia finds nothing new there, and it
// is released by the system when the process ends, also when it is killed, so
// a crashed run never leaves the folder locked.
//
// Opening the folder also checks it up front, with messages that name it and
// say what to do: a folder that does not exist, a file where the folder should
// be, a folder that cannot be read, and (for a run that writes tables) one that
// cannot be written.
#pragma once

#include <filesystem>

#include "text/user_error.h"

namespace app {

class WorkingFolderLock {
 public:
  enum class Use {
    kReadTables,   // the Horalia-to-Séneca run only reads the working tables
    kWriteTables,  // the Séneca-to-Horalia run rebuilds them
  };

  // Takes the lock, or throws UserError naming the folder: it does not exist,
  // is a file, cannot be opened, cannot be written (kWriteTables), or is in
  // use by another run. Never waits.
  WorkingFolderLock(const std::filesystem::path& folder, Use use);
  // Releases the lock.
  ~WorkingFolderLock();

  WorkingFolderLock(const WorkingFolderLock&) = delete;
  WorkingFolderLock& operator=(const WorkingFolderLock&) = delete;

 private:
  int fd_ = -1;
};

}  // namespace app
