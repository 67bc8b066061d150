#include "exchange/xml_document.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <climits>
#include <cstring>
#include <optional>
#include <stdexcept>

#include "exchange/document_file.h"
#include "exchange/entity_expansion.h"
#include "exchange/location_path.h"
#include "text/cp1252.h"
#include "text/file_io.h"

namespace exchange {
namespace {

// No network, and none of the options that would read external entities,
// load a DTD or follow XInclude: an exchange document is read on its own.
// Entity references then stay references in the tree; libxml2's own limits
// (no XML_PARSE_HUGE) refuse entity loops while parsing, and the load then
// measures what the remaining references stand for (entity_expansion.h).
constexpr int kParseOptions = XML_PARSE_NONET;

// What the entity references of a whole document may add when it is read.
// Séneca writes none; a document of nested or repeated references made to
// exhaust memory adds gigabytes.
constexpr std::size_t kMaxEntityExpansion = 1 << 20;

constexpr const char* kCheckDocumentAdvice =
    "Compruebe que es un documento de intercambio completo y sin modificar.";

void EnsureLibxmlReady() {
  static const bool ready = [] {
    LIBXML_TEST_VERSION
    xmlInitParser();
    return true;
  }();
  (void)ready;
}

// A parser message on one line, without its trailing newline and period.
std::string OneLine(const char* message) {
  std::string line = message != nullptr ? message : "";
  for (char& c : line) {
    if (c == '\n' || c == '\r') c = ' ';
  }
  while (!line.empty() && (line.back() == ' ' || line.back() == '.')) line.pop_back();
  return line;
}

struct ParserProblem {
  int code = 0;
  int line = 0;
  int column = 0;
  std::string message;
};

// Collects libxml2's errors while alive instead of letting them reach stderr,
// and restores whatever handlers were there before.
class LibxmlErrorCapture {
 public:
  explicit LibxmlErrorCapture(std::string documentName)
      : documentName_(std::move(documentName)),
        oldStructured_(xmlStructuredError),
        oldStructuredContext_(xmlStructuredErrorContext),
        oldGeneric_(xmlGenericError),
        oldGenericContext_(xmlGenericErrorContext) {
    xmlSetStructuredErrorFunc(this, &LibxmlErrorCapture::OnError);
    xmlSetGenericErrorFunc(nullptr, &LibxmlErrorCapture::Discard);
  }
  ~LibxmlErrorCapture() {
    xmlSetStructuredErrorFunc(oldStructuredContext_, oldStructured_);
    xmlSetGenericErrorFunc(oldGenericContext_, oldGeneric_);
  }
  LibxmlErrorCapture(const LibxmlErrorCapture&) = delete;
  LibxmlErrorCapture& operator=(const LibxmlErrorCapture&) = delete;

  // The error worth showing: the first one located in the document itself
  // (errors inside an entity's text carry the entity's own line numbers), or
  // else the first error of all.
  const std::optional<ParserProblem>& Problem() const { return problem_; }

 private:
  static void OnError(void* self, xmlErrorPtr error) {
    if (error == nullptr || error->level < XML_ERR_ERROR) return;  // warnings do not stop a run
    auto* capture = static_cast<LibxmlErrorCapture*>(self);
    const bool located = error->file != nullptr && capture->documentName_ == error->file;
    if (capture->problem_ && (capture->problemLocated_ || !located)) return;
    capture->problem_ = ParserProblem{error->code, error->line, error->int2, OneLine(error->message)};
    capture->problemLocated_ = located;
  }
  static void Discard(void*, const char*, ...) {}

  std::string documentName_;
  std::optional<ParserProblem> problem_;
  bool problemLocated_ = false;
  xmlStructuredErrorFunc oldStructured_;
  void* oldStructuredContext_;
  xmlGenericErrorFunc oldGeneric_;
  void* oldGenericContext_;
};

// Belt and braces beside the parse options: should the parser ever ask for
// an external entity or DTD, it gets nothing.
class ExternalEntitiesRefused {
 public:
  ExternalEntitiesRefused() : old_(xmlGetExternalEntityLoader()) { xmlSetExternalEntityLoader(&Refuse); }
  ~ExternalEntitiesRefused() { xmlSetExternalEntityLoader(old_); }
  ExternalEntitiesRefused(const ExternalEntitiesRefused&) = delete;
  ExternalEntitiesRefused& operator=(const ExternalEntitiesRefused&) = delete;

 private:
  static xmlParserInputPtr Refuse(const char*, const char*, xmlParserCtxtPtr) { return nullptr; }
  xmlExternalEntityLoader old_;
};

[[noreturn]] void ThrowUnreadable(std::string_view name, const std::optional<ParserProblem>& problem) {
  if (!problem) {
    throw UserError("El archivo " + files::Quoted(name) + " no es un documento XML válido. " + kCheckDocumentAdvice);
  }
  std::string where;
  if (problem->line > 0) {
    where = " (línea " + std::to_string(problem->line) + ", columna " + std::to_string(problem->column) + ")";
  }
  if (problem->code == XML_ERR_UNSUPPORTED_ENCODING) {
    throw UserError("El archivo " + files::Quoted(name) + " declara una codificación de caracteres desconocida" + where +
                    ": " + problem->message + ". Guárdelo en ISO-8859-1, UTF-8 o windows-1252.");
  }
  throw UserError("El archivo " + files::Quoted(name) + " no es un documento XML válido" + where + ": " +
                  problem->message + ". " + kCheckDocumentAdvice);
}

struct ParserContextDeleter {
  void operator()(xmlParserCtxt* ctxt) const { xmlFreeParserCtxt(ctxt); }
};
struct XmlCharDeleter {
  void operator()(xmlChar* text) const { xmlFree(text); }
};

const xmlAttr* FindAttribute(const xmlNode* node, const std::string& utf8Name) {
  for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
    if (attr->ns == nullptr && std::strcmp(reinterpret_cast<const char*>(attr->name), utf8Name.c_str()) == 0) {
      return attr;
    }
  }
  return nullptr;
}

std::string TakeXmlString(xmlChar* text) {
  std::unique_ptr<xmlChar, XmlCharDeleter> owned(text);
  return text != nullptr ? reinterpret_cast<const char*>(text) : "";
}

std::optional<std::string> AttributeUtf8(const xmlNode* node, const std::string& utf8Name) {
  const xmlAttr* attr = FindAttribute(node, utf8Name);
  if (attr == nullptr) return std::nullopt;
  return TakeXmlString(xmlNodeListGetString(node->doc, attr->children, 1));
}

// Elements in a namespace with a prefix are other vocabularies; a default
// namespace on the root does not hide the exchange elements.
bool Matches(const xmlNode* node, const LocationStep& step) {
  if (node->type != XML_ELEMENT_NODE) return false;
  if (node->ns != nullptr && node->ns->prefix != nullptr) return false;
  if (std::strcmp(reinterpret_cast<const char*>(node->name), step.name.c_str()) != 0) return false;
  return !step.seq || AttributeUtf8(node, "seq") == step.seq;
}

// Walks the steps from the nodes of one child list. Taking, step by step, the
// matching children of each node in turn yields document order, because the
// children of distinct parents never interleave.
std::vector<XmlNode> Walk(xmlNode* firstChild, const std::vector<LocationStep>& steps) {
  std::vector<xmlNode*> childLists{firstChild};
  std::vector<xmlNode*> matched;
  for (const LocationStep& step : steps) {
    matched.clear();
    for (xmlNode* first : childLists) {
      for (xmlNode* node = first; node != nullptr; node = node->next) {
        if (Matches(node, step)) matched.push_back(node);
      }
    }
    childLists.clear();
    for (xmlNode* node : matched) childLists.push_back(node->children);
  }
  return std::vector<XmlNode>(matched.begin(), matched.end());
}

// Windows-1252 text as XML content. The control characters XML 1.0 cannot
// carry at all, not even as references, become "?" like any other character
// the document cannot hold, so the saved file stays readable.
std::string ToXmlUtf8(std::string_view cp1252) {
  std::string safe(cp1252);
  for (char& c : safe) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 && c != '\t' && c != '\n' && c != '\r') c = '?';
  }
  return text::Cp1252ToUtf8(safe);
}

std::string Utf8(const xmlChar* text) { return text != nullptr ? reinterpret_cast<const char*>(text) : ""; }

xmlNode* Checked(xmlNode* node) {
  if (node == nullptr) throw std::logic_error("XmlNode: operation on no node");
  return node;
}

// Elements created but not (yet) in the tree hang from this holder, kept in
// the document's private slot, so that they are freed with the document.
xmlNode* DetachedHolder(xmlDoc* doc) {
  if (doc->_private == nullptr) {
    xmlNode* holder = xmlNewDocNode(doc, nullptr, BAD_CAST "detached", nullptr);
    if (holder == nullptr) throw std::bad_alloc();
    doc->_private = holder;
  }
  return static_cast<xmlNode*>(doc->_private);
}

bool IsAncestorOrSelf(const xmlNode* candidate, const xmlNode* node) {
  for (; node != nullptr; node = node->parent) {
    if (node == candidate) return true;
  }
  return false;
}

std::string Serialise(xmlDoc* doc, const std::string& nameForErrors) {
  // A document read without a declared encoding is UTF-8 by definition.
  const char* encoding = doc->encoding != nullptr ? reinterpret_cast<const char*>(doc->encoding) : "UTF-8";
  LibxmlErrorCapture capture(nameForErrors);
  xmlChar* bytes = nullptr;
  int size = 0;
  xmlDocDumpFormatMemoryEnc(doc, &bytes, &size, encoding, 0);
  std::unique_ptr<xmlChar, XmlCharDeleter> owned(bytes);
  if (bytes == nullptr || size < 0 || capture.Problem()) {
    const std::string reason = capture.Problem() ? ": " + capture.Problem()->message : "";
    throw UserError("No se ha podido escribir el documento " + files::Quoted(nameForErrors) + " en la codificación " +
                    files::Quoted(encoding) + reason + ".");
  }
  return std::string(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(size));
}

}  // namespace

// XmlNode

std::string XmlNode::Name() const { return text::Utf8ToCp1252(Utf8(Checked(node_)->name)); }

std::vector<XmlNode> XmlNode::SelectNodes(std::string_view path) const {
  const LocationPath parsed = ParseLocationPath(path);
  xmlNode* node = Checked(node_);
  xmlNode* first = parsed.absolute ? node->doc->children : node->children;
  return Walk(first, parsed.steps);
}

XmlNode XmlNode::SelectSingleNode(std::string_view path) const {
  const std::vector<XmlNode> nodes = SelectNodes(path);
  return nodes.empty() ? XmlNode() : nodes.front();
}

std::string XmlNode::Text() const { return text::Utf8ToCp1252(TakeXmlString(xmlNodeGetContent(Checked(node_)))); }

void XmlNode::SetText(std::string_view cp1252) {
  xmlNode* node = Checked(node_);
  while (node->children != nullptr) {
    xmlNode* child = node->children;
    xmlUnlinkNode(child);
    xmlFreeNode(child);
  }
  if (cp1252.empty()) return;
  const std::string utf8 = ToXmlUtf8(cp1252);
  xmlNode* textNode = xmlNewDocTextLen(node->doc, BAD_CAST utf8.data(), static_cast<int>(utf8.size()));
  if (textNode == nullptr || xmlAddChild(node, textNode) == nullptr) throw std::bad_alloc();
}

void XmlNode::SetAttribute(std::string_view name, std::string_view cp1252) {
  xmlNode* node = Checked(node_);
  const std::string utf8Name = text::Cp1252ToUtf8(name);
  const std::string utf8Value = ToXmlUtf8(cp1252);
  // xmlSetProp takes the value as literal text and replaces an existing
  // attribute in place, so the order in which attributes were first set holds.
  if (xmlSetProp(node, BAD_CAST utf8Name.c_str(), BAD_CAST utf8Value.c_str()) == nullptr) {
    throw std::invalid_argument("XmlNode::SetAttribute: cannot set \"" + utf8Name + "\"");
  }
}

std::string XmlNode::Attribute(std::string_view name) const {
  return text::Utf8ToCp1252(AttributeUtf8(Checked(node_), text::Cp1252ToUtf8(name)).value_or(""));
}

void XmlNode::AppendChild(XmlNode child) {
  xmlNode* parent = Checked(node_);
  xmlNode* element = Checked(child.node_);
  if (element->doc != parent->doc) throw std::invalid_argument("XmlNode::AppendChild: child of another document");
  if (IsAncestorOrSelf(element, parent)) throw std::invalid_argument("XmlNode::AppendChild: child contains parent");
  xmlUnlinkNode(element);
  if (xmlAddChild(parent, element) == nullptr) throw std::bad_alloc();
}

// XmlDocument

void XmlDocument::Deleter::operator()(_xmlDoc* doc) const {
  if (doc->_private != nullptr) xmlFreeNode(static_cast<xmlNode*>(doc->_private));
  doc->_private = nullptr;
  xmlFreeDoc(doc);
}

XmlDocument::XmlDocument() {
  EnsureLibxmlReady();
  doc_.reset(xmlNewDoc(BAD_CAST "1.0"));
  if (!doc_) throw std::bad_alloc();
}

XmlDocument::XmlDocument(_xmlDoc* doc) : doc_(doc) {}
XmlDocument::~XmlDocument() = default;
XmlDocument::XmlDocument(XmlDocument&&) noexcept = default;
XmlDocument& XmlDocument::operator=(XmlDocument&&) noexcept = default;

XmlDocument XmlDocument::Load(const std::filesystem::path& file) {
  return Parse(ReadDocumentFile(file), file.string());
}

XmlDocument XmlDocument::Parse(std::string_view bytes, std::string_view name) {
  EnsureLibxmlReady();
  if (bytes.empty()) {
    throw UserError("El archivo " + files::Quoted(name) + " está vacío y no es un documento XML. " + kCheckDocumentAdvice);
  }
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
    throw UserError("El archivo " + files::Quoted(name) + " es demasiado grande para ser un documento de intercambio.");
  }
  std::unique_ptr<xmlParserCtxt, ParserContextDeleter> context(xmlNewParserCtxt());
  if (!context) throw std::bad_alloc();
  const std::string nameText(name);
  LibxmlErrorCapture capture(nameText);
  ExternalEntitiesRefused noExternalEntities;
  xmlDoc* doc = xmlCtxtReadMemory(context.get(), bytes.data(), static_cast<int>(bytes.size()), nameText.c_str(),
                                  nullptr, kParseOptions);
  if (doc == nullptr) ThrowUnreadable(name, capture.Problem());
  XmlDocument loaded(doc);
  if (MeasureEntityExpansion(doc, kMaxEntityExpansion) > kMaxEntityExpansion) {
    throw UserError("El archivo " + files::Quoted(name) +
                    " contiene entidades XML que se expanden a un texto desmesurado, y no se lee. " +
                    kCheckDocumentAdvice);
  }
  return loaded;
}

XmlNode XmlDocument::DocumentElement() const { return XmlNode(xmlDocGetRootElement(doc_.get())); }

std::vector<XmlNode> XmlDocument::SelectNodes(std::string_view path) const {
  const LocationPath parsed = ParseLocationPath(path);
  if (!parsed.absolute) throw std::invalid_argument("XmlDocument::SelectNodes: path must be absolute");
  return Walk(doc_->children, parsed.steps);
}

XmlNode XmlDocument::CreateElement(std::string_view name) {
  const std::string utf8Name = text::Cp1252ToUtf8(name);
  xmlNode* element = xmlNewDocNode(doc_.get(), nullptr, BAD_CAST utf8Name.c_str(), nullptr);
  if (element == nullptr || xmlAddChild(DetachedHolder(doc_.get()), element) == nullptr) throw std::bad_alloc();
  return XmlNode(element);
}

void XmlDocument::Save(const std::filesystem::path& file) const {
  ReplaceDocumentFile(file, Serialise(doc_.get(), file.string()));
}

std::string XmlDocument::ToBytes() const {
  return Serialise(doc_.get(), doc_->URL != nullptr ? reinterpret_cast<const char*>(doc_->URL) : "en memoria");
}

}  // namespace exchange
