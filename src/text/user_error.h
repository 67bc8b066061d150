// The one kind of error the program shows to its user. Its text is Spanish,
// UTF-8, and says what failed (file, table, record, field) and, where it can,
// what to do. Thrown where a run must end; caught once at each front end's
// boundary (a message box, or stderr and an exit code).
#pragma once

#include <stdexcept>
#include <string>

struct UserError : std::runtime_error {
  using std::runtime_error::runtime_error;
};
