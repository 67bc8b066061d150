// The batch tool's summary of a Séneca-to-Horalia run: how many rows each of
// the eight working tables holds once the run has ended, read back from the
// tables themselves rather than counted along the way.
#pragma once

#include <filesystem>
#include <iosfwd>

namespace batch {

// One line per working table, in the order the run rebuilds them.
void PrintWorkingTableCounts(const std::filesystem::path& folder, std::ostream& out);

}  // namespace batch
