// Two programs on one working folder at once. Two conversions never
// interleave: the second ends at once with a clear "in use" message and the
// tables are exactly those of one complete run. And a table that another
// program (Horalia) holds exclusively ends the run with a clear message and
// no output.
#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "common/other_process.h"
#include "hardening/hardening_fixture.h"
#include "tables/table.h"

namespace hardening {
namespace {

// True while some process holds an flock on the folder itself (read from
// /proc/locks, so that looking takes no lock).
bool FolderIsHeld(const fs::path& folder) {
  struct stat st {};
  if (stat(folder.c_str(), &st) != 0) return false;
  std::ifstream locks("/proc/locks");
  const std::string inode = ":" + std::to_string(st.st_ino) + " ";
  for (std::string line; std::getline(locks, line);)
    if (Contains(line, "FLOCK") && Contains(line, inode)) return true;
  return false;
}

#ifdef BATCH_EXE
// The tables of one complete run of the sample, alone.
Snapshot ReferenceTables(const fs::path& scratch) {
  const fs::path folder = scratch / "reference";
  fs::create_directories(folder);
  const Outcome o = Batch(ExportarArgs(folder), scratch);
  EXPECT_EQ(o.exitCode, 0) << o;
  return TakeSnapshot(folder);
}

void ExpectInUse(const Outcome& o, const fs::path& folder) {
  EXPECT_EQ(o.exitCode, 1) << o;
  EXPECT_TRUE(Contains(o.message, "está en uso por otra conversión")) << o;
  EXPECT_TRUE(Contains(o.message, folder.string())) << o;
}

// A terminal for a child's input: the test types into it when it chooses.
class Terminal {
 public:
  Terminal() : master_(posix_openpt(O_RDWR | O_NOCTTY)) {
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) throw std::runtime_error("no pty");
  }
  ~Terminal() { close(master_); }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;

  fs::path Device() const { return ptsname(master_); }
  void Type(const std::string& keys) { ASSERT_EQ(write(master_, keys.data(), keys.size()), ssize_t(keys.size())); }

 private:
  int master_;
};

TEST(TwoPrograms, ASecondExportarWhileOneRunsEndsAtOnceAndChangesNothing) {
  ScratchFolder scratch;
  const Snapshot reference = ReferenceTables(scratch.path());
  const fs::path folder = scratch.path() / "HTEMP";
  SeedGoodFolder(folder);
  fs::remove(folder / "SOLUC.DBF");

  // The first run is kept in the middle of its work: its levels file lacks
  // the first course, so it waits on its terminal for that course's NIVEL
  // and CURSO while it holds the folder, however slow or fast the machine.
  std::string levels = ReadBytes(kSampleLevels);
  const std::string firstCourse = "100310;ESO;1\n";
  ASSERT_TRUE(Contains(levels, firstCourse));
  levels.erase(levels.find(firstCourse), firstCourse.size());
  const fs::path partialLevels = scratch.path() / "NIVELES_SIN_PRIMERO.csv";
  WriteBytes(partialLevels, levels);
  Terminal terminal;
  Child first(kBatch, {"exportar", kSample.string(), "--niveles", partialLevels.string(), "--htemp", folder.string()},
              scratch.path(), terminal.Device());
  while (!FolderIsHeld(folder) && !first.Exited()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(FolderIsHeld(folder)) << "the first run ended without holding the folder: " << first.Wait();

  const Outcome second = Batch(ExportarArgs(folder), scratch.path());
  ExpectInUse(second, folder);
  const Outcome importar = Batch({"importar", kSample.string(), "--htemp", folder.string()}, scratch.path());
  ExpectInUse(importar, folder);

  terminal.Type("ESO\n1\n");
  const Outcome firstOutcome = first.Wait();
  EXPECT_EQ(firstOutcome.exitCode, 0) << firstOutcome;
  EXPECT_TRUE(TakeSnapshot(folder) == reference) << "the tables are not those of one complete run";
}

TEST(TwoPrograms, TwoExportarStartedTogetherLeaveTheTablesOfOneRun) {
  ScratchFolder scratch;
  const Snapshot reference = ReferenceTables(scratch.path());
  for (int round = 0; round < 5; ++round) {
    const fs::path folder = scratch.path() / ("HTEMP" + std::to_string(round));
    fs::create_directories(folder);
    Child a(kBatch, ExportarArgs(folder), scratch.path());
    Child b(kBatch, ExportarArgs(folder), scratch.path());
    const Outcome oa = a.Wait(), ob = b.Wait();

    // Either one ran while the other was refused, or (rarely) the second
    // started after the first had finished and both ran whole.
    const bool oneRefused = (oa.exitCode == 0 && ob.exitCode == 1) || (oa.exitCode == 1 && ob.exitCode == 0);
    EXPECT_TRUE(oneRefused || (oa.exitCode == 0 && ob.exitCode == 0)) << "round " << round << ": " << oa << " / " << ob;
    if (oa.exitCode == 1) ExpectInUse(oa, folder);
    if (ob.exitCode == 1) ExpectInUse(ob, folder);
    EXPECT_TRUE(TakeSnapshot(folder) == reference) << "round " << round << ": not the tables of one run";
  }
}
#endif

// Stands for Horalia holding a table open, exclusively, until killed.
std::unique_ptr<tables::TTable> HoldExclusively(const fs::path& folder, const char* table) {
  auto held = std::make_unique<tables::TTable>();
  held->SetDatabaseName(folder.string());
  held->SetTableName(table);
  held->SetExclusive(true);
  held->SetActive(true);
  return held;
}

TEST(TwoPrograms, ImportarWhileHoraliaHoldsSolucEndsClearlyWithoutOutput) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "HTEMP";
  SeedGoodFolder(folder);
  const fs::path chosen = scratch.path() / "ExportacionHorarios.xml";
  fs::copy_file(kSchool, chosen);
  const fs::path output = scratch.path() / "ResultadoOrvanoExportacionHorarios.xml";

  const HeldInAnotherProcess horalia([&] { return HoldExclusively(folder, "SOLUC"); });
  ASSERT_TRUE(horalia.holding());

  const Outcome core = ImportarCore(folder, chosen);
  EXPECT_EQ(core.exitCode, 1) << core;
  EXPECT_TRUE(Contains(core.message, "SOLUC")) << core;
  EXPECT_TRUE(Contains(core.message, "en uso por otro programa")) << core;
  EXPECT_FALSE(fs::exists(output));
#ifdef BATCH_EXE
  fs::copy_file(kTemplate, scratch.path() / "base.xml");
  const Outcome batch = Batch({"importar", chosen.string(), "--htemp", folder.string()}, scratch.path());
  EXPECT_EQ(batch.exitCode, 1) << batch;
  EXPECT_TRUE(Contains(batch.message, "en uso por otro programa")) << batch;
  EXPECT_FALSE(fs::exists(output));
#endif
}

}  // namespace
}  // namespace hardening
