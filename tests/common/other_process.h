// Work done by another process, the way another copy of the converter or
// Horalia would do it: a lock this process holds is seen from there, and one
// held there is seen from here. The child never returns into the test
// program.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

// Runs `body`, which returns an exit code, in a child process and returns that
// code: 98 when an exception escaped `body`, -1 when the child did not exit
// normally.
template <typename Body>
int ExitCodeInAnotherProcess(Body body) {
  const pid_t pid = fork();
  if (pid == 0) {
    int code = 98;
    try {
      code = body();
    } catch (...) {
    }
    _exit(code);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Something another process holds until this object is destroyed or killed:
// the child calls `acquire` and keeps what it returns (a table opened, a
// lock taken) alive until it dies. holding() is false when `acquire` threw.
class HeldInAnotherProcess {
 public:
  template <typename Acquire>
  explicit HeldInAnotherProcess(Acquire acquire) {
    int ready[2];
    if (pipe(ready) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      try {
        [[maybe_unused]] const auto held = acquire();
        (void)!write(ready[1], "x", 1);
        pause();  // until killed
      } catch (...) {
      }
      _exit(1);
    }
    close(ready[1]);
    char byte = 0;
    holding_ = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
  }
  ~HeldInAnotherProcess() { Kill(); }
  HeldInAnotherProcess(const HeldInAnotherProcess&) = delete;
  HeldInAnotherProcess& operator=(const HeldInAnotherProcess&) = delete;

  bool holding() const { return holding_; }
  // Ends the holder as a crash would: the system drops what it held.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};
