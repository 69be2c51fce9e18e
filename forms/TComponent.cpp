#include "TComponent.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const kPublished[] = {"Name", "Tag", nullptr};

void Erase(std::vector<TComponent*>& list, TComponent* component)
{
    list.erase(std::remove(list.begin(), list.end(), component), list.end());
}

}  // namespace

TComponent::TComponent(TComponent* owner)
{
    if (owner) {
        if (owner->IsLoading())
            m_state |= csLoading;
        owner->Insert(this);
    }
}

TComponent::~TComponent()
{
    m_state |= csDestroying;
    // Everyone who asked to be told, then the components this one owns.
    std::vector<TComponent*> notifies;
    notifies.swap(m_freeNotifies);
    for (TComponent* c : notifies) {
        Erase(c->m_freeNotifies, this);
        c->Notification(this, opRemove);
    }
    DestroyComponents();
    if (m_owner)
        m_owner->Remove(this);
}

void TComponent::Insert(TComponent* component)
{
    m_components.push_back(component);
    component->m_owner = this;
    Notification(component, opInsert);
}

void TComponent::Remove(TComponent* component)
{
    Erase(m_components, component);
    component->m_owner = nullptr;
    if (!IsDestroying())
        Notification(component, opRemove);
}

void TComponent::DestroyComponents()
{
    while (!m_components.empty()) {
        TComponent* last = m_components.back();
        delete last;    // its destructor takes it off the list
    }
}

TComponent* TComponent::FindComponent(const std::string& name) const
{
    for (TComponent* c : m_components)
        if (!name.empty() && c->m_name == name)
            return c;
    return nullptr;
}

void TComponent::BeginLoading()
{
    m_state |= csLoading;
    for (TComponent* c : m_components)
        c->BeginLoading();
}

void TComponent::EndLoading()
{
    // A Loaded handler may create components; walk by index.
    for (size_t i = 0; i < m_components.size(); ++i)
        if (m_components[i]->IsLoading())
            m_components[i]->EndLoading();
    Loaded();
}

void TComponent::Loaded()
{
    m_state &= ~static_cast<unsigned>(csLoading);
}

void TComponent::FreeNotification(TComponent* component)
{
    if (!component || component == this)
        return;
    if (std::find(m_freeNotifies.begin(), m_freeNotifies.end(), component) == m_freeNotifies.end())
        m_freeNotifies.push_back(component);
    if (std::find(component->m_freeNotifies.begin(), component->m_freeNotifies.end(), this) ==
        component->m_freeNotifies.end())
        component->m_freeNotifies.push_back(this);
}

void TComponent::RemoveFreeNotification(TComponent* component)
{
    Erase(m_freeNotifies, component);
    if (component)
        Erase(component->m_freeNotifies, this);
}

void TComponent::Notification(TComponent* component, TOperation operation)
{
    if (operation == opRemove && component)
        RemoveFreeNotification(component);
    // Passed on to every owned component, so a sibling that refers to the one going hears of it.
    for (size_t i = m_components.size(); i-- > 0;) {
        if (i >= m_components.size())
            continue;
        if (m_components[i] != component)
            m_components[i]->Notification(component, operation);
    }
}

bool TComponent::HasPublished(const char* name) const
{
    return NameIn(kPublished, name);
}

bool TComponent::NameIn(const char* const* names, const char* name)
{
    for (; *names; ++names)
        if (std::strcmp(*names, name) == 0)
            return true;
    return false;
}
