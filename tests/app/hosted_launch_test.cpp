#include "app/hosted_launch.h"

#include <gtest/gtest.h>

#include "text/user_error.h"

namespace {

TEST(HostedLaunch, CommandWordLowersOnlyAToZ) {
  const struct {
    const char* word;
    bool exportar;
  } cases[] = {
      {"exportar", true},  {"EXPORTAR", true},   {"ExPoRtAr", true}, {" exportar", false},
      {"exportar ", false}, {"export", false},   {"", false},        {"importar", false},
      {"EXPORTAR\xC3\x81", false},  // an accented letter is not lowered, nor ignored
  };
  for (const auto& c : cases) EXPECT_EQ(app::CommandWordIs(c.word, "exportar"), c.exportar) << c.word;
  EXPECT_EQ(app::LowerAsciiLetters("IMPORTAR \xC3\x81"), "importar \xC3\x81");
}

TEST(HostedLaunch, HandleIsHexadecimalOfAtMost32Bits) {
  const struct {
    const char* param;
    std::uint32_t handle;
  } cases[] = {
      {"0", 0},          {"1A2b", 0x1A2B},       {"a00004", 0xA00004},
      {"FFFFFFFF", 0xFFFFFFFFu}, {"00000000012", 0x12},  // leading zeros do not count as bits
  };
  for (const auto& c : cases) EXPECT_EQ(app::ParseHostHandle(c.param), c.handle) << c.param;
}

TEST(HostedLaunch, BadHandleNamesTheTextWithItsDollar) {
  const char* cases[] = {"12G4", "", " 12", "12 ", "-1", "+1", "$12", "0x12", "100000000", "1.0", "１２"};
  for (const char* param : cases) {
    try {
      app::ParseHostHandle(param);
      ADD_FAILURE() << "accepted '" << param << "'";
    } catch (const UserError& e) {
      EXPECT_EQ(std::string(e.what()), "'$" + std::string(param) + "' no es un valor entero válido") << param;
    }
  }
}

}  // namespace
