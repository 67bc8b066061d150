// A hold that makes a folder read-only for as long as it lives, also for root
// (who ignores permission bits): there the folder is made immutable with
// chattr, which the kernel enforces for everyone.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "common/run_program.h"

class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(std::filesystem::path folder) : folder_(std::move(folder)) {
    if (geteuid() == 0) {
      immutable_ = Chattr("+i");
      ok_ = immutable_;
    } else {
      ok_ = chmod(folder_.c_str(), 0555) == 0;
    }
  }
  ~ReadOnlyFolder() {
    if (immutable_) Chattr("-i");
    else if (ok_) chmod(folder_.c_str(), 0755);
  }
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  // False when the folder could not be made read-only on this machine.
  bool ok() const { return ok_; }

 private:
  bool Chattr(const char* flag) const {
    return RunProgram({"chattr", flag, folder_.string()}).exitCode == 0;
  }

  std::filesystem::path folder_;
  bool immutable_ = false;
  bool ok_ = false;
};

