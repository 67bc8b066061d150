// Arbitrary bytes as a dBase table file: the decoder on its own, then the
// same bytes opened through TTable, walked, every field read in every way the
// runs read fields, filtered, one record edited and the table written back.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "fuzz_support.h"
#include "tables/dbf_format.h"
#include "tables/table.h"
#include "text/user_error.h"

namespace {

void ReadEveryField(tables::TTable& table) {
  for (const tables::TFieldDef& def : table.Fields()) {
    tables::TField field = table.FieldByName(def.Name);
    (void)field.AsString();
    (void)field.AsBoolean();
    (void)field.AsFloat();
    try {
      (void)field.AsInteger();
    } catch (const UserError&) {
      // Not a whole number: the message the run would show.
    }
  }
}

void DecodeAlone(std::string_view bytes) {
  try {
    const tables::dbf::TableImage image = tables::dbf::DecodeTable(bytes, "FUZZ");
    for (std::size_t i = 0; i < image.recordCount(); ++i) {
      const std::string_view record =
          std::string_view(image.records).substr(i * image.recordLength(), image.recordLength());
      for (const auto& field : image.fields) (void)tables::dbf::TrimStoredText(tables::dbf::FieldBytes(record, field));
    }
  } catch (const UserError&) {
  }
}

void OpenThroughTTable(std::string_view bytes) {
  static const std::filesystem::path folder = fuzzing::Scratch();
  fuzzing::WriteFile(folder / "FUZZ.DBF", bytes);
  tables::TTable table;
  table.SetDatabaseName(folder.string());
  table.SetTableName("FUZZ.DBF");
  table.SetExclusive(true);
  try {
    table.SetActive(true);
    for (table.First(); !table.Eof(); table.Next()) ReadEveryField(table);
    if (!table.Fields().empty()) {
      table.SetFilter("PROF= " + tables::QuotedStr("A'B"));
      try {
        table.SetFiltered(true);
        for (; !table.Eof(); table.Next()) ReadEveryField(table);
        table.SetFiltered(false);
      } catch (const UserError&) {
        // No PROF field.
      }
      table.First();
      table.Edit();
      table.FieldByName(table.Fields().front().Name).SetAsString("fuzz");
      table.Post();
    }
    table.SetActive(false);
  } catch (const UserError&) {
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes = fuzzing::AsBytes(data, size);
  DecodeAlone(bytes);
  OpenThroughTTable(bytes);
  return 0;
}
