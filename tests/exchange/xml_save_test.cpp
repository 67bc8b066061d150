// Saving: the template's declaration, encoding and layout survive, and the
// target is replaced whole or not at all.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "common/read_only_folder.h"
#include "common/scratch_folder.h"
#include "exchange/xml_document.h"

namespace exchange {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

const std::string kLatin1Template =
    "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n"
    "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"IES Ejemplo\">\n"
    "  <BLOQUE_DATOS>\n"
    "    <grupo_datos seq=\"ANNO_ACADEMICO\">\n"
    "      <dato nombre_dato=\"C_ANNO\">2026</dato>\n"
    "      <dato nombre_dato=\"D_CENTRO\">Jard\xEDn</dato>\n"
    "    </grupo_datos>\n"
    "  </BLOQUE_DATOS>\n"
    "</SERVICIO>\n";

// Appends <grupo_datos seq="..."><dato>value</dato></grupo_datos> to BLOQUE_DATOS.
void AppendValue(XmlDocument& doc, const std::string& seq, const std::string& value) {
  XmlNode group = doc.CreateElement("grupo_datos");
  group.SetAttribute("seq", seq);
  XmlNode dato = doc.CreateElement("dato");
  dato.SetText(value);
  group.AppendChild(dato);
  doc.DocumentElement().SelectSingleNode("BLOQUE_DATOS").AppendChild(group);
}

TEST(XmlSave, KeepsTheTemplateAndWritesWhatLatin1LacksAsReferences) {
  XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  AppendValue(doc, "G", "\x80 \xE9 \x9C");
  std::string expected = kLatin1Template;
  expected.insert(expected.find("</BLOQUE_DATOS>"),
                  "<grupo_datos seq=\"G\"><dato>&#8364; \xE9 &#339;</dato></grupo_datos>");
  EXPECT_EQ(doc.ToBytes(), expected);
}

TEST(XmlSave, EachEncodingWritesItsOwnBytes) {
  const struct {
    const char* name;
    std::string declaration;
    std::string euroAndE;
  } cases[] = {
      {"windows-1252", "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n", "\x80\xE9"},
      {"UTF-8 declared", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n", "\xE2\x82\xAC\xC3\xA9"},
      {"no declaration", "", "\xE2\x82\xAC\xC3\xA9"},
  };
  for (const auto& c : cases) {
    XmlDocument doc = XmlDocument::Parse(c.declaration + "<SERVICIO><BLOQUE_DATOS/></SERVICIO>", c.name);
    AppendValue(doc, "G", "\x80\xE9");
    const std::string saved = doc.ToBytes();
    const std::string declaration =
        c.declaration.empty() ? "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" : c.declaration;
    EXPECT_EQ(saved.substr(0, declaration.size()), declaration) << c.name;
    EXPECT_THAT(saved, HasSubstr("<dato>" + c.euroAndE + "</dato>")) << c.name;
    EXPECT_EQ(XmlDocument::Parse(saved, c.name).SelectNodes("/SERVICIO/BLOQUE_DATOS/grupo_datos")[0].Text(),
              "\x80\xE9")
        << c.name;
  }
}

TEST(XmlSave, ReplacesTheTargetAndLeavesNoTemporaryFile) {
  ScratchFolder folder;
  const auto target = folder.Write("ResultadoOrvanoHorarios.xml", "contenido anterior");
  XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  AppendValue(doc, "G", "nuevo");
  doc.Save(target);
  EXPECT_EQ(ReadBytes(target), doc.ToBytes());
  EXPECT_THAT(folder.Entries(), ElementsAre("ResultadoOrvanoHorarios.xml"));

  const auto fresh = folder.path() / "nuevo.xml";
  doc.Save(fresh);
  EXPECT_EQ(XmlDocument::Load(fresh).ToBytes(), doc.ToBytes());
  EXPECT_THAT(folder.Entries(), ElementsAre("ResultadoOrvanoHorarios.xml", "nuevo.xml"));
}

std::string SaveErrorOf(const XmlDocument& doc, const std::filesystem::path& target) {
  try {
    doc.Save(target);
  } catch (const UserError& e) {
    return e.what();
  }
  return "(saved)";
}

TEST(XmlSave, TargetThatIsAFolderIsAnErrorAndNothingChanges) {
  ScratchFolder folder;
  const auto target = folder.path() / "carpeta.xml";
  std::filesystem::create_directory(target);
  const auto inside = folder.Write("carpeta.xml/dentro.txt", "intacto");
  const XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  EXPECT_THAT(SaveErrorOf(doc, target), HasSubstr("«" + target.string() + "»"));
  EXPECT_EQ(ReadBytes(inside), "intacto");
  EXPECT_THAT(folder.Entries(), ElementsAre("carpeta.xml"));
}

TEST(XmlSave, MissingFolderIsAnError) {
  ScratchFolder folder;
  const auto target = folder.path() / "no_existe" / "salida.xml";
  const XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  EXPECT_THAT(SaveErrorOf(doc, target), HasSubstr("«" + target.string() + "»"));
  EXPECT_THAT(folder.Entries(), ElementsAre());
}

TEST(XmlSave, ReadOnlyFolderIsAnErrorAndTheOldFileStays) {
  ScratchFolder folder;
  const auto target = folder.Write("salida.xml", "contenido anterior");
  const XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  {
    const ReadOnlyFolder readOnly(folder.path());
    if (!readOnly.ok()) GTEST_SKIP() << "no way to make a folder read-only here";
    EXPECT_THAT(SaveErrorOf(doc, target), HasSubstr("«" + target.string() + "»"));
  }
  EXPECT_EQ(ReadBytes(target), "contenido anterior");
  EXPECT_THAT(folder.Entries(), ElementsAre("salida.xml"));
}

// Limits the size of files this process may write, so that writing the
// temporary file fails half-way whatever the user's rights.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : oldHandler_(std::signal(SIGXFSZ, SIG_IGN)) {
    ::getrlimit(RLIMIT_FSIZE, &old_);
    rlimit limited = old_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, oldHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit old_{};
  void (*oldHandler_)(int);
};

TEST(XmlSave, WriteFailingHalfWayKeepsTheOldFile) {
  ScratchFolder folder;
  const auto target = folder.Write("salida.xml", "contenido anterior");
  XmlDocument doc = XmlDocument::Parse(kLatin1Template, "base.xml");
  AppendValue(doc, "G", std::string(100000, 'x'));
  std::string error;
  {
    const FileSizeLimit limit(4096);
    error = SaveErrorOf(doc, target);
  }
  EXPECT_THAT(error, HasSubstr("«" + target.string() + "»"));
  EXPECT_EQ(ReadBytes(target), "contenido anterior");
  EXPECT_THAT(folder.Entries(), ElementsAre("salida.xml"));
}

}  // namespace
}  // namespace exchange
