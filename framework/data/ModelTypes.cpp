#include "data/ModelTypes.h"

#include "core/Text.h"

namespace model {
namespace {

template <class T>
const T* FindByName(std::span<const T> items, std::string_view name) {
    for (const T& item : items)
        if (text::SameText(item.name, name)) return &item;
    return nullptr;
}

}  // namespace

const FieldDef* DataSetDef::FindField(std::string_view fieldName) const { return FindByName(fields, fieldName); }

const FieldDef* QueryDef::FindField(std::string_view fieldName) const { return FindByName(fields, fieldName); }

const DataSetDef* FindDataSet(std::span<const DataSetDef> sets, std::string_view name) { return FindByName(sets, name); }

const QueryDef* FindQuery(std::span<const QueryDef> queries, std::string_view name) { return FindByName(queries, name); }

const ConnectionDef* FindConnection(std::span<const ConnectionDef> conns, std::string_view name) {
    return FindByName(conns, name);
}

}  // namespace model
