#include "export/lookup_index.h"

#include <utility>

#include "tables/table.h"

namespace exporting {

LookupIndex::LookupIndex(tables::TTable& table, std::string_view keyField,
                         const std::vector<std::string>& valueFields) {
  // Fields are resolved once; a TField reads the record the table stands at.
  const tables::TField key = table.FieldByName(keyField);
  std::vector<tables::TField> values;
  values.reserve(valueFields.size());
  for (const std::string& name : valueFields) values.push_back(table.FieldByName(name));

  for (table.First(); !table.Eof(); table.Next()) {
    auto [slot, isFirst] = firstByKey_.try_emplace(key.AsString());
    if (!isFirst) continue;  // an earlier record already answers this key
    slot->second.reserve(values.size());
    for (const tables::TField& field : values) slot->second.push_back(field.AsString());
  }
}

const std::vector<std::string>* LookupIndex::Find(const std::string& key) const {
  const auto found = firstByKey_.find(key);
  return found == firstByKey_.end() ? nullptr : &found->second;
}

LazyLookup::LazyLookup(tables::TTable& table, std::string keyField,
                       std::vector<std::string> valueFields)
    : table_(table), keyField_(std::move(keyField)), valueFields_(std::move(valueFields)) {}

const std::vector<std::string>* LazyLookup::Find(const std::string& key) {
  if (!index_) index_.emplace(table_, keyField_, valueFields_);
  return index_->Find(key);
}

}  // namespace exporting
