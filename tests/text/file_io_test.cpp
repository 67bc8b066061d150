#include "text/file_io.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "common/scratch_folder.h"

namespace {

// A process id that belonged to a process which has ended.
pid_t PidOfAnEndedProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  ::waitpid(child, nullptr, 0);
  return child;
}

TEST(ReplaceAtomically, RemovesWhatKilledWritersLeftOfTheSameFile) {
  ScratchFolder folder;
  const auto target = folder.Write("PROFT.DBF", "antes");
  const std::string dead = std::to_string(PidOfAnEndedProcess());
  const std::string alive = std::to_string(::getpid());
  folder.Write(".PROFT.DBF." + dead + ".0.tmp", "a medias");
  folder.Write(".PROFT.DBF." + alive + ".7.tmp", "otro escritor, vivo");
  folder.Write(".AULAT.DBF." + dead + ".0.tmp", "de otra tabla");
  folder.Write(".PROFT.DBF.notas.tmp", "no es de un escritor");

  files::ReplaceAtomically(target, "después");

  EXPECT_EQ(ReadBytes(target), "después");
  EXPECT_EQ(folder.Entries(),
            (std::vector<std::string>{".AULAT.DBF." + dead + ".0.tmp", ".PROFT.DBF." + alive + ".7.tmp",
                                      ".PROFT.DBF.notas.tmp", "PROFT.DBF"}));
}

TEST(ReplaceAtomically, AFolderThatDoesNotExistIsAnErrorAndCreatesNothing) {
  ScratchFolder folder;
  try {
    files::ReplaceAtomically(folder.path() / "falta" / "X.DBF", "x");
    FAIL() << "no error";
  } catch (const std::system_error& e) {
    EXPECT_EQ(e.code().value(), ENOENT);
    EXPECT_EQ(files::SystemErrorText(e.code().value()), "no existe");
  }
  EXPECT_TRUE(folder.Entries().empty());
}

}  // namespace
