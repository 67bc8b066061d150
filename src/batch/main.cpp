// transorvano-batch: the converter without windows, for scripts and servers.
#include <unistd.h>

#include <iostream>
#include <string>
#include <vector>

#include "batch/batch_tool.h"

int main(int argc, char** argv) {
  batch::Console console{std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1};
  return batch::RunBatchTool(std::vector<std::string>(argv + 1, argv + argc), console);
}
