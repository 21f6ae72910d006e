#include "db/Params.h"

#include "core/Exception.h"
#include "core/Text.h"

TParam& TParams::Items(int index) {
    if (index < 0 || index >= Count()) throw Exception("List index out of bounds (" + std::to_string(index) + ")");
    return items_[static_cast<size_t>(index)];
}

TParam* TParams::FindParam(const std::string& name) {
    for (auto& p : items_)
        if (text::SameText(p.Name, name)) return &p;
    return nullptr;
}

const TParam* TParams::FindParam(const std::string& name) const {
    return const_cast<TParams*>(this)->FindParam(name);
}

TParam& TParams::ParamByName(const std::string& name) {
    if (TParam* p = FindParam(name)) return *p;
    throw Exception((Owner.empty() ? "" : Owner + ": ") + "Parameter '" + name + "' not found");
}

void TParams::SetNames(const std::vector<std::string>& names) {
    std::vector<TParam> next;
    next.reserve(names.size());
    for (const auto& n : names) {
        if (TParam* old = FindParam(n)) {
            next.push_back(*old);
        } else {
            next.emplace_back(n);
        }
    }
    items_ = std::move(next);
}
