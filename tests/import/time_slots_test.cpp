#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "import/seneca_to_horalia.h"
#include "import/step_fixture.h"
#include "text/user_error.h"

namespace import {
namespace {

using Values = ExchangeBuilder::Values;

class TramosTest : public StepTest {};

TEST_F(TramosTest, EverySlotOnEveryDayOfTheWeek) {
  Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", {{"778970", "1", "510", "570", "9001"},
                                                   {"778971", "2", "570", "630", "9001"},
                                                   {"778972", "Recreo", "630", "660", "9001"}}));
  TransformarTramos(state);
  const Rows rows = Read("DIASHORAST", {"DIHO", "DIA", "CODDIHO", "HORA", "TEXTOHOR", "TEXTODIA"});
  ASSERT_EQ(rows.size(), 21u);
  const char* const keys[] = {"11", "12", "13", "21", "22", "23", "31", "32", "33", "41", "42",
                              "43", "51", "52", "53", "61", "62", "63", "71", "72", "73"};
  for (std::size_t i = 0; i < rows.size(); ++i) EXPECT_EQ(rows[i][0], keys[i]) << i;
  EXPECT_EQ(rows[0], (std::vector<std::string>{"11", "1", "778970", "1", "1", ""}));
  EXPECT_EQ(rows[20], (std::vector<std::string>{"73", "7", "778972", "Recreo", "Recreo", ""}));
}

TEST_F(TramosTest, EleventhSlotOfTheSecondDay) {
  std::vector<Values> slots;
  for (int i = 1; i <= 11; ++i) slots.push_back({std::to_string(i), std::to_string(i), "800", "900"});
  Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", slots));
  TransformarTramos(state);
  const Rows rows = Read("DIASHORAST", {"DIHO", "CODDIHO"});
  ASSERT_EQ(rows.size(), 77u);
  EXPECT_EQ(rows[21], (std::vector<std::string>{"211", "11"}));
}

TEST_F(TramosTest, TimesPaddedAndSubtracted) {
  const struct {
    const char* name;
    Values slot;
    std::vector<std::string> expected;  // HORADESDE, HORAHASTA, MINUTOS
  } cases[] = {
      {"hhmm with three digits", {"1", "1", "900", "1000"}, {"0900", "1000", "100"}},
      {"minutes since midnight", {"1", "1", "510", "570"}, {"0510", "0570", "60"}},
      {"four digits stay", {"1", "1", "0830", "0930"}, {"0830", "0930", "100"}},
      {"empty start", {"1", "1", "", "45"}, {"0", "045", "45"}},
      {"one digit gets one zero only", {"1", "1", "5", "830"}, {"05", "0830", "825"}},
      {"end before start", {"1", "1", "0930", "0830"}, {"0930", "0830", "-100"}},
      {"longer than four untouched", {"1", "1", "12345", "12400"}, {"12345", "12400", "55"}},
      {"signed four characters", {"1", "1", "+100", "-100"}, {"+100", "-100", "-200"}},
      {"two dato: start and end read empty", {"1", "1"}, {"0", "0", "0"}},
      {"a single dato still counts", {"1"}, {"0", "0", "0"}},
  };
  for (const auto& c : cases) {
    Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", {c.slot}));
    TransformarTramos(state);
    const Rows rows = Read("DIASHORAST", {"HORADESDE", "HORAHASTA", "MINUTOS"});
    ASSERT_EQ(rows.size(), 7u) << c.name;
    EXPECT_EQ(rows[0], c.expected) << c.name;
  }
}

TEST_F(TramosTest, TimeThatIsNotAWholeNumberEndsTheRun) {
  const struct {
    const char* name;
    Values slot;
    const char* message;
  } cases[] = {
      {"clock time start", {"1", "1", "08:30", "0930"}, "'08:30' no es un valor entero válido"},
      {"both clock times: the end is read first", {"1", "1", "08:30", "09:30"}, "'09:30' no es un valor entero válido"},
      {"letters, padded", {"1", "1", "abc", "0930"}, "'0abc' no es un valor entero válido"},
      {"a short negative is padded before its sign", {"1", "1", "-5", "0930"}, "'0-5' no es un valor entero válido"},
      {"beyond 32 bits", {"1", "1", "0800", "99999999999"}, "'99999999999' no es un valor entero válido"},
      {"a sign alone", {"1", "1", "0800", "+"}, "'0+' no es un valor entero válido"},
  };
  for (const auto& c : cases) {
    Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", {c.slot}));
    try {
      TransformarTramos(state);
      ADD_FAILURE() << c.name << ": expected UserError";
    } catch (const UserError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.name;
    }
  }
}

TEST_F(TramosTest, RowsPostedBeforeTheFailureStay) {
  Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", {{"778970", "1", "510", "570"}, {"778971", "2", "08:30", "0930"}}));
  EXPECT_THROW(TransformarTramos(state), UserError);
  EXPECT_EQ(Read("DIASHORAST", {"DIHO", "MINUTOS"}), (Rows{{"11", "60"}}));
}

TEST_F(TramosTest, NoSlotsGiveAnEmptyTable) {
  Load(ExchangeBuilder().Group("TRAMOS_HORARIOS", {}));
  TransformarTramos(state);
  EXPECT_TRUE(Read("DIASHORAST", {"DIHO"}).empty());
}

}  // namespace
}  // namespace import
