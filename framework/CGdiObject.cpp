#include "CGdiObject.h"

#include <memory>
#include <vector>

namespace {

std::vector<std::unique_ptr<CGdiObject>>& Temporaries()
{
    static thread_local std::vector<std::unique_ptr<CGdiObject>> temporaries;
    return temporaries;
}

}  // namespace

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

BOOL CGdiObject::Attach(HGDIOBJ object)
{
    if (!object)
        return FALSE;
    DeleteObject();
    m_hObject = object;
    m_owned = true;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ object = m_hObject;
    m_hObject = nullptr;
    m_owned = true;
    return object;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    BOOL ok = TRUE;
    if (m_owned)
        ok = ::DeleteObject(m_hObject);
    m_hObject = nullptr;
    m_owned = true;
    return ok;
}

int CGdiObject::GetObject(int size, void* buffer) const
{
    return m_hObject ? ::GetObjectA(m_hObject, size, buffer) : 0;
}

void CGdiObject::KeepTemporary(CGdiObject* object)
{
    Temporaries().emplace_back(object);
}

void CGdiObject::DeleteTempMap()
{
    Temporaries().clear();
}
