#include "tables/working_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "common/scratch_folder.h"

namespace tables {
namespace {

namespace fs = std::filesystem;

// Sets (or unsets) an environment variable for the life of the object.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    Set(value);
  }
  ~ScopedEnv() { Set(old_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  void Set(const std::optional<std::string>& value) {
    if (value) {
      setenv(name_, value->c_str(), 1);
    } else {
      unsetenv(name_);
    }
  }
  const char* name_;
  std::optional<std::string> old_;
};

void Touch(const fs::path& file) { std::ofstream(file) << "x"; }

// Every path under `root`, to show that resolving created nothing.
std::set<fs::path> Listing(const fs::path& root) {
  std::set<fs::path> paths;
  for (const auto& entry : fs::recursive_directory_iterator(root)) paths.insert(entry.path());
  return paths;
}

class WineDrives : public ::testing::Test {
 protected:
  ScratchFolder scratch_;
  fs::path prefix_ = scratch_.path() / "prefix";
  ScopedEnv wine_{"WINEPREFIX", prefix_.string()};
};

TEST_F(WineDrives, DosdevicesLinkIsPreferredOverDriveFolder) {
  fs::create_directories(prefix_ / "dosdevices");
  fs::create_directories(prefix_ / "drive_c" / "HTEMP");
  fs::create_directories(scratch_.path() / "elsewhere" / "htemp");
  fs::create_directory_symlink(scratch_.path() / "elsewhere", prefix_ / "dosdevices" / "c:");

  EXPECT_EQ(ResolveWindowsPath("C:\\HTEMP"), prefix_ / "dosdevices" / "c:" / "htemp");
}

TEST_F(WineDrives, DriveFolderServesWhenThereIsNoDosdevicesEntry) {
  fs::create_directories(prefix_ / "dosdevices");  // holds no d:
  fs::create_directories(prefix_ / "drive_d");

  EXPECT_EQ(ResolveWindowsPath("d:\\Datos"), prefix_ / "drive_d" / "Datos");
}

TEST_F(WineDrives, PrefixDefaultsToWineInHome) {
  ScopedEnv noPrefix("WINEPREFIX", std::nullopt);
  ScopedEnv home("HOME", scratch_.path().string());

  EXPECT_EQ(ResolveWindowsPath("C:\\HTEMP"), scratch_.path() / ".wine" / "drive_c" / "HTEMP");
}

// A drive C: laid out as a Horalia installation under Wine may leave it.
class WorkingFolderOnDisk : public WineDrives {
 protected:
  void SetUp() override {
    fs::create_directories(htemp_);
    fs::create_directories(drive_ / "DUP");
    fs::create_directories(drive_ / "Dup");
    fs::create_directories(drive_ / "Año");
    Touch(htemp_ / "CURSOST.DBF");
    Touch(htemp_ / "soluc.dbf");
  }
  fs::path drive_ = prefix_ / "drive_c";
  fs::path htemp_ = drive_ / "htemp";
};

TEST_F(WorkingFolderOnDisk, ComponentsAreMatchedWithoutRegardToCase) {
  const struct {
    const char* name;
    const char* windowsPath;
    fs::path expected;
  } cases[] = {
      {"folder in other case", "C:\\HTEMP", htemp_},
      {"lower-case spelling", "c:\\htemp", htemp_},
      {"file in other case", "C:\\HTEMP\\cursost.dbf", htemp_ / "CURSOST.DBF"},
      {"forward slashes and doubled separators", "C:/HTEMP//SOLUC.DBF", htemp_ / "soluc.dbf"},
      {"missing file keeps its spelling", "C:\\HTEMP\\CURSOACAD.DBF", htemp_ / "CURSOACAD.DBF"},
      {"missing folder keeps the rest as given", "c:\\htemp\\seneca\\Doc.XML",
       htemp_ / "seneca" / "Doc.XML"},
      {"exact spelling preferred", "C:\\Dup", drive_ / "Dup"},
      {"else first in sorted order", "C:\\dup", drive_ / "DUP"},
      {"accented letters fold too", "C:\\AÑO", drive_ / "Año"},
      {"accents still count", "C:\\ANO", drive_ / "ANO"},
      {"dot components", "C:\\.\\HTEMP\\..\\htemp", drive_ / "htemp" / ".." / "htemp"},
  };
  const std::set<fs::path> before = Listing(scratch_.path());
  for (const auto& c : cases) {
    EXPECT_EQ(ResolveWindowsPath(c.windowsPath), c.expected) << c.name;
  }
  EXPECT_EQ(Listing(scratch_.path()), before) << "resolving must create nothing";
}

TEST_F(WorkingFolderOnDisk, TablesAreFoundByBareOrFullName) {
  const struct {
    const char* name;
    fs::path folder;
    const char* table;
    fs::path expected;
  } cases[] = {
      {"component name", htemp_, "CursosT", htemp_ / "CURSOST.DBF"},
      {"name with extension", htemp_, "CURSOST.DBF", htemp_ / "CURSOST.DBF"},
      {"lower-case file", htemp_, "SOLUC", htemp_ / "soluc.dbf"},
      {"table not yet created", htemp_, "CURSOACAD", htemp_ / "CURSOACAD.DBF"},
      {"missing folder", drive_ / "nada", "CursosT", drive_ / "nada" / "CursosT.DBF"},
  };
  const std::set<fs::path> before = Listing(scratch_.path());
  for (const auto& c : cases) {
    EXPECT_EQ(TableFile(c.folder, c.table), c.expected) << c.name;
  }
  EXPECT_EQ(Listing(scratch_.path()), before) << "finding must create nothing";
}

TEST_F(WorkingFolderOnDisk, AllSpellingsOfANameAreListed) {
  Touch(htemp_ / "cursost.dbf");

  EXPECT_EQ(AllSpellingsInFolder(htemp_, "CursosT.dbf"),
            (std::vector<fs::path>{htemp_ / "CURSOST.DBF", htemp_ / "cursost.dbf"}));
  EXPECT_TRUE(AllSpellingsInFolder(htemp_, "ASIGT.DBF").empty());
  EXPECT_TRUE(AllSpellingsInFolder(drive_ / "nada", "ASIGT.DBF").empty());
}

}  // namespace
}  // namespace tables
