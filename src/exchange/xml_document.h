// The XML document service: an exchange document (or the template) loaded
// into memory, queried by the location paths the runs use, extended with new
// elements, and saved safely. Built on libxml2 with the network, external
// entities, DTD loading and XInclude all off, and entity expansion bounded.
//
// Every text that crosses this interface is Windows-1252 (see text/cp1252.h);
// the document itself keeps whatever encoding its declaration gives.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "text/user_error.h"

struct _xmlNode;
struct _xmlDoc;

namespace exchange {

// A handle on an element of an XmlDocument. Cheap to copy; valid while its
// document lives. A default-constructed handle is "no node".
class XmlNode {
 public:
  XmlNode() = default;
  explicit XmlNode(_xmlNode* node) : node_(node) {}

  explicit operator bool() const { return node_ != nullptr; }
  std::string Name() const;  // the element's name

  // Elements selected by a relative path of child steps ("dato",
  // "BLOQUE_DATOS"), in document order; empty when nothing matches.
  std::vector<XmlNode> SelectNodes(std::string_view path) const;
  // The first element the path selects, or no node.
  XmlNode SelectSingleNode(std::string_view path) const;

  // The element's text content, as Windows-1252.
  std::string Text() const;
  // Replaces the content with the text; an empty text leaves no content.
  void SetText(std::string_view cp1252);

  // Sets or replaces an attribute; new attributes go after existing ones.
  void SetAttribute(std::string_view name, std::string_view cp1252);
  // The attribute's value as Windows-1252; empty when absent.
  std::string Attribute(std::string_view name) const;

  // Makes child the last child of this element.
  void AppendChild(XmlNode child);

  _xmlNode* raw() const { return node_; }

 private:
  _xmlNode* node_ = nullptr;
};

class XmlDocument {
 public:
  // A new, empty document (no root element).
  XmlDocument();
  ~XmlDocument();
  XmlDocument(XmlDocument&&) noexcept;
  XmlDocument& operator=(XmlDocument&&) noexcept;
  XmlDocument(const XmlDocument&) = delete;
  XmlDocument& operator=(const XmlDocument&) = delete;

  // Reads and parses the whole file. A file that cannot be read, or is not a
  // well-formed document, throws UserError naming the file, the line, the
  // column and the parser's message; nothing is left half-loaded.
  static XmlDocument Load(const std::filesystem::path& file);
  // Same from bytes in memory; `name` stands for the file in messages.
  static XmlDocument Parse(std::string_view bytes, std::string_view name);

  // The root element, or no node.
  XmlNode DocumentElement() const;
  // Elements selected by an absolute location path of child steps, at most
  // one of them with a predicate [@seq="..."] compared exactly (letter case
  // included), e.g. /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="MATERIAS"]/grupo_datos.
  // A path outside that grammar throws std::invalid_argument (a bug, not input).
  std::vector<XmlNode> SelectNodes(std::string_view path) const;

  // A new element outside the tree, owned by this document.
  XmlNode CreateElement(std::string_view name);

  // Writes the document to the file, replacing it atomically: a temporary file
  // in the same folder is written, flushed and renamed over the target. On any
  // failure the old file is intact, no temporary file remains, and UserError
  // names the file. The declaration and encoding of the loaded document are
  // kept; characters that encoding cannot hold become character references.
  void Save(const std::filesystem::path& file) const;

  // The document serialised as Save would write it (for tests).
  std::string ToBytes() const;

 private:
  explicit XmlDocument(_xmlDoc* doc);
  struct Deleter { void operator()(_xmlDoc* doc) const; };
  std::unique_ptr<_xmlDoc, Deleter> doc_;
};

}  // namespace exchange
