#pragma once
// A component of a form: owned by another component (which frees it), named, told when other
// components come and go. While a form is being built its components are loading: no events fire,
// and `Loaded` runs on each of them once the whole form is read.
#include "TObject.h"

#include <string>
#include <vector>

enum TComponentStateFlag : unsigned { csLoading = 1, csDesigning = 2, csDestroying = 4 };
enum TOperation { opInsert, opRemove };

class TComponent : public TObject {
public:
    explicit TComponent(TComponent* owner);
    ~TComponent() override;

    const char* ClassName() const override { return "TComponent"; }

    TComponent* Owner() const { return m_owner; }
    const std::string& Name() const { return m_name; }
    void SetName(const std::string& name) { m_name = name; }
    int ComponentCount() const { return static_cast<int>(m_components.size()); }
    TComponent* Components(int index) const { return m_components[static_cast<size_t>(index)]; }
    TComponent* FindComponent(const std::string& name) const;

    unsigned ComponentState() const { return m_state; }
    bool IsLoading() const { return (m_state & csLoading) != 0; }
    bool IsDestroying() const { return (m_state & csDestroying) != 0; }

    // Marks this component and all it owns as loading; components created while the owner loads
    // start loading too.
    void BeginLoading();
    // Runs `Loaded` on every owned component in creation order, then on this one.
    void EndLoading();

    // Asks to be told (opRemove) when `component` goes, even when neither owns the other.
    void FreeNotification(TComponent* component);
    void RemoveFreeNotification(TComponent* component);

    // Published-property probe: whether the class publishes a property of this name.
    virtual bool HasPublished(const char* name) const;

    // Called with opInsert when a component joins this one's owner, with opRemove when one goes.
    virtual void Notification(TComponent* component, TOperation operation);

protected:
    virtual void Loaded();
    // Frees the owned components, last created first. Derived classes whose components use
    // resources of theirs (windows) call it first in their destructor.
    void DestroyComponents();
    void MarkDestroying() { m_state |= csDestroying; }

    // True when `name` is one of the null-ended `names`.
    static bool NameIn(const char* const* names, const char* name);

    // Points `slot` at `component` (or at nothing), to be told when that one goes instead of the
    // one it pointed at before.
    template <class T>
    void ReferTo(T*& slot, T* component)
    {
        if (slot)
            RemoveFreeNotification(slot);
        slot = component;
        if (component)
            FreeNotification(component);
    }

private:
    void Insert(TComponent* component);
    void Remove(TComponent* component);

    TComponent* m_owner = nullptr;
    std::string m_name;
    std::vector<TComponent*> m_components;
    std::vector<TComponent*> m_freeNotifies;
    unsigned m_state = 0;
};
