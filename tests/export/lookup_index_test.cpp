// The lookup index answers as a walk of the table from its first record
// would: the first record with the very same text, or nothing.
#include <gtest/gtest.h>

#include "export/export_fixture.h"
#include "export/lookup_index.h"

namespace exporting::testing {
namespace {

TEST(LookupIndex, FirstRecordWithTheExactKey) {
  ScratchFolder dir;
  WriteWorkingTable(dir.path(), "AULAT",
                    {{{"ABREV", "AB1"}, {"DEPCENTRO", "first"}},
                     {{"ABREV", "AB1"}, {"DEPCENTRO", "second"}},
                     {{"ABREV", " AB1"}, {"DEPCENTRO", "leading"}},
                     {{"ABREV", "ab1"}, {"DEPCENTRO", "lower"}},
                     {{"ABREV", ""}, {"DEPCENTRO", "no code"}},
                     {{"ABREV", "\xc9"}, {"DEPCENTRO", "accented"}}});
  tables::TTable aulat;
  aulat.SetDatabaseName(dir.path().string());
  aulat.SetTableName("AULAT");
  aulat.SetActive(true);
  const LookupIndex index(aulat, "ABREV", {"DEPCENTRO", "NOMBRE"});

  const struct {
    const char* key;
    const char* found;  // nullptr: no record
  } cases[] = {
      {"AB1", "first"}, {" AB1", "leading"}, {"ab1", "lower"}, {"Ab1", nullptr},
      {"AB1 ", nullptr}, {"", "no code"},        {"\xc9", "accented"},   {"\xe9", nullptr},
  };
  for (const auto& c : cases) {
    const std::vector<std::string>* values = index.Find(c.key);
    if (!c.found) {
      EXPECT_EQ(values, nullptr) << "[" << c.key << "]";
      continue;
    }
    ASSERT_NE(values, nullptr) << "[" << c.key << "]";
    EXPECT_EQ(*values, (std::vector<std::string>{c.found, ""})) << "[" << c.key << "]";
  }
}

TEST(LookupIndex, FieldTheTableLacksIsAnError) {
  ScratchFolder dir;
  WriteWorkingTable(dir.path(), "AULAT", {});
  tables::TTable aulat;
  aulat.SetDatabaseName(dir.path().string());
  aulat.SetTableName("AULAT");
  aulat.SetActive(true);
  EXPECT_THROW(LookupIndex(aulat, "ABREV", {"UNIDAD"}), UserError);
}

}  // namespace
}  // namespace exporting::testing
