// The batch tool killed (SIGKILL: no handler, no cleanup) at many points of a
// run of each direction, on the sample school. After every kill each table in
// the working folder is absent or a sound dBase table that another program
// reads to its end, and the output document is the earlier one or the
// complete new one, never a part of it. A later run then works normally.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>

#include "hardening/hardening_fixture.h"

#ifdef BATCH_EXE
namespace hardening {
namespace {

const fs::path kSample = fs::path(SAMPLES_DIR) / "ExportacionHorarios.xml";
const fs::path kSampleLevels = fs::path(SAMPLES_DIR) / "NIVELES.csv";
const fs::path kSampleSoluc = fs::path(SAMPLES_DIR) / "SOLUC.DBF";
const fs::path kSampleTemplate = fs::path(SAMPLES_DIR) / "base.xml";
constexpr int kKills = 20;

using Clock = std::chrono::steady_clock;

// How long an uninterrupted run takes here, so that the kills spread over it:
// the faster of two runs, since a run slowed by other work on the machine
// would spread the kills past the end of the runs that follow.
// (Only to choose when to kill; nothing is asserted about time.)
Clock::duration TimeOf(const std::vector<std::string>& args, const fs::path& cwd) {
  Clock::duration fastest = Clock::duration::max();
  for (int i = 0; i < 2; ++i) {
    const auto start = Clock::now();
    const Outcome o = Batch(args, cwd);
    EXPECT_EQ(o.exitCode, 0) << o;
    fastest = std::min(fastest, Clock::now() - start);
  }
  return fastest;
}

// The kill points: spread evenly from the start to a little past the end.
Clock::duration KillPoint(int i, Clock::duration run) { return run * 11 / 10 * i / (kKills - 1); }

std::vector<std::string> ExportarArgs(const fs::path& folder) {
  return {"exportar", kSample.string(), "--niveles", kSampleLevels.string(), "--htemp", folder.string()};
}

TEST(CrashSafety, KillingExportarLeavesOnlySoundTables) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "HTEMP";
  // The tables before: the small school's, so that old and new differ.
  SeedGoodFolder(folder);
  const std::string soluc = ReadFile(folder / "SOLUC.DBF");
  fs::create_directories(scratch.path() / "timing");
  const Clock::duration run = TimeOf(ExportarArgs(scratch.path() / "timing"), scratch.path());

  int killed = 0;
  for (int i = 0; i < kKills; ++i) {
    Child child(kBatch, ExportarArgs(folder), scratch.path());
    std::this_thread::sleep_for(KillPoint(i, run));
    child.Kill();
    const Outcome o = child.Wait();

    const std::string label = "kill " + std::to_string(i) + " (" + std::to_string(o.exitCode) + ")";
    EXPECT_TRUE(o.exitCode == 0 || o.exitCode == 128 + SIGKILL) << label << ": " << o;
    killed += o.exitCode == 128 + SIGKILL;
    EXPECT_EQ(InvalidTables(folder), "") << label;
    EXPECT_EQ(ReadFile(folder / "SOLUC.DBF"), soluc) << label << ": SOLUC is Horalia's, never written";
  }

  EXPECT_GE(killed, kKills / 2) << "most kills must fall inside a run";

  // Whatever the kills left, the next run starts clean, completes, and takes
  // away the temporary files the killed runs could not rename.
  const Outcome after = Batch(ExportarArgs(folder), scratch.path());
  EXPECT_EQ(after.exitCode, 0) << after;
  EXPECT_EQ(InvalidTables(folder), "");
  for (const auto& entry : fs::directory_iterator(folder)) {
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
  }
}

TEST(CrashSafety, KillingImportarLeavesTheEarlierOutputOrTheCompleteOne) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "HTEMP";
  fs::create_directories(folder);
  ASSERT_EQ(Batch(ExportarArgs(folder), scratch.path()).exitCode, 0);
  fs::copy_file(kSampleSoluc, folder / "SOLUC.DBF");
  fs::copy_file(kSampleTemplate, scratch.path() / "base.xml");
  const Snapshot tables = TakeSnapshot(folder);

  // A complete output to compare with, from an uninterrupted run.
  const fs::path chosen = scratch.path() / "seneca" / "ExportacionHorarios.xml";
  fs::create_directories(chosen.parent_path());
  fs::copy_file(kSample, chosen);
  const fs::path output = chosen.parent_path() / "ResultadoOrvanoExportacionHorarios.xml";
  const std::vector<std::string> args = {"importar", chosen.string(), "--htemp", folder.string()};
  const Clock::duration run = TimeOf(args, scratch.path());
  const std::string complete = ReadFile(output);
  ASSERT_EQ(IllFormed(output), "");
  const std::string earlier = "<?xml version=\"1.0\"?>\n<SERVICIO>horario anterior</SERVICIO>\n";

  int killed = 0;
  for (int i = 0; i < kKills; ++i) {
    WriteFile(output, earlier);
    Child child(kBatch, args, scratch.path());
    std::this_thread::sleep_for(KillPoint(i, run));
    child.Kill();
    const Outcome o = child.Wait();

    const std::string label = "kill " + std::to_string(i) + " (" + std::to_string(o.exitCode) + ")";
    killed += o.exitCode == 128 + SIGKILL;
    const std::string now = ReadFile(output);
    EXPECT_TRUE(now == earlier || now == complete) << label << ": the output is a part of a document ("
                                                   << now.size() << " bytes): " << IllFormed(output);
    EXPECT_TRUE(Changed(tables, TakeSnapshot(folder)).empty()) << label << ": importar only reads the tables";
  }
  EXPECT_GE(killed, kKills / 2) << "most kills must fall inside a run";
}

}  // namespace
}  // namespace hardening
#endif
