// The engine against other processes: exclusive and shared opening, and a
// writer killed at any moment leaving only valid tables behind.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "tables/dbf_bytes.h"
#include "tables/dbf_format.h"
#include "common/other_process.h"
#include "common/scratch_folder.h"
#include "tables/table.h"
#include "tables/table_fixture.h"

namespace tables {
namespace {

namespace fs = std::filesystem;
using table_fixture::ErrorOf;

const std::vector<TFieldDef> kSchema = {
    {"ABREV", TFieldType::ftString, 4},
    {"NOMBRE", TFieldType::ftString, 40},
    {"DNI", TFieldType::ftInteger, 0},
    {"ESTAREA", TFieldType::ftBoolean, 0},
    {"HORAS", TFieldType::ftFloat, 0},
};

// A child process that runs `body` until killed (a writer stopped at an
// arbitrary moment).
class Child {
 public:
  template <typename Body>
  explicit Child(Body body) {
    pid_ = fork();
    if (pid_ == 0) {
      try {
        body();
      } catch (...) {
        _exit(2);
      }
      _exit(0);
    }
  }
  ~Child() { Kill(); }
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }
  bool Started() const { return pid_ > 0; }

 private:
  pid_t pid_ = -1;
};

TEST(TableLocks, ExclusiveOpeningShutsOutOtherProcesses) {
  const struct {
    const char* name;
    bool holderExclusive;
    bool openerExclusive;
    bool refused;
  } cases[] = {
      {"exclusive against exclusive", true, true, true},
      {"shared against exclusive holder", true, false, true},
      {"exclusive against shared holder", false, true, true},
      {"shared against shared", false, false, false},
  };
  for (const auto& c : cases) {
    ScratchFolder folder;
    table_fixture::Create(folder.path(), "CURSOST.DBF", kSchema);
    HeldInAnotherProcess holder([&] {
      auto table = std::make_unique<TTable>();
      table_fixture::Bind(*table, folder.path(), "CURSOST.DBF", c.holderExclusive);
      table->Open();
      return table;
    });
    ASSERT_TRUE(holder.holding()) << c.name;

    TTable table;
    table_fixture::Bind(table, folder.path(), "CursosT", c.openerExclusive);
    const std::string message = ErrorOf([&] { table.Open(); });
    if (c.refused) {
      EXPECT_EQ(message, "La tabla CursosT (" + (folder.path() / "CURSOST.DBF").string() +
                             ") está en uso por otro programa. Ciérrelo y vuelva a intentarlo.")
          << c.name;
      EXPECT_FALSE(table.Active()) << c.name;
    } else {
      EXPECT_EQ(message, "") << c.name;
    }
    // Replacing a table someone holds open is refused too.
    EXPECT_NE(ErrorOf([&] { table_fixture::Create(folder.path(), "CURSOST.DBF", kSchema); })
                  .find("está en uso por otro programa"),
              std::string::npos)
        << c.name;
    table.Close();
    holder.Kill();
    table.Open();  // free again once the holder is gone
  }
}

// Rebuilds three tables over and over, each with a different number of
// records, the way a run rebuilds its working tables.
[[noreturn]] void RebuildForever(const fs::path& folder) {
  for (int round = 0;; ++round) {
    const std::string name = "T" + std::to_string(round % 3) + ".DBF";
    table_fixture::Create(folder, name, kSchema);
    TTable table;
    table_fixture::Bind(table, folder, name, true);
    table.Open();
    for (int i = 0; i < 500 + 97 * (round % 7); ++i) {
      table.Append();
      table.FieldByName("ABREV").SetAsString("A" + std::to_string(i));
      table.FieldByName("NOMBRE").SetAsString("Nombre de prueba " + std::to_string(round));
      table.FieldByName("DNI").SetAsInteger(i);
      table.FieldByName("ESTAREA").SetAsBoolean(i % 2 == 0);
      table.FieldByName("HORAS").SetAsFloat(i / 4.0);
      table.Post();
    }
    table.Close();
  }
}

TEST(TableCrashSafety, KillingAWriterLeavesOnlyValidTables) {
  std::size_t tablesSeen = 0;
  // The last, long wait makes sure some table was written even where the
  // disk is slow to flush.
  for (const int delayMs : {1, 3, 8, 15, 25, 40, 60, 90, 130, 200, 1000}) {
    ScratchFolder folder;
    Child writer([&] { RebuildForever(folder.path()); });
    ASSERT_TRUE(writer.Started());
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    writer.Kill();

    for (const auto& entry : fs::directory_iterator(folder.path())) {
      const std::string name = entry.path().filename().string();
      if (entry.path().extension() != ".DBF") {
        EXPECT_EQ(name.front(), '.') << "only hidden temporary files besides tables: " << name;
        continue;
      }
      ++tablesSeen;
      const std::string bytes = dbf_bytes::ReadFile(entry.path());
      try {
        const dbf::TableImage image = dbf::DecodeTable(bytes, name);
        EXPECT_EQ(bytes.size(), image.fileHeader.headerLength +
                                    std::size_t{image.claimedRecords} * image.recordLength() + 1)
            << name << " after " << delayMs << " ms";
      } catch (const UserError& e) {
        ADD_FAILURE() << name << " after " << delayMs << " ms: " << e.what();
      }
    }
  }
  EXPECT_GT(tablesSeen, 0u) << "the writer never got as far as a table";
}

}  // namespace
}  // namespace tables
