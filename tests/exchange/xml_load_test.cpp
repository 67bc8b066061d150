// Loading exchange documents: encodings, documents that are not well-formed,
// files that cannot be read, and documents that try to reach outside
// themselves or to expand without measure.
#include <fcntl.h>
#include <unistd.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "exchange/exchange_document.h"
#include "common/scratch_folder.h"
#include "common/tripwire.h"
#include "exchange/xml_document.h"

namespace exchange {
namespace {

using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::Not;

std::string LoadErrorOf(const std::filesystem::path& file) {
  try {
    XmlDocument::Load(file);
  } catch (const UserError& e) {
    return e.what();
  }
  return "(loaded)";
}

std::string ParseErrorOf(std::string_view bytes, std::string_view name = "prueba.xml") {
  try {
    XmlDocument::Parse(bytes, name);
  } catch (const UserError& e) {
    return e.what();
  }
  return "(loaded)";
}

TEST(XmlLoad, TheThreeEncodingsGiveTheSameWindows1252Bytes) {
  const char* files[] = {"encoding_latin1.xml", "encoding_utf8.xml", "encoding_cp1252.xml"};
  for (const char* name : files) {
    const XmlDocument doc = XmlDocument::Load(std::string(TEST_DATA_DIR) + "/" + name);
    const std::vector<XmlNode> records = SelectRecords(doc, "MATERIAS");
    ASSERT_EQ(records.size(), 1u) << name;
    EXPECT_EQ(Record(records[0]).Position(2), "Ingl\xE9s \x96 1\xBA" "A \xD1" "and\xFA \x80") << name;
  }
}

TEST(XmlLoad, Latin1DeclaredWithWindows1252BytesKeepsThem) {
  const XmlDocument doc = XmlDocument::Parse(
      "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO>\x93" "Aula\x94 \x80</SERVICIO>", "mal.xml");
  EXPECT_EQ(doc.DocumentElement().Text(), "\x93" "Aula\x94 \x80");
}

TEST(XmlLoad, UnknownDeclaredEncodingIsNamed) {
  const std::string message =
      ParseErrorOf("<?xml version=\"1.0\" encoding=\"klingon-8\"?>\n<SERVICIO/>", "horarios.xml");
  EXPECT_THAT(message, AllOf(HasSubstr("«horarios.xml»"), HasSubstr("codificación"), HasSubstr("klingon-8")));
}

TEST(XmlLoad, NotWellFormedNamesFileLineAndColumn) {
  const struct {
    const char* name;
    std::string bytes;
    const char* where;
  } cases[] = {
      {"unclosed element", "<SERVICIO>\n  <BLOQUE_DATOS>\n</SERVICIO>\n", "(línea 3, columna"},
      {"latin-1 bytes declared UTF-8", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO>Ingl\xE9s</SERVICIO>",
       "(línea 2, columna"},
      {"text after the root", "<SERVICIO/>\nbasura", "(línea 2, columna"},
      {"not XML at all", "C_ANNO;2026\n", "(línea 1, columna 1)"},
      {"cut short", "<?xml version=\"1.0\"?>\n<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MAT", "(línea 2, columna"},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(ParseErrorOf(c.bytes, "/home/jefatura/Exportacion.xml"),
                AllOf(HasSubstr("«/home/jefatura/Exportacion.xml» no es un documento XML válido"), HasSubstr(c.where)))
        << c.name;
  }
  EXPECT_THAT(ParseErrorOf(""), HasSubstr("vacío"));
}

TEST(XmlLoad, ErrorsDoNotReachStderr) {
  testing::internal::CaptureStderr();
  ParseErrorOf("<SERVICIO>");
  ParseErrorOf("<?xml version=\"1.0\" encoding=\"klingon-8\"?><a/>");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST(XmlLoad, FileThatCannotBeReadIsNamed) {
  ScratchFolder folder;
  const auto missing = folder.path() / "no_existe.xml";
  EXPECT_THAT(LoadErrorOf(missing), AllOf(HasSubstr("«" + missing.string() + "»"), HasSubstr("no existe")));
  EXPECT_THAT(LoadErrorOf(folder.path()), AllOf(HasSubstr("«" + folder.path().string() + "»"), HasSubstr("carpeta")));
}

TEST(XmlLoad, FileWithoutReadPermissionIsNamed) {
  ScratchFolder folder;
  const auto locked = folder.Write("cerrado.xml", "<SERVICIO/>");
  std::filesystem::permissions(locked, std::filesystem::perms::none);
  if (::access(locked.c_str(), R_OK) == 0) GTEST_SKIP() << "running with rights that read any file";
  EXPECT_THAT(LoadErrorOf(locked), AllOf(HasSubstr("«" + locked.string() + "»"), HasSubstr("permiso")));
}

TEST(XmlLoad, ExternalEntitiesPointingAtLocalFilesAreNotRead) {
  ScratchFolder folder;
  const auto secret = folder.Write("secreto.txt", "CLAVE-SECRETA");
  const std::string uri = "file://" + secret.string();
  const std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n"
                               "  <!ENTITY fuera SYSTEM \"" + uri + "\">\n"
                               "  <!ENTITY % param SYSTEM \"" + uri + "\">\n  %param;\n]>\n"
                               "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"G\">"
                               "<dato>&fuera;</dato><dato a=\"x\">b</dato>"
                               "</grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
  const XmlDocument doc = XmlDocument::Load(folder.Write("entidad.xml", document));
  const XmlNode group = SelectGroups(doc).at(0);
  EXPECT_EQ(Record(group).Position(0), "");
  EXPECT_THAT(doc.DocumentElement().Text(), Not(HasSubstr("CLAVE")));
  EXPECT_THAT(doc.ToBytes(), Not(HasSubstr("CLAVE")));
}

TEST(XmlLoad, NetworkDtdAndEntitiesAreNotFetched) {
  const Tripwire tripwire;
  const std::string document = "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"" + tripwire.Url("/dtd") +
                               "\" [\n  <!ENTITY red SYSTEM \"" + tripwire.Url("/entidad") + "\">\n]>\n"
                               "<SERVICIO><dato>&red;</dato></SERVICIO>\n";
  const XmlDocument doc = XmlDocument::Parse(document, "red.xml");
  EXPECT_EQ(doc.DocumentElement().Text(), "");
  EXPECT_FALSE(tripwire.Touched());
}

std::string NestedEntities(const std::string& use) {
  std::string dtd = "<!ENTITY lol \"lol\">\n";
  std::string previous = "lol";
  for (int level = 1; level <= 9; ++level) {
    const std::string name = "lol" + std::to_string(level);
    dtd += "<!ENTITY " + name + " \"";
    for (int i = 0; i < 10; ++i) dtd += "&" + previous + ";";
    dtd += "\">\n";
    previous = name;
  }
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n" + dtd + "]>\n" + use + "\n";
}

TEST(XmlLoad, BillionLaughsIsRefused) {
  const struct {
    const char* name;
    std::string document;
  } cases[] = {
      {"in text", NestedEntities("<SERVICIO><dato>&lol9;</dato></SERVICIO>")},
      {"in an attribute", NestedEntities("<SERVICIO seq=\"&lol9;\"/>")},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(ParseErrorOf(c.document, "risas.xml"),
                AllOf(HasSubstr("«risas.xml» no es un documento XML válido (línea 14, columna"),
                      HasSubstr("entity")))
        << c.name;
  }
}

std::string RepeatedEntity(const std::string& use) {
  return "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [<!ENTITY big \"" + std::string(100000, 'x') + "\">]>\n" +
         use + "\n";
}

std::string Repeat(const std::string& piece, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += piece;
  return repeated;
}

TEST(XmlLoad, RepeatedLargeEntityIsRefusedByTheLoad) {
  const struct {
    const char* name;
    std::string document;
  } cases[] = {
      {"in one text", RepeatedEntity("<SERVICIO><dato>" + Repeat("&big;", 20) + "</dato></SERVICIO>")},
      {"in one attribute", RepeatedEntity("<SERVICIO seq=\"" + Repeat("&big;", 20) + "\"/>")},
      {"spread over many elements",
       RepeatedEntity("<SERVICIO>" + Repeat("<dato a=\"&big;\">&big;</dato>", 10) + "</SERVICIO>")},
  };
  for (const auto& c : cases) {
    EXPECT_THAT(ParseErrorOf(c.document, "cuadratico.xml"), AllOf(HasSubstr("«cuadratico.xml»"), HasSubstr("entidades")))
        << c.name;
  }
  EXPECT_EQ(ParseErrorOf(RepeatedEntity("<SERVICIO><dato>&big;&big;</dato></SERVICIO>")), "(loaded)");
}

TEST(XmlLoad, SmallInternalEntitiesAreExpanded) {
  const XmlDocument doc = XmlDocument::Parse(
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE SERVICIO [<!ENTITY ing \"Ingl\xC3\xA9s\">"
      "<!ENTITY g \"&ing; &amp; m\xC3\xA1s\">]>\n"
      "<SERVICIO seq=\"&ing;\"><dato>&g; <![CDATA[<b>]]></dato></SERVICIO>",
      "entidades.xml");
  EXPECT_EQ(doc.DocumentElement().Text(), "Ingl\xE9s & m\xE1s <b>");
  EXPECT_EQ(doc.DocumentElement().Attribute("seq"), "Ingl\xE9s");
}

}  // namespace
}  // namespace exchange
