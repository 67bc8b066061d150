#include "app/settings_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "text/user_error.h"

namespace {

namespace fs = std::filesystem;

std::string Set(std::string_view content, std::string_view value = "1") {
  return app::SetIniValue(content, "Transformadores", "Transformado", value);
}

TEST(SettingsFile, ChangesOnlyTheValueOfTheKey) {
  const struct {
    const char* name;
    const char* before;
    const char* after;
  } cases[] = {
      {"CRLF file, other sections and comments kept",
       "; Horalia\r\n[General]\r\nRuta=C:\\HZ40\r\n\r\n[Transformadores]\r\nTransformado=0\r\nOtro=7\r\n",
       "; Horalia\r\n[General]\r\nRuta=C:\\HZ40\r\n\r\n[Transformadores]\r\nTransformado=1\r\nOtro=7\r\n"},
      {"LF file stays LF", "[Transformadores]\nTransformado=-1\n", "[Transformadores]\nTransformado=1\n"},
      {"section and key found without regard to case, their spelling kept",
       "[TRANSFORMADORES]\r\ntransformado=0\r\n", "[TRANSFORMADORES]\r\ntransformado=1\r\n"},
      {"spacing around the = kept", "[Transformadores]\r\n  Transformado = 0\r\n",
       "[Transformadores]\r\n  Transformado = 1\r\n"},
      {"last line without ending stays so", "[Transformadores]\r\nTransformado=0",
       "[Transformadores]\r\nTransformado=1"},
      {"same key in another section untouched",
       "[Otros]\r\nTransformado=9\r\n[Transformadores]\r\nTransformado=0\r\n",
       "[Otros]\r\nTransformado=9\r\n[Transformadores]\r\nTransformado=1\r\n"},
      {"a commented-out key is not the key",
       "[Transformadores]\r\n;Transformado=5\r\nTransformado=0\r\n",
       "[Transformadores]\r\n;Transformado=5\r\nTransformado=1\r\n"},
      {"first of two sections of that name",
       "[Transformadores]\r\nTransformado=0\r\n[Transformadores]\r\nTransformado=0\r\n",
       "[Transformadores]\r\nTransformado=1\r\n[Transformadores]\r\nTransformado=0\r\n"},
      {"byte order mark before the first section",
       "\xEF\xBB\xBF[Transformadores]\r\nTransformado=0\r\n",
       "\xEF\xBB\xBF[Transformadores]\r\nTransformado=1\r\n"},
      {"missing key goes after the section's last line, before the blank one",
       "[Transformadores]\r\nOtro=7\r\n\r\n[Fin]\r\n",
       "[Transformadores]\r\nOtro=7\r\nTransformado=1\r\n\r\n[Fin]\r\n"},
      {"missing key in an empty last section without line ending", "[General]\nA=1\n[Transformadores]",
       "[General]\nA=1\n[Transformadores]\nTransformado=1\n"},
      {"missing section appended", "[General]\r\nA=1\r\n",
       "[General]\r\nA=1\r\n[Transformadores]\r\nTransformado=1\r\n"},
      {"missing section after a last line without ending", "[General]\nA=1",
       "[General]\nA=1\n[Transformadores]\nTransformado=1\n"},
      {"empty file gets Windows line endings", "", "[Transformadores]\r\nTransformado=1\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(Set(c.before), c.after) << c.name;
}

TEST(SettingsFile, WritesNegativeCodes) {
  EXPECT_EQ(Set("[Transformadores]\r\nTransformado=1\r\n", "-1"), "[Transformadores]\r\nTransformado=-1\r\n");
}

class SettingsFileOnDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("tos-ini-" + std::to_string(::getpid()) + "-" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  static std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  fs::path dir_;
};

TEST_F(SettingsFileOnDisk, CreatesAMissingFile) {
  const fs::path ini = dir_ / "Horalia.ini";
  app::WriteIniValue(ini, "Transformadores", "Transformado", "0");
  EXPECT_EQ(Read(ini), "[Transformadores]\r\nTransformado=0\r\n");
}

TEST_F(SettingsFileOnDisk, ReplacesTheFileLeavingNoTemporaryBehind) {
  const fs::path ini = dir_ / "Horalia.ini";
  std::ofstream(ini, std::ios::binary) << "[A]\r\nB=2\r\n[Transformadores]\r\nTransformado=0\r\n";
  fs::permissions(ini, fs::perms::owner_read | fs::perms::owner_write);
  app::WriteIniValue(ini, "Transformadores", "Transformado", "1");
  EXPECT_EQ(Read(ini), "[A]\r\nB=2\r\n[Transformadores]\r\nTransformado=1\r\n");
  EXPECT_EQ(fs::status(ini).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileOnDisk, FailureNamesThePath) {
  const fs::path ini = dir_ / "no-such-folder" / "Horalia.ini";
  try {
    app::WriteIniValue(ini, "Transformadores", "Transformado", "1");
    FAIL() << "no error";
  } catch (const UserError& e) {
    EXPECT_EQ(std::string(e.what()), "Unable to write to " + ini.string());
  }
}

TEST_F(SettingsFileOnDisk, AFolderInTheWayIsAFailure) {
  const fs::path ini = dir_ / "Horalia.ini";
  fs::create_directory(ini);
  EXPECT_THROW(app::WriteIniValue(ini, "Transformadores", "Transformado", "1"), UserError);
  EXPECT_TRUE(fs::is_directory(ini));
}

}  // namespace
