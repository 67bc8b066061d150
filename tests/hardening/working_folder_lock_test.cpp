#include "app/working_folder_lock.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "common/other_process.h"
#include "common/read_only_folder.h"
#include "common/scratch_folder.h"

namespace fs = std::filesystem;
using app::WorkingFolderLock;

namespace {

std::string MessageOf(const fs::path& folder, WorkingFolderLock::Use use) {
  try {
    WorkingFolderLock lock(folder, use);
  } catch (const UserError& e) {
    return e.what();
  }
  return "";
}

TEST(WorkingFolderLock, RefusesAFolderItCannotUseNamingItAndSayingWhatToDo) {
  ScratchFolder scratch;
  const fs::path file = scratch.path() / "HTEMP";
  std::ofstream(file) << "no soy una carpeta";

  const struct {
    const char* name;
    fs::path folder;
    const char* says;
  } cases[] = {
      {"missing", scratch.path() / "NOEXISTE", "no existe"},
      {"a file", file, "no es una carpeta sino un archivo"},
      {"inside a file", file / "sub", "no es una carpeta"},
  };
  for (const auto& c : cases) {
    for (auto use : {WorkingFolderLock::Use::kReadTables, WorkingFolderLock::Use::kWriteTables}) {
      const std::string message = MessageOf(c.folder, use);
      EXPECT_NE(message.find(c.says), std::string::npos) << c.name << ": " << message;
      EXPECT_NE(message.find(c.folder.string()), std::string::npos) << c.name << ": " << message;
      EXPECT_NE(message.find("vuelva a intentarlo"), std::string::npos) << c.name << ": " << message;
    }
  }
}

TEST(WorkingFolderLock, ASecondHoldFailsAtOnceUntilTheFirstIsReleased) {
  ScratchFolder scratch;
  for (auto second : {WorkingFolderLock::Use::kReadTables, WorkingFolderLock::Use::kWriteTables}) {
    {
      WorkingFolderLock first(scratch.path(), WorkingFolderLock::Use::kWriteTables);
      const std::string message = MessageOf(scratch.path(), second);
      EXPECT_NE(message.find("está en uso por otra conversión"), std::string::npos) << message;
      EXPECT_NE(message.find(scratch.path().string()), std::string::npos) << message;
    }
    EXPECT_EQ(MessageOf(scratch.path(), second), "");
  }
}

TEST(WorkingFolderLock, HoldsAgainstAnotherProcessAndIsFreedWhenItDies) {
  ScratchFolder scratch;
  HeldInAnotherProcess other(
      [&] { return std::make_unique<WorkingFolderLock>(scratch.path(), WorkingFolderLock::Use::kWriteTables); });
  ASSERT_TRUE(other.holding());

  EXPECT_NE(MessageOf(scratch.path(), WorkingFolderLock::Use::kReadTables).find("en uso"), std::string::npos);

  other.Kill();
  EXPECT_EQ(MessageOf(scratch.path(), WorkingFolderLock::Use::kWriteTables), "");
}

TEST(WorkingFolderLock, LeavesNothingInTheFolder) {
  ScratchFolder scratch;
  { WorkingFolderLock lock(scratch.path(), WorkingFolderLock::Use::kWriteTables); }
  EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST(WorkingFolderLock, AReadOnlyFolderIsRefusedForWritingButServesReading) {
  ScratchFolder scratch;
  ReadOnlyFolder readOnly(scratch.path());
  if (!readOnly.ok()) GTEST_SKIP() << "no way to make a folder read-only here";

  const std::string message = MessageOf(scratch.path(), WorkingFolderLock::Use::kWriteTables);
  EXPECT_NE(message.find("es de solo lectura"), std::string::npos) << message;
  EXPECT_NE(message.find(scratch.path().string()), std::string::npos) << message;
  EXPECT_EQ(MessageOf(scratch.path(), WorkingFolderLock::Use::kReadTables), "");
}

}  // namespace
