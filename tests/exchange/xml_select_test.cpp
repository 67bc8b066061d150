// Selection by location paths and the element operations the runs use.
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "exchange/xml_document.h"

namespace exchange {
namespace {

const char* const kDocument = R"(<?xml version="1.0" encoding="UTF-8"?>
<SERVICIO>
  <BLOQUE_DATOS>
    <grupo_datos seq="A"><grupo_datos seq="A1"/><grupo_datos seq="A2"/></grupo_datos>
    <grupo_datos seq="B"><grupo_datos seq="B1"/></grupo_datos>
    <grupo_datos><grupo_datos seq="SIN_SEQ"/></grupo_datos>
    <grupo_datos seq="A"><grupo_datos seq="A3"/><otro seq="X"/></grupo_datos>
    <grupo_datos seq="Ñ/Ü"><grupo_datos seq="ACENTOS"/></grupo_datos>
  </BLOQUE_DATOS>
  <BLOQUE_DATOS><grupo_datos seq="A"><grupo_datos seq="A4"/></grupo_datos></BLOQUE_DATOS>
</SERVICIO>
)";

std::string SeqsOf(const std::vector<XmlNode>& nodes) {
  std::string seqs;
  for (const XmlNode& node : nodes) seqs += (seqs.empty() ? "" : ",") + node.Attribute("seq");
  return seqs;
}

TEST(XmlSelect, PathsSelectInDocumentOrder) {
  const XmlDocument doc = XmlDocument::Parse(kDocument, "seleccion.xml");
  const struct {
    const char* path;
    const char* seqs;
  } cases[] = {
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos", "A,B,,A,\xD1/\xDC,A"},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"A\"]/grupo_datos", "A1,A2,A3,A4"},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq='B']/grupo_datos", "B1"},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[ @seq = \"B\" ]/grupo_datos", "B1"},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"\xD1/\xDC\"]/grupo_datos", "ACENTOS"},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"a\"]/grupo_datos", ""},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"\"]/grupo_datos", ""},
      {"/SERVICIO/BLOQUE_DATOS/grupo_datos/grupo_datos", "A1,A2,B1,SIN_SEQ,A3,ACENTOS,A4"},
      {"/BLOQUE_DATOS/grupo_datos", ""},
      {"/SERVICIO/NADA/grupo_datos", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(SeqsOf(doc.SelectNodes(c.path)), c.seqs) << c.path;
}

TEST(XmlSelect, RelativePathsFromAnElement) {
  const XmlDocument doc = XmlDocument::Parse(kDocument, "seleccion.xml");
  const XmlNode root = doc.DocumentElement();
  EXPECT_EQ(root.Name(), "SERVICIO");
  const XmlNode block = root.SelectSingleNode("BLOQUE_DATOS");
  ASSERT_TRUE(block);
  EXPECT_EQ(SeqsOf(block.SelectNodes("grupo_datos")), "A,B,,A,\xD1/\xDC");
  EXPECT_EQ(SeqsOf(block.SelectNodes("grupo_datos[@seq=\"A\"]/grupo_datos")), "A1,A2,A3");
  EXPECT_FALSE(root.SelectSingleNode("dato"));
  EXPECT_TRUE(root.SelectNodes("dato").empty());
}

TEST(XmlSelect, PathsOutsideTheGrammarAreBugs) {
  const XmlDocument doc = XmlDocument::Parse(kDocument, "seleccion.xml");
  const char* const paths[] = {
      "",
      "/",
      "//grupo_datos",
      "SERVICIO/BLOQUE_DATOS",
      "/SERVICIO/*",
      "/SERVICIO/text()",
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@registros=\"1\"]",
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"A\"",
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=A]",
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"A]",
      "/SERVICIO/BLOQUE_DATOS[@seq=\"X\"]/grupo_datos[@seq=\"A\"]",
      "/SERVICIO/BLOQUE_DATOS/grupo_datos[1]",
  };
  for (const char* path : paths) EXPECT_THROW(doc.SelectNodes(path), std::invalid_argument) << path;
  EXPECT_THROW(doc.DocumentElement().SelectNodes("dato/"), std::invalid_argument);
}

TEST(XmlSelect, DefaultNamespaceIsSeenThroughPrefixedElementsAreNot) {
  const XmlDocument doc = XmlDocument::Parse(
      "<SERVICIO xmlns=\"urn:seneca\" xmlns:o=\"urn:otro\"><BLOQUE_DATOS>"
      "<grupo_datos seq=\"A\"/><o:grupo_datos seq=\"B\"/></BLOQUE_DATOS></SERVICIO>",
      "espacios.xml");
  EXPECT_EQ(SeqsOf(doc.SelectNodes("/SERVICIO/BLOQUE_DATOS/grupo_datos")), "A");
}

TEST(XmlNodeEdit, AttributesKeepTheOrderFirstSet) {
  XmlDocument doc = XmlDocument::Parse("<SERVICIO><BLOQUE_DATOS/></SERVICIO>", "plantilla.xml");
  XmlNode group = doc.CreateElement("grupo_datos");
  group.SetAttribute("seq", "PRIMERO");
  group.SetAttribute("registros", "1");
  group.SetAttribute("seq", "\xD1&<\"'>");
  EXPECT_EQ(group.Attribute("seq"), "\xD1&<\"'>");
  EXPECT_EQ(group.Attribute("ausente"), "");
  doc.DocumentElement().SelectSingleNode("BLOQUE_DATOS").AppendChild(group);
  EXPECT_NE(doc.ToBytes().find("<grupo_datos seq=\"\xC3\x91&amp;&lt;&quot;'&gt;\" registros=\"1\"/>"),
            std::string::npos)
      << doc.ToBytes();
}

TEST(XmlNodeEdit, TextIsLiteralAndEmptyTextLeavesNoContent) {
  XmlDocument doc = XmlDocument::Parse("<SERVICIO><dato>viejo<b/>texto</dato></SERVICIO>", "texto.xml");
  XmlNode dato = doc.DocumentElement().SelectSingleNode("dato");
  dato.SetText(" &amp; <b> \x80 ");
  EXPECT_EQ(dato.Text(), " &amp; <b> \x80 ");
  dato.SetText("");
  EXPECT_EQ(dato.Text(), "");
  EXPECT_NE(doc.ToBytes().find("<dato/>"), std::string::npos) << doc.ToBytes();
  dato.SetText(std::string("a\x01" "b\0c\td", 7));
  EXPECT_EQ(dato.Text(), "a?b?c\td");
}

TEST(XmlNodeEdit, CreatedElementsStayOutsideTheTreeUntilAppended) {
  XmlDocument doc = XmlDocument::Parse("<SERVICIO><BLOQUE_DATOS/></SERVICIO>", "plantilla.xml");
  const std::string before = doc.ToBytes();
  XmlNode lost = doc.CreateElement("grupo_datos");
  lost.AppendChild(doc.CreateElement("dato"));
  XmlNode group = doc.CreateElement("grupo_datos");
  EXPECT_EQ(doc.ToBytes(), before);
  EXPECT_TRUE(doc.SelectNodes("/SERVICIO/BLOQUE_DATOS/grupo_datos").empty());
  doc.DocumentElement().SelectSingleNode("BLOQUE_DATOS").AppendChild(group);
  EXPECT_EQ(doc.SelectNodes("/SERVICIO/BLOQUE_DATOS/grupo_datos").size(), 1u);
}

TEST(XmlNodeEdit, AppendingThatWouldBreakTheTreeIsABug) {
  XmlDocument doc = XmlDocument::Parse("<SERVICIO><BLOQUE_DATOS/></SERVICIO>", "plantilla.xml");
  XmlDocument other;
  XmlNode root = doc.DocumentElement();
  XmlNode block = root.SelectSingleNode("BLOQUE_DATOS");
  EXPECT_THROW(block.AppendChild(root), std::invalid_argument);
  EXPECT_THROW(block.AppendChild(block), std::invalid_argument);
  EXPECT_THROW(block.AppendChild(other.CreateElement("dato")), std::invalid_argument);
  EXPECT_THROW(block.AppendChild(XmlNode()), std::logic_error);
}

TEST(XmlDocumentNew, IsEmptyAndSavesAsUtf8) {
  XmlDocument doc;
  EXPECT_FALSE(doc.DocumentElement());
  EXPECT_TRUE(doc.SelectNodes("/SERVICIO").empty());
  EXPECT_EQ(doc.ToBytes(), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
}

}  // namespace
}  // namespace exchange
