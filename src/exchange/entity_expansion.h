// How much text the entity references of a loaded document stand for. The
// document is parsed without substituting entities, so a few kilobytes of
// repeated or nested references load quickly and small; reading them would
// then build gigabytes. Measuring the expansion once, right after loading,
// lets the load itself refuse such a document before any run touches a table.
#pragma once

#include <cstddef>

struct _xmlDoc;

namespace exchange {

// Bytes of text (plus one per expanded reference) that every entity
// reference in the tree and its attributes would add when read, counted up to
// just past `limit`. Each entity's own expansion is measured once.
std::size_t MeasureEntityExpansion(const _xmlDoc* doc, std::size_t limit);

}  // namespace exchange
