// The batch tool killed (SIGKILL: no handler, no cleanup) at many points of a
// run of each direction, on the sample school. After every kill each table in
// the working folder is absent or a sound dBase table that another program
// reads to its end, and the output document is the earlier one or the
// complete new one, never a part of it. A later run then works normally.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "hardening/hardening_fixture.h"

#ifdef BATCH_EXE
namespace hardening {
namespace {

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

// Runs `args` again and again, each run killed at a point of `run` (spread
// evenly from its start to its end), until kKills kills have landed inside a
// run. A run that completes before its kill shows the machine to be faster now
// than when it was timed: the points then shrink, so that the kills still
// spread over the run. `before` prepares each run; `after` checks what each
// left, killed or not. Returns the number of kills that landed inside a run.
int KillAtPointsOfTheRun(const std::vector<std::string>& args, const fs::path& cwd, Clock::duration run,
                         const std::function<void()>& before,
                         const std::function<void(const std::string& label, const Outcome&)>& after) {
  int killed = 0;
  for (int attempt = 0; killed < kKills && attempt < 5 * kKills; ++attempt) {
    before();
    Child child(kBatch, args, cwd);
    std::this_thread::sleep_for(run * killed / (kKills - 1));
    child.Kill();
    const Outcome o = child.Wait();
    if (o.exitCode == 128 + SIGKILL) {
      ++killed;
    } else {
      run = run * 3 / 4;
    }
    after("kill " + std::to_string(attempt) + " (" + std::to_string(o.exitCode) + ")", o);
  }
  return killed;
}

TEST(CrashSafety, KillingExportarLeavesOnlySoundTables) {
  ScratchFolder scratch;
  const fs::path folder = scratch.path() / "HTEMP";
  // The tables before: the small school's, so that old and new differ.
  SeedGoodFolder(folder);
  const std::string soluc = ReadBytes(folder / "SOLUC.DBF");
  fs::create_directories(scratch.path() / "timing");
  const Clock::duration run = TimeOf(ExportarArgs(scratch.path() / "timing"), scratch.path());

  const int killed = KillAtPointsOfTheRun(
      ExportarArgs(folder), scratch.path(), run, [] {},
      [&](const std::string& label, const Outcome& o) {
        EXPECT_TRUE(o.exitCode == 0 || o.exitCode == 128 + SIGKILL) << label << ": " << o;
        EXPECT_EQ(InvalidTables(folder), "") << label;
        EXPECT_EQ(ReadBytes(folder / "SOLUC.DBF"), soluc) << label << ": SOLUC is Horalia's, never written";
      });
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
  const std::string complete = ReadBytes(output);
  ASSERT_EQ(IllFormed(output), "");
  const std::string earlier = "<?xml version=\"1.0\"?>\n<SERVICIO>horario anterior</SERVICIO>\n";

  const int killed = KillAtPointsOfTheRun(
      args, scratch.path(), run, [&] { WriteBytes(output, earlier); },
      [&](const std::string& label, const Outcome&) {
        const std::string now = ReadBytes(output);
        EXPECT_TRUE(now == earlier || now == complete) << label << ": the output is a part of a document ("
                                                       << now.size() << " bytes): " << IllFormed(output);
        EXPECT_TRUE(Changed(tables, TakeSnapshot(folder)).empty()) << label << ": importar only reads the tables";
      });
  EXPECT_GE(killed, kKills / 2) << "most kills must fall inside a run";
}

}  // namespace
}  // namespace hardening
#endif
