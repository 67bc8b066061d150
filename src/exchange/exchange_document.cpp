#include "exchange/exchange_document.h"

#include <stdexcept>
#include <string>

#include "text/cp1252.h"

namespace exchange {
namespace {

constexpr std::string_view kGroupsPath = "/SERVICIO/BLOQUE_DATOS/grupo_datos";

// The literal of a [@seq=...] predicate. Group names are fixed in the
// program, so a name no XPath literal can hold is a bug, not input.
std::string SeqLiteral(std::string_view seq) {
  const char quote = seq.find('"') == std::string_view::npos ? '"' : '\'';
  if (seq.find(quote) != std::string_view::npos) {
    throw std::invalid_argument("group name with both kinds of quote: " + std::string(seq));
  }
  return quote + std::string(seq) + quote;
}

}  // namespace

std::vector<XmlNode> SelectGroups(const XmlDocument& doc) { return doc.SelectNodes(kGroupsPath); }

std::vector<XmlNode> SelectRecords(const XmlDocument& doc, std::string_view groupSeq) {
  return doc.SelectNodes(std::string(kGroupsPath) + "[@seq=" + SeqLiteral(groupSeq) + "]/grupo_datos");
}

Record::Record(XmlNode recordOrGroup) : datos_(recordOrGroup.SelectNodes("dato")) {}

std::string Record::Position(std::size_t n) const {
  // A record may lack a position a step reads; it reads as the empty text,
  // like an empty field.
  if (n >= datos_.size()) return "";
  return text::TrimControls(datos_[n].Text());
}

XmlNode AppendGroup(XmlDocument& doc, XmlNode parent, std::string_view seq) {
  XmlNode group = doc.CreateElement("grupo_datos");
  group.SetAttribute("seq", seq);
  parent.AppendChild(group);
  return group;
}

void SetRegistros(XmlNode group, long count) { group.SetAttribute("registros", std::to_string(count)); }

void AppendDato(XmlDocument& doc, XmlNode group, std::string_view name, std::string_view cp1252Value) {
  XmlNode dato = doc.CreateElement("dato");
  dato.SetAttribute("nombre_dato", name);
  if (!cp1252Value.empty()) dato.SetText(cp1252Value);
  group.AppendChild(dato);
}

}  // namespace exchange
