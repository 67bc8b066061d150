#include "batch/table_summary.h"

#include <iomanip>
#include <ostream>

#include "tables/table.h"
#include "tables/working_tables.h"

namespace batch {

void PrintWorkingTableCounts(const std::filesystem::path& folder, std::ostream& out) {
  for (const auto& schema : tables::WorkingTableSchemas()) {
    tables::TTable table;
    tables::BindWorkingTable(table, folder, schema.Name);
    table.SetActive(true);
    const std::size_t rows = table.RecordCount();
    table.SetActive(false);
    out << "  " << std::left << std::setw(11) << schema.Name << std::right << std::setw(7) << rows
        << (rows == 1 ? " registro\n" : " registros\n");
  }
}

}  // namespace batch
