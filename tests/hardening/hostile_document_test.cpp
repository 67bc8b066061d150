// Documents that try to make the converter read what it must not: external
// entities naming a local file or a network address, external DTDs, XInclude.
// None is followed: the secret never reaches a table, the output or a message,
// and nothing connects to the address. And no text of a document or a table
// ever names a file: what the runs write goes only where the working folder
// and the chosen file say.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <set>
#include <string>

#include "common/tripwire.h"
#include "hardening/hardening_fixture.h"

namespace hardening {
namespace {

constexpr const char* kSecret = "SECRETO-QUE-NO-DEBE-SALIR";

// The small school with a prologue and one value replaced by `value`.
std::string School(const std::string& prologue, const std::string& value) {
  std::string doc = ReadBytes(kSchool);
  const std::string declaration = "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n";
  doc.replace(0, declaration.size(), declaration + prologue);
  const std::string name = "Aula 1.4";
  doc.replace(doc.find(name), name.size(), value);
  const std::string year = ">2026<";
  doc.replace(doc.find(year), year.size(), ">" + value + "<");
  return doc;
}

std::string EverythingUnder(const fs::path& folder) {
  std::string all;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().filename() != "secret.txt" &&
        entry.path().filename() != "secret.dtd" && entry.path().filename() != "hostile.xml")
      all += ReadBytes(entry.path());
  return all;
}

TEST(HostileDocument, ExternalEntitiesDtdsAndXIncludeAreNeverFollowed) {
  ScratchFolder scratch;
  const fs::path secret = scratch.path() / "secret.txt";
  WriteBytes(secret, kSecret);
  const fs::path secretDtd = scratch.path() / "secret.dtd";
  WriteBytes(secretDtd, std::string("<!ENTITY s \"") + kSecret + "\">\n");
  const Tripwire tripwire;
  const std::string file = "file://" + secret.string();
  const std::string dtd = "file://" + secretDtd.string();

  const struct {
    const char* name;
    std::string prologue, value;
  } cases[] = {
      {"external entity, local file", "<!DOCTYPE SERVICIO [<!ENTITY s SYSTEM \"" + file + "\">]>\n", "&s;"},
      {"external entity, plain path", "<!DOCTYPE SERVICIO [<!ENTITY s SYSTEM \"" + secret.string() + "\">]>\n",
       "&s;"},
      {"external entity, network", "<!DOCTYPE SERVICIO [<!ENTITY s SYSTEM \"" + tripwire.Url("/s") + "\">]>\n",
       "&s;"},
      {"external DTD, local file", "<!DOCTYPE SERVICIO SYSTEM \"" + dtd + "\">\n", "&s;"},
      {"external DTD, network", "<!DOCTYPE SERVICIO SYSTEM \"" + tripwire.Url("/d.dtd") + "\">\n", "x"},
      {"parameter entity", "<!DOCTYPE SERVICIO [<!ENTITY % p SYSTEM \"" + dtd + "\"> %p;]>\n", "&s;"},
      {"parameter entity, network",
       "<!DOCTYPE SERVICIO [<!ENTITY % p SYSTEM \"" + tripwire.Url("/p.dtd") + "\"> %p;]>\n", "x"},
      {"XInclude of a text file", "",
       "<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"" + file + "\" parse=\"text\"/>"},
      {"XInclude over the network", "",
       "<xi:include xmlns:xi=\"http://www.w3.org/2001/XInclude\" href=\"" + tripwire.Url("/x") +
           "\" parse=\"text\"/>"},
  };
  for (const auto& c : cases) {
    const fs::path run = scratch.path() / "run";
    fs::remove_all(run);
    const fs::path folder = run / "HTEMP";
    SeedGoodFolder(folder);
    const fs::path document = run / "hostile.xml";
    WriteBytes(document, School(c.prologue, c.value));

    const Outcome exportar = ExportarCore(folder, document);
    fs::copy_file(kGoodSoluc, folder / "SOLUC.DBF", fs::copy_options::overwrite_existing);
    const Outcome importar = ImportarCore(folder, document);

    EXPECT_FALSE(Contains(EverythingUnder(run), kSecret)) << c.name << ": the secret was read";
    EXPECT_FALSE(Contains(exportar.message + importar.message, kSecret)) << c.name;
    EXPECT_EQ(InvalidTables(folder), "") << c.name;
  }
  EXPECT_FALSE(tripwire.Touched()) << "a document made the converter connect to the network";
}

// Every file under a folder, by path relative to it.
std::set<std::string> FilesUnder(const fs::path& folder) {
  std::set<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    files.insert(fs::relative(entry.path(), folder).string());
  return files;
}

// Teacher, room and course values that look like paths, through both runs:
// the tables go to the working folder, the output beside the chosen file, and
// nothing anywhere else.
TEST(HostileDocument, TextsThatLookLikePathsNameNoFile) {
  ScratchFolder scratch;
  const fs::path deep = scratch.path() / "a" / "b";
  const fs::path folder = deep / "HTEMP";
  fs::create_directories(folder);
  const fs::path chosen = deep / "ExportacionHorarios.xml";
  fs::copy_file(kBad / "teacher_code_path.xml", chosen);
  const std::set<std::string> before = FilesUnder(scratch.path());

  const Outcome exportar = ExportarCore(folder, chosen);
  ASSERT_EQ(exportar.exitCode, 0) << exportar;
  // Horalia's SOLUC naming the teacher by a code that is a path.
  WriteBytes(folder / "SOLUC.DBF", ReadBytes(kGoodSoluc));
  const Outcome importar = ImportarCore(folder, chosen);
  ASSERT_EQ(importar.exitCode, 0) << importar;

  std::set<std::string> expected = before;
  for (const std::string& table : kWorkingTables) expected.insert("a/b/HTEMP/" + table + ".DBF");
  expected.insert("a/b/HTEMP/SOLUC.DBF");
  expected.insert("a/b/ResultadoOrvanoExportacionHorarios.xml");
  EXPECT_EQ(FilesUnder(scratch.path()), expected);
}

}  // namespace
}  // namespace hardening
