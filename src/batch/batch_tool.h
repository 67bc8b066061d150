// transorvano-batch from its arguments to its exit code: the one place where
// the batch tool's errors are caught and shown, as the desktop program's
// default error report does with a message box.
#pragma once

#include <string>
#include <vector>

#include "batch/console.h"

namespace batch {

// `args` are the arguments after the program name.
int RunBatchTool(const std::vector<std::string>& args, Console& console);

}  // namespace batch
