// Runs another program to its end, as a test needs it: arguments as given (no
// shell), input from /dev/null (so never a terminal), a chosen current
// directory, and everything it wrote to stdout and stderr captured.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace batch_test {

struct ProgramRun {
  int exitCode = -1;  // -1 when it did not exit normally (killed by a signal)
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const std::vector<std::string>& argv, const std::filesystem::path& workingDirectory = {});

}  // namespace batch_test
