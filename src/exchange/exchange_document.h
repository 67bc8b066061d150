// The exchange document rules: how the steps find groups and records of a
// Séneca document, which records they skip, and how a field's text is taken;
// and how the Horalia-to-Séneca run writes groups and fields.
//
//   <SERVICIO><BLOQUE_DATOS>
//     <grupo_datos seq="MATERIAS" registros="N">          a group
//       <grupo_datos seq="MATERIA_1">                       a record
//         <dato nombre_dato="X_OFERTAMATRIG">100323</dato>  position 0
//         ...
// Positions count the direct `dato` children only, from 0, in document order;
// field names (nombre_dato) are never read.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "exchange/xml_document.h"

namespace exchange {

// Every group directly under BLOQUE_DATOS, in document order.
std::vector<XmlNode> SelectGroups(const XmlDocument& doc);

// The records of every group whose seq equals `groupSeq` exactly (letter case
// included), those of an earlier group first.
std::vector<XmlNode> SelectRecords(const XmlDocument& doc, std::string_view groupSeq);

// The `dato` children of a record (or group) and the cleaned text of each.
class Record {
 public:
  explicit Record(XmlNode recordOrGroup);

  std::size_t DatoCount() const { return datos_.size(); }
  // True when the record has at least two `dato` children: the test every
  // reading step but the time slots applies before it reads a record.
  bool IsUsable() const { return datos_.size() >= 2; }
  // Position n: the text of the n-th `dato` child, cleaned (controls and
  // blanks removed from both ends), as Windows-1252. A position the record
  // lacks reads as the empty text.
  std::string Position(std::size_t n) const;

 private:
  std::vector<XmlNode> datos_;
};

// Writing. A new group or record: a `grupo_datos` element with `seq` as its
// first attribute, appended as the last child of `parent`.
XmlNode AppendGroup(XmlDocument& doc, XmlNode parent, std::string_view seq);
// Sets (or replaces) `registros`, in decimal; set right after `seq` it is the
// second attribute.
void SetRegistros(XmlNode group, long count);
// A field: `<dato nombre_dato="name">value</dato>` appended to `group`; an
// empty value gives an element without text. The value is not trimmed.
void AppendDato(XmlDocument& doc, XmlNode group, std::string_view name, std::string_view cp1252Value);

}  // namespace exchange
