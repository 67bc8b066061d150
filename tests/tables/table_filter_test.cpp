#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/scratch_folder.h"
#include "tables/table.h"
#include "tables/table_fixture.h"

namespace tables {
namespace {

using table_fixture::ErrorOf;

class TableFilter : public ::testing::Test {
 protected:
  void SetUp() override {
    table_fixture::Create(folder_.path(), "SOLUC.DBF",
                          {{"PROF", TFieldType::ftString, 6}, {"HORA", TFieldType::ftInteger, 0}});
    table_fixture::Bind(soluc_, folder_.path(), "SOLUC", true);
    soluc_.Open();
    int hora = 0;
    for (const char* prof : {"ANA", "O'NE", "ana", "ANA", " ANA", "LUIS", "ANA"}) {
      soluc_.Append();
      soluc_.FieldByName("PROF").SetAsString(prof);
      soluc_.FieldByName("HORA").SetAsInteger(++hora);
      soluc_.Post();
    }
  }

  // The HORA of every record the filter lets through, walking from where
  // turning the filter on left the table.
  std::vector<int> Walk() {
    std::vector<int> horas;
    for (; !soluc_.Eof(); soluc_.Next()) horas.push_back(soluc_.FieldByName("HORA").AsInteger());
    return horas;
  }

  ScratchFolder folder_;
  TTable soluc_;
};

TEST_F(TableFilter, VisitsOnlyMatchingRecords) {
  const struct {
    const char* name;
    std::string expression;
    std::vector<int> horas;
  } cases[] = {
      {"plain", "PROF= " + QuotedStr("ANA"), {1, 4, 7}},
      {"letter case counts", "PROF= " + QuotedStr("ana"), {3}},
      {"leading blank counts", "PROF= " + QuotedStr(" ANA"), {5}},
      {"inner quote doubled", "PROF= " + QuotedStr("O'NE"), {2}},
      {"no blanks around =", "PROF='LUIS'", {6}},
      {"field name in lower case", "prof  =  'LUIS'  ", {6}},
      {"nobody", "PROF= " + QuotedStr("PEPE"), {}},
  };
  for (const auto& c : cases) {
    soluc_.SetFilter(c.expression);
    soluc_.SetFiltered(true);
    EXPECT_EQ(Walk(), c.horas) << c.name;
    EXPECT_EQ(soluc_.RecordCount(), c.horas.size()) << c.name;
    soluc_.First();
    EXPECT_EQ(Walk(), c.horas) << c.name << " (again from First)";
    soluc_.SetFiltered(false);
  }
  EXPECT_EQ(Walk().size(), 7u);
}

TEST_F(TableFilter, ChangingTheFilterWhileOnMovesToItsFirstRecord) {
  soluc_.SetFilter("PROF= 'ANA'");
  soluc_.SetFiltered(true);
  soluc_.Next();
  soluc_.SetFilter("PROF= 'LUIS'");
  EXPECT_EQ(soluc_.FieldByName("HORA").AsInteger(), 6);
}

TEST_F(TableFilter, OtherExpressionsAreRefused) {
  const char* const expressions[] = {
      "PROF= ANA",  "PROF> 'ANA'", "PROF= 'ANA' AND HORA=1", "PROF= 'A''", "PROF= \"ANA\"",
      "= 'ANA'",    "PROF",        "PROF= 'ANA'x",
  };
  for (const char* expression : expressions) {
    soluc_.SetFilter(expression);
    const std::string message = ErrorOf([&] { soluc_.SetFiltered(true); });
    EXPECT_NE(message.find("Filtro no admitido"), std::string::npos) << expression << ": " << message;
    EXPECT_NE(message.find(expression), std::string::npos) << expression << ": " << message;
    EXPECT_FALSE(soluc_.Filtered()) << expression;
  }
  soluc_.SetFilter("AULA= 'A1'");
  EXPECT_EQ(ErrorOf([&] { soluc_.SetFiltered(true); }), "No se encuentra el campo 'AULA'");
}

TEST_F(TableFilter, AppliesWhenOpening) {
  soluc_.Close();
  soluc_.SetFilter("PROF= 'ANA'");
  soluc_.SetFiltered(true);
  soluc_.Open();
  EXPECT_EQ(Walk(), (std::vector<int>{1, 4, 7}));
}

}  // namespace
}  // namespace tables

namespace tables {
namespace {

// The filtered records come from an index of the field's values; a record
// appended or edited after the filter was first applied must still count.
TEST_F(TableFilter, SeesRecordsStoredAfterTheFilterWasApplied) {
  soluc_.SetFilter("PROF= " + QuotedStr("LUIS"));
  soluc_.SetFiltered(true);
  EXPECT_EQ(Walk(), std::vector<int>({6}));

  soluc_.Append();
  soluc_.FieldByName("PROF").SetAsString("LUIS");
  soluc_.FieldByName("HORA").SetAsInteger(8);
  soluc_.Post();
  soluc_.SetFiltered(false);
  soluc_.First();  // HORA 1, ANA
  soluc_.Edit();
  soluc_.FieldByName("PROF").SetAsString("LUIS");
  soluc_.Post();

  soluc_.SetFiltered(true);
  EXPECT_EQ(Walk(), std::vector<int>({1, 6, 8}));
  soluc_.SetFilter("PROF= " + QuotedStr("ANA"));
  EXPECT_EQ(Walk(), std::vector<int>({4, 7}));
}

}  // namespace
}  // namespace tables
