#include "batch/run_program.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace batch_test {
namespace {

// Output goes to unnamed temporary files rather than pipes, so a chatty
// program can never block on a full pipe while we wait for it.
int TemporaryFile() {
  FILE* file = std::tmpfile();
  if (file == nullptr) throw std::runtime_error("tmpfile failed");
  return dup(fileno(file));  // the FILE* is leaked on purpose: closed at exit
}

std::string ReadAll(int fd) {
  std::string bytes;
  lseek(fd, 0, SEEK_SET);
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) bytes.append(buffer, static_cast<std::size_t>(n));
  close(fd);
  return bytes;
}

}  // namespace

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workingDirectory) {
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

}  // namespace batch_test
