// Where the batch tool talks to its user: the summary and "Proceso finalizado"
// on the output, messages and questions on the error stream, answers from the
// input when it is a terminal. All text is UTF-8; values from the tables are
// converted from Windows-1252 before they are shown.
#pragma once

#include <iosfwd>

namespace batch {

struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool interactive;  // the input is a terminal: missing values can be asked for
};

// Exit codes of transorvano-batch.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;       // "No existe archivo", any run error
inline constexpr int kExitUsage = 2;       // the command line is wrong
inline constexpr int kExitIncomplete = 3;  // courses left without level or number

}  // namespace batch
