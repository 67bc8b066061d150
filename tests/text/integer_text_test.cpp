#include "text/integer_text.h"

#include <gtest/gtest.h>

namespace {

TEST(ParseInt32, TakesASignAndDigitsOnly) {
  const struct {
    const char* text;
    std::optional<std::int32_t> value;
  } cases[] = {
      {"03", 3},         {"-5", -5},        {"+7", 7},         {"2147483647", 2147483647},
      {"-2147483648", INT32_MIN},           {"2147483648", std::nullopt},
      {"", std::nullopt}, {"-", std::nullopt}, {"+-5", std::nullopt}, {" 3", std::nullopt},
      {"08:30", std::nullopt}, {"1.5", std::nullopt}, {"99999999999999999999", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(text::ParseInt32(c.text), c.value) << "'" << c.text << "'";
}

}  // namespace
