#pragma once
// TComponent: a named object owned by another component. The owner destroys
// what it owns (last created first); nobody else deletes an owned component.
// Views observe property changes through one process-wide observer list.
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class TObject {
public:
    virtual ~TObject() = default;
};

class TComponent;

// Observers get (component, property name) after a property really changed.
using ChangeObserver = std::function<void(TComponent&, std::string_view property)>;
// Returns an id for RemoveChangeObserver.
int AddChangeObserver(ChangeObserver observer);
void RemoveChangeObserver(int id);

class TComponent : public TObject {
public:
    TComponent() = default;
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Creates a T owned by `owner` (MakeComponent makes one without owner).
    // A name already used by another component of the same owner (without
    // regard to case) is refused with std::invalid_argument, so that lookups
    // by name stay unambiguous; empty names are allowed.
    template <class T, class... Args>
    static T* Create(TComponent* owner, std::string name, Args&&... args) {
        if (!owner) throw std::invalid_argument("TComponent::Create needs an owner (use MakeComponent)");
        if (!name.empty() && owner->FindComponent(name))
            throw std::invalid_argument("A component named " + name + " already exists in " + owner->Name());
        auto p = std::make_unique<T>(std::forward<Args>(args)...);
        T* raw = p.get();
        raw->SetName(std::move(name));
        owner->InsertComponent(std::move(p));
        raw->Loaded();
        return raw;
    }

    const std::string& Name() const { return name_; }
    void SetName(std::string name);
    TComponent* Owner() const { return owner_; }
    int Tag() const { return tag_; }
    void SetTag(int tag) { tag_ = tag; }

    // Owned components, in creation order.
    int ComponentCount() const { return static_cast<int>(components_.size()); }
    TComponent* Components(int index) const;
    // An owned component by name, without regard to case; null when absent.
    TComponent* FindComponent(std::string_view name) const;
    // Searches owned components and what they own, depth first.
    TComponent* FindComponentDeep(std::string_view name) const;
    template <class T>
    T* Find(std::string_view name) const { return dynamic_cast<T*>(FindComponentDeep(name)); }

    // Takes ownership; a component with an owner is detached from it first.
    void InsertComponent(std::unique_ptr<TComponent> component);
    // Gives ownership back to the caller (null when not owned here).
    std::unique_ptr<TComponent> RemoveComponent(TComponent* component);
    // Destroys an owned component now (its destruction events run first).
    void DestroyComponent(TComponent* component);

    // Runs before the destructor, while the whole object is still alive:
    // destruction events belong here, not in destructors.
    virtual void BeforeDestruction();
    // Called once the component is created, named and owned.
    virtual void Loaded() {}

    // Kind name for views and transcripts ("TEdit", "TDBGrid", ...).
    virtual std::string ClassName() const { return "TComponent"; }

protected:
    // Reports a property change to the observers.
    void Changed(std::string_view property);

private:
    std::string name_;
    TComponent* owner_ = nullptr;
    int tag_ = 0;
    bool destroying_ = false;
    std::vector<std::unique_ptr<TComponent>> components_;
};

// Deletes a component that has no owner after running its destruction events.
struct ComponentDeleter {
    void operator()(TComponent* c) const {
        if (c) {
            c->BeforeDestruction();
            delete c;
        }
    }
};
template <class T>
using ComponentPtr = std::unique_ptr<T, ComponentDeleter>;

// A top-level component without owner.
template <class T, class... Args>
ComponentPtr<T> MakeComponent(std::string name, Args&&... args) {
    ComponentPtr<T> p(new T(std::forward<Args>(args)...));
    p->SetName(std::move(name));
    p->Loaded();
    return p;
}
