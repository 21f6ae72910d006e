#include "ui/Component.h"

#include "core/Text.h"

#include <algorithm>
#include <map>

namespace {

std::map<int, ChangeObserver>& observers() {
    static std::map<int, ChangeObserver> list;
    return list;
}
int nextObserverId = 1;

}  // namespace

int AddChangeObserver(ChangeObserver observer) {
    int id = nextObserverId++;
    observers().emplace(id, std::move(observer));
    return id;
}

void RemoveChangeObserver(int id) { observers().erase(id); }

TComponent::~TComponent() {
    // Without BeforeDestruction (a component on the stack) the owned ones go
    // now, last created first, without events.
    while (!components_.empty()) components_.pop_back();
}

void TComponent::SetName(std::string name) {
    if (name == name_) return;
    name_ = std::move(name);
    Changed("Name");
}

TComponent* TComponent::Components(int index) const {
    if (index < 0 || index >= ComponentCount()) return nullptr;
    return components_[static_cast<size_t>(index)].get();
}

TComponent* TComponent::FindComponent(std::string_view name) const {
    if (name.empty()) return nullptr;
    for (auto& c : components_)
        if (text::SameText(c->Name(), name)) return c.get();
    return nullptr;
}

TComponent* TComponent::FindComponentDeep(std::string_view name) const {
    if (auto* c = FindComponent(name)) return c;
    for (auto& c : components_)
        if (auto* d = c->FindComponentDeep(name)) return d;
    return nullptr;
}

void TComponent::InsertComponent(std::unique_ptr<TComponent> component) {
    if (!component) return;
    component->owner_ = this;
    components_.push_back(std::move(component));
}

std::unique_ptr<TComponent> TComponent::RemoveComponent(TComponent* component) {
    auto it = std::find_if(components_.begin(), components_.end(),
                           [&](auto& p) { return p.get() == component; });
    if (it == components_.end()) return nullptr;
    auto p = std::move(*it);
    components_.erase(it);
    p->owner_ = nullptr;
    return p;
}

void TComponent::DestroyComponent(TComponent* component) {
    auto p = RemoveComponent(component);
    if (p) {
        p->BeforeDestruction();
        p.reset();
    }
}

void TComponent::BeforeDestruction() {
    if (destroying_) return;
    destroying_ = true;
    // The owned components go while this object is still whole, so that their
    // own destruction may still reach it.
    while (!components_.empty()) {
        TComponent* last = components_.back().get();
        last->BeforeDestruction();
        // BeforeDestruction may have removed other components; find it again.
        auto it = std::find_if(components_.begin(), components_.end(),
                               [&](auto& p) { return p.get() == last; });
        if (it != components_.end()) {
            auto p = std::move(*it);
            components_.erase(it);
            p.reset();
        }
    }
}

void TComponent::Changed(std::string_view property) {
    if (observers().empty()) return;
    // Copy: an observer may add or remove observers.
    auto copy = observers();
    for (auto& [id, fn] : copy) fn(*this, property);
}
