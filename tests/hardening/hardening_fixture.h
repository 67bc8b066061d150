// What the hardening tests share: the small test school, a working folder
// seeded with the good tables of a complete run, the two runs through the
// core (with a front end that fills the courses) and through the batch tool,
// snapshots of a folder to prove that nothing good was lost, and the
// independent checks of what a run leaves on disk (python3-dbfread for the
// tables, xmllint for the documents).
// Header-only: this folder's test programs are each built from a few files.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/program_state.h"
#include "export/horalia_to_seneca.h"
#include "hardening/filling_front_end.h"
#include "common/read_only_folder.h"
#include "common/run_program.h"
#include "common/scratch_folder.h"
#include "import/seneca_to_horalia.h"
#include "text/user_error.h"

namespace hardening {

namespace fs = std::filesystem;

inline const fs::path kData = TEST_DATA_DIR;
inline const fs::path kBad = kData / "bad";
inline const fs::path kSchool = kData / "hardening" / "small_school.xml";
inline const fs::path kSchoolLevels = kData / "hardening" / "small_school_niveles.csv";
inline const fs::path kTemplate = kData / "hardening" / "base.xml";
inline const fs::path kGoodSoluc = kData / "hardening" / "SOLUC.DBF";
// The bundled sample school, larger than the small one: runs long enough to
// be caught in the middle.
inline const fs::path kSample = fs::path(SAMPLES_DIR) / "ExportacionHorarios.xml";
inline const fs::path kSampleLevels = fs::path(SAMPLES_DIR) / "NIVELES.csv";

// The eight tables the Séneca-to-Horalia run rebuilds.
inline const std::vector<std::string> kWorkingTables = {"CURSOACAD", "CURSOST", "ASIGNOMT", "PROFT",
                                                        "AULAT",     "GRUPOST", "ASIGT",    "DIASHORAST"};

// How a run ended: exit code (0 done, 1 error; the batch tool's own codes
// otherwise) and what it said on stderr or in its UserError.
struct Outcome {
  int exitCode = -1;
  std::string message;
  std::string out;  // the batch tool's stdout
};

inline std::ostream& operator<<(std::ostream& os, const Outcome& o) {
  return os << "exit " << o.exitCode << ": " << o.message;
}

// The Séneca-to-Horalia run through the core, as a front end drives it.
inline Outcome ExportarCore(const fs::path& folder, const fs::path& document, bool forcedExit = false) {
  FillingFrontEnd ui(forcedExit);
  ProgramState state(folder, ui);
  state.ArchivoXML = document.string();
  try {
    import::RunSenecaToHoralia(state);
  } catch (const UserError& e) {
    EXPECT_FALSE(ui.hourglass) << "the hourglass stays after an error";
    return {1, e.what(), ""};
  }
  return {0, "", ""};
}

// The Horalia-to-Séneca run through the core; the output goes beside `chosen`.
inline Outcome ImportarCore(const fs::path& folder, const fs::path& chosen, const fs::path& base = kTemplate) {
  FillingFrontEnd ui;
  ProgramState state(folder, ui);
  state.ArchivoXML = chosen.string();
  try {
    exporting::RunHoraliaToSeneca(state, base);
  } catch (const UserError& e) {
    EXPECT_FALSE(ui.hourglass) << "the hourglass stays after an error";
    return {1, e.what(), ""};
  }
  return {0, "", ""};
}

// A process started with its output in files, for the batch tool.
class Child {
 public:
  // Runs `program args...` in `cwd`; stdout and stderr go to files there,
  // the input comes from `input` (a terminal, when a test answers questions).
  Child(const fs::path& program, const std::vector<std::string>& args, const fs::path& cwd,
        const fs::path& input = "/dev/null")
      : outFile_(cwd / (".out." + std::to_string(counter_))), errFile_(cwd / (".err." + std::to_string(counter_))) {
    ++counter_;
    pid_ = fork();
    if (pid_ == 0) {
      if (chdir(cwd.c_str()) != 0) _exit(126);
      const int out = open(outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int err = open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      dup2(out, 1);
      dup2(err, 2);
      const int in = open(input.c_str(), O_RDWR | O_NOCTTY);
      dup2(in, 0);
      std::vector<std::string> argv{program.string()};
      argv.insert(argv.end(), args.begin(), args.end());
      std::vector<char*> raw;
      for (auto& a : argv) raw.push_back(a.data());
      raw.push_back(nullptr);
      execv(raw[0], raw.data());
      _exit(127);
    }
  }
  ~Child() {
    if (pid_ > 0 && !waited_) {
      kill(pid_, SIGKILL);
      Wait();
    }
    std::error_code ignored;
    fs::remove(outFile_, ignored);
    fs::remove(errFile_, ignored);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  pid_t pid() const { return pid_; }
  void Kill() { kill(pid_, SIGKILL); }
  // Waits for the end; exit code, or 128 + signal when killed.
  Outcome Wait() {
    if (!waited_) waitpid(pid_, &lastStatus_, 0);
    waited_ = true;
    const int status = lastStatus_;
    Outcome o;
    o.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    o.message = ReadBytes(errFile_);
    o.out = ReadBytes(outFile_);
    return o;
  }
  // True once the process has ended (without reaping the result twice).
  bool Exited() {
    if (waited_) return true;
    int status = 0;
    const pid_t got = waitpid(pid_, &status, WNOHANG);
    if (got == 0) return false;
    waited_ = true;
    lastStatus_ = status;
    return true;
  }

 private:
  static inline int counter_ = 0;
  fs::path outFile_, errFile_;
  pid_t pid_ = -1;
  bool waited_ = false;
  int lastStatus_ = 0;
};

#ifdef BATCH_EXE
inline const fs::path kBatch = BATCH_EXE;

// The batch tool's exportar of the sample school into `folder`.
inline std::vector<std::string> ExportarArgs(const fs::path& folder) {
  return {"exportar", kSample.string(), "--niveles", kSampleLevels.string(), "--htemp", folder.string()};
}

// The batch tool run to its end in `cwd` (where it finds base.xml).
inline Outcome Batch(const std::vector<std::string>& args, const fs::path& cwd) {
  Child child(kBatch, args, cwd);
  return child.Wait();
}
#endif

// Every file of a folder (not in subfolders) with its bytes.
using Snapshot = std::map<std::string, std::string>;

inline Snapshot TakeSnapshot(const fs::path& folder) {
  Snapshot files;
  for (const auto& entry : fs::directory_iterator(folder))
    if (entry.is_regular_file()) files[entry.path().filename().string()] = ReadBytes(entry.path());
  return files;
}

// Names of the files that differ between two snapshots (changed, new, gone).
inline std::vector<std::string> Changed(const Snapshot& before, const Snapshot& after) {
  std::vector<std::string> names;
  for (const auto& [name, bytes] : before) {
    auto it = after.find(name);
    if (it == after.end() || it->second != bytes) names.push_back(name);
  }
  for (const auto& [name, bytes] : after)
    if (!before.count(name)) names.push_back(name);
  return names;
}

// A working folder holding the good tables of a complete run on the small
// school and Horalia's SOLUC for it. Made once, copied for each test.
inline void SeedGoodFolder(const fs::path& folder) {
  static ScratchFolder cache;  // removed when the test program ends
  static const bool made = [] {
    const Outcome o = ExportarCore(cache.path(), kSchool);
    if (o.exitCode != 0) ADD_FAILURE() << "the small school does not convert: " << o;
    fs::copy_file(kGoodSoluc, cache.path() / "SOLUC.DBF");
    return true;
  }();
  (void)made;
  fs::create_directories(folder);
  fs::copy(cache.path(), folder, fs::copy_options::overwrite_existing | fs::copy_options::recursive);
}

// Empty when every .DBF file of the folder (any letter case) is a complete
// dBase table that python3-dbfread reads to its end, with exactly as many
// records as its header claims; else what is wrong with which.
inline std::string InvalidTables(const fs::path& folder) {
  const ProgramRun run = RunProgram({PYTHON_EXE, TEST_SOURCE_DIR "/check_tables.py", folder.string()});
  return run.exitCode == 0 ? "" : run.out + run.err;
}

// Empty when xmllint finds the file well-formed; else its complaint.
inline std::string IllFormed(const fs::path& document) {
  const ProgramRun run = RunProgram({"xmllint", "--noout", "--nonet", document.string()});
  return run.exitCode == 0 ? "" : run.err + run.out;
}

inline bool Contains(const std::string& haystack, const std::string& needle) {
  return haystack.find(needle) != std::string::npos;
}

}  // namespace hardening
