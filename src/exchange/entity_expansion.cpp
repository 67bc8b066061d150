#include "exchange/entity_expansion.h"

#include <libxml/entities.h>
#include <libxml/tree.h>

#include <algorithm>
#include <cstring>
#include <unordered_map>

namespace exchange {
namespace {

// Entities nested deeper than this are not an exchange document; treating
// them as over the limit also ends any cycle.
constexpr int kMaxEntityDepth = 40;

class ExpansionMeter {
 public:
  ExpansionMeter(const xmlDoc* doc, std::size_t limit) : doc_(doc), cap_(limit + 1) {}

  // References met in the document's own tree and attributes. Its own text is
  // already in memory and costs nothing to read.
  std::size_t InTree(const xmlNode* first) {
    std::size_t total = 0;
    for (const xmlNode* node = first; node != nullptr && total < cap_; node = node->next) {
      if (node->type == XML_ENTITY_REF_NODE) {
        total = Add(total, OfEntity(node->name, 0));
      } else if (node->type == XML_ELEMENT_NODE) {
        for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
          total = Add(total, InTree(attr->children));
        }
        total = Add(total, InTree(node->children));
      }
    }
    return total;
  }

 private:
  std::size_t Add(std::size_t a, std::size_t b) const { return std::min(cap_, a + std::min(b, cap_)); }

  std::size_t OfEntity(const xmlChar* name, int depth) {
    const xmlEntity* entity = xmlGetDocEntity(doc_, name);
    if (entity == nullptr || entity->children == nullptr) return 0;  // unread external entity
    if (depth >= kMaxEntityDepth) return cap_;
    if (const auto known = sizes_.find(entity); known != sizes_.end()) return known->second;
    const std::size_t size = Add(1, OfContent(entity->children, depth + 1));
    sizes_.emplace(entity, size);
    return size;
  }

  // Everything an entity's content adds: its text too.
  std::size_t OfContent(const xmlNode* first, int depth) {
    std::size_t total = 0;
    for (const xmlNode* node = first; node != nullptr && total < cap_; node = node->next) {
      switch (node->type) {
        case XML_TEXT_NODE:
        case XML_CDATA_SECTION_NODE:
          if (node->content != nullptr) total = Add(total, std::strlen(reinterpret_cast<const char*>(node->content)));
          break;
        case XML_ENTITY_REF_NODE: total = Add(total, OfEntity(node->name, depth)); break;
        case XML_ELEMENT_NODE:
          for (const xmlAttr* attr = node->properties; attr != nullptr; attr = attr->next) {
            total = Add(total, OfContent(attr->children, depth));
          }
          total = Add(total, OfContent(node->children, depth));
          break;
        default: break;
      }
    }
    return total;
  }

  const xmlDoc* doc_;
  std::size_t cap_;
  std::unordered_map<const xmlEntity*, std::size_t> sizes_;
};

}  // namespace

std::size_t MeasureEntityExpansion(const _xmlDoc* doc, std::size_t limit) {
  return ExpansionMeter(doc, limit).InTree(doc->children);
}

}  // namespace exchange
