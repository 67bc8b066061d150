// Runs another program to its end, as a test needs it: arguments as given (no
// shell, so no quoting of paths), input from /dev/null (so never a terminal),
// a chosen current directory, and everything it wrote to stdout and stderr
// captured. Used for the batch tool itself and for the independent checkers
// (python3-dbfread, xmllint).
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

struct ProgramRun {
  int exitCode = -1;  // -1 when it did not exit normally (killed by a signal)
  std::string out;
  std::string err;
};

namespace program_run_detail {

// Output goes to unnamed temporary files rather than pipes, so a chatty
// program can never block on a full pipe while we wait for it.
inline int TemporaryFile() {
  FILE* file = std::tmpfile();
  if (file == nullptr) throw std::runtime_error("tmpfile failed");
  return dup(fileno(file));  // the FILE* is leaked on purpose: closed at exit
}

inline std::string ReadAll(int fd) {
  std::string bytes;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return bytes;
}

}  // namespace program_run_detail

inline ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workingDirectory = {}) {
  using namespace program_run_detail;
  const int out = TemporaryFile();
  const int err = TemporaryFile();
  std::vector<char*> args;
  for (const auto& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);

  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("fork failed");
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY);
    dup2(in, STDIN_FILENO);
    dup2(out, STDOUT_FILENO);
    dup2(err, STDERR_FILENO);
    if (!workingDirectory.empty() && chdir(workingDirectory.c_str()) != 0) _exit(126);
    execvp(args[0], args.data());
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  ProgramRun run;
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadAll(out);
  run.err = ReadAll(err);
  return run;
}
