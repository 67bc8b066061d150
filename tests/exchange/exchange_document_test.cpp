// The exchange document rules: groups, records, positions, the skip test,
// the cleaning of a field, and the writing of groups and fields.
#include "exchange/exchange_document.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace exchange {
namespace {

using ::testing::HasSubstr;

XmlDocument Inline(const std::string& groups) {
  return XmlDocument::Parse("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><BLOQUE_DATOS>" + groups +
                                "</BLOQUE_DATOS></SERVICIO>\n",
                            "inline.xml");
}

// Position 0 of every record of the group, joined by commas.
std::string FirstPositions(const XmlDocument& doc, std::string_view seq) {
  std::string joined;
  for (const XmlNode& record : SelectRecords(doc, seq)) {
    joined += (joined.empty() ? "" : ",") + Record(record).Position(0);
  }
  return joined;
}

TEST(ExchangePositions, CountDirectDatoChildrenOnly) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"EMPLEADOS\" registros=\"1\"><grupo_datos seq=\"PROFESOR_1\">"
      "<dato nombre_dato=\"X_EMPLEADO\">1234567</dato>"
      "<grupo_datos seq=\"ANIDADO\"><dato>no cuenta</dato></grupo_datos>"
      "<!-- comentario --><otro>tampoco</otro>"
      "<dato>01/09/2026</dato>"
      "<dato nombre_dato=\"MAL_ESCRITO\">Ingl\xC3\xA9s P.E.S.</dato>"
      "</grupo_datos></grupo_datos>");
  const std::vector<XmlNode> records = SelectRecords(doc, "EMPLEADOS");
  ASSERT_EQ(records.size(), 1u);
  const Record record(records[0]);
  EXPECT_EQ(record.DatoCount(), 3u);
  EXPECT_TRUE(record.IsUsable());
  EXPECT_EQ(record.Position(0), "1234567");
  EXPECT_EQ(record.Position(1), "01/09/2026");
  EXPECT_EQ(record.Position(2), "Ingl\xE9s P.E.S.");
  EXPECT_EQ(record.Position(3), "");  // a position the record lacks
  EXPECT_EQ(record.Position(1000), "");
}

TEST(ExchangePositions, SwappingDatoElementsSwapsTheValues) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"DEPENDENCIAS\"><grupo_datos>"
      "<dato nombre_dato=\"D_DEPENDENCIA\">Aula 1.4</dato><dato nombre_dato=\"X_DEPENDENCIA\">12631</dato>"
      "</grupo_datos></grupo_datos>");
  const Record record(SelectRecords(doc, "DEPENDENCIAS").at(0));
  EXPECT_EQ(record.Position(0), "Aula 1.4");
  EXPECT_EQ(record.Position(1), "12631");
}

TEST(ExchangeRecords, FewerThanTwoDatoChildrenIsNotUsable) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"MATERIAS\">"
      "<grupo_datos><dato>100323</dato></grupo_datos>"
      "<grupo_datos></grupo_datos>"
      "<grupo_datos><dato>100323</dato><grupo_datos><dato>x</dato></grupo_datos></grupo_datos>"
      "<grupo_datos><dato>100323</dato><dato/></grupo_datos>"
      "</grupo_datos>");
  const std::vector<XmlNode> records = SelectRecords(doc, "MATERIAS");
  ASSERT_EQ(records.size(), 4u);
  const bool usable[] = {false, false, false, true};
  for (std::size_t i = 0; i < records.size(); ++i) EXPECT_EQ(Record(records[i]).IsUsable(), usable[i]) << i;
  EXPECT_EQ(Record(records[3]).Position(1), "");
}

TEST(ExchangeRecords, SeqMatchesWithLetterCase) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"Materias\"><grupo_datos><dato>1</dato><dato>2</dato></grupo_datos></grupo_datos>"
      "<grupo_datos seq=\"MATERIAS \"><grupo_datos><dato>3</dato><dato>4</dato></grupo_datos></grupo_datos>");
  EXPECT_TRUE(SelectRecords(doc, "MATERIAS").empty());
  EXPECT_EQ(FirstPositions(doc, "Materias"), "1");
}

TEST(ExchangeRecords, GroupsWithTheSameSeqAreReadInDocumentOrder) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"UNIDADES\"><grupo_datos><dato>1A</dato></grupo_datos>"
      "<grupo_datos><dato>1B</dato></grupo_datos></grupo_datos>"
      "<grupo_datos seq=\"MATERIAS\"><grupo_datos><dato>LENG</dato></grupo_datos></grupo_datos>"
      "<grupo_datos seq=\"UNIDADES\"><grupo_datos><dato>2A</dato></grupo_datos></grupo_datos>");
  EXPECT_EQ(FirstPositions(doc, "UNIDADES"), "1A,1B,2A");
  EXPECT_EQ(FirstPositions(doc, "NO_ESTA"), "");
}

TEST(ExchangeGroups, AreEveryGroupWithItsOwnDatos) {
  const XmlDocument doc = Inline(
      "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2026</dato><dato>15/09/2026</dato><dato>22/06/2027</dato>"
      "</grupo_datos><grupo_datos seq=\"CURSOS_DEL_CENTRO\"/>");
  const std::vector<XmlNode> groups = SelectGroups(doc);
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(Record(groups[0]).Position(2), "22/06/2027");
  EXPECT_EQ(Record(groups[1]).DatoCount(), 0u);
  EXPECT_TRUE(SelectGroups(XmlDocument::Parse("<OTRO><BLOQUE_DATOS><grupo_datos/></BLOQUE_DATOS></OTRO>", "x"))
                  .empty());
}

TEST(ExchangeCleaning, TrimsBlanksAndControlsButNotTheNoBreakSpace) {
  const struct {
    const char* name;
    const char* xml;
    const char* value;
  } cases[] = {
      {"surrounding blanks", " 100323 ", "100323"},
      {"tabs and line breaks", "\n\t\t100323\r\n\t", "100323"},
      {"character references for controls", "&#9;&#13;&#10;1\xC2\xBA" "A&#13;", "1\xBA" "A"},
      {"blanks inside stay", "  Aula   1.4 ", "Aula   1.4"},
      {"blanks only", " \t\n ", ""},
      {"no text", "", ""},
      {"no-break space kept", "&#160;1\xC2\xBA" "A&#xA0; ", "\xA0" "1\xBA" "A\xA0"},
      {"unmappable character", "\xE2\x98\x83 nieve", "? nieve"},
      {"markup inside", " <b>a</b> b ", "a b"},
  };
  for (const auto& c : cases) {
    const XmlDocument doc = Inline(std::string("<grupo_datos seq=\"G\"><grupo_datos><dato>") + c.xml +
                                   "</dato></grupo_datos></grupo_datos>");
    EXPECT_EQ(Record(SelectRecords(doc, "G").at(0)).Position(0), c.value) << c.name;
  }
}

TEST(ExchangeWriting, GroupsAndDatosReadBackByTheRules) {
  XmlDocument doc = XmlDocument::Parse(
      "<?xml version=\"1.0\" encoding=\"iso-8859-1\"?>\n<SERVICIO><BLOQUE_DATOS/></SERVICIO>\n", "base.xml");
  const XmlNode block = doc.DocumentElement().SelectSingleNode("BLOQUE_DATOS");
  XmlNode schedules = AppendGroup(doc, block, "HORARIOS_REGULARES");
  SetRegistros(schedules, 0);
  XmlNode teacher = AppendGroup(doc, schedules, "HORARIO_REGULAR_PROFESOR_1");
  AppendDato(doc, teacher, "X_EMPLEADO", "1234567");
  AppendDato(doc, teacher, "F_TOMAPOS", " 01/09/2026 ");
  XmlNode lesson = AppendGroup(doc, teacher, "ACTIVIDAD_1");
  AppendDato(doc, lesson, "X_UNIDAD", "");
  AppendDato(doc, lesson, "D_NOTA", "Ingl\xE9s & \x80");
  SetRegistros(lesson, 2);
  SetRegistros(teacher, 1);
  SetRegistros(schedules, 1);

  const std::string saved = doc.ToBytes();
  EXPECT_THAT(saved, HasSubstr("<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"1\">"
                               "<grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_1\" registros=\"1\">"
                               "<dato nombre_dato=\"X_EMPLEADO\">1234567</dato>"
                               "<dato nombre_dato=\"F_TOMAPOS\"> 01/09/2026 </dato>"
                               "<grupo_datos seq=\"ACTIVIDAD_1\" registros=\"2\">"
                               "<dato nombre_dato=\"X_UNIDAD\"/>"
                               "<dato nombre_dato=\"D_NOTA\">Ingl\xE9s &amp; &#8364;</dato>"));

  const XmlDocument reread = XmlDocument::Parse(saved, "resultado.xml");
  const std::vector<XmlNode> teachers = SelectRecords(reread, "HORARIOS_REGULARES");
  ASSERT_EQ(teachers.size(), 1u);
  EXPECT_EQ(teachers[0].Attribute("seq"), "HORARIO_REGULAR_PROFESOR_1");
  const Record teacherRecord(teachers[0]);
  EXPECT_EQ(teacherRecord.DatoCount(), 2u);
  EXPECT_EQ(teacherRecord.Position(1), "01/09/2026");
  const Record lessonRecord(teachers[0].SelectSingleNode("grupo_datos"));
  EXPECT_EQ(lessonRecord.Position(0), "");
  EXPECT_EQ(lessonRecord.Position(1), "Ingl\xE9s & \x80");
}

}  // namespace
}  // namespace exchange
