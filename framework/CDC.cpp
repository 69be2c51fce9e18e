#include "CDC.h"

#include <memory>
#include <vector>

#include "CGdiObject.h"
#include "CWnd.h"
#include "GdiObject.h"

namespace {

std::vector<std::unique_ptr<CDC>>& Temporaries()
{
    static thread_local std::vector<std::unique_ptr<CDC>> temporaries;
    return temporaries;
}

}  // namespace

CDC::~CDC()
{
    DeleteDC();
}

CDC* CDC::FromHandle(HDC dc)
{
    if (!dc)
        return nullptr;
    auto wrapper = std::make_unique<CDC>();
    wrapper->m_hDC = dc;
    wrapper->m_owned = false;
    Temporaries().push_back(std::move(wrapper));
    return Temporaries().back().get();
}

void CDC::DeleteTempMap()
{
    Temporaries().clear();
}

BOOL CDC::CreateCompatibleDC(CDC* dc)
{
    return CreateCompatibleDC(dc ? dc->m_hDC : nullptr);
}

BOOL CDC::CreateCompatibleDC(HDC dc)
{
    return Attach(::CreateCompatibleDC(dc));
}

BOOL CDC::DeleteDC()
{
    if (!m_hDC)
        return FALSE;
    BOOL ok = TRUE;
    if (m_owned)
        ok = ::DeleteDC(m_hDC);
    m_hDC = nullptr;
    m_owned = false;
    return ok;
}

BOOL CDC::Attach(HDC dc)
{
    if (!dc)
        return FALSE;
    DeleteDC();
    m_hDC = dc;
    m_owned = true;
    return TRUE;
}

HDC CDC::Detach()
{
    HDC dc = m_hDC;
    m_hDC = nullptr;
    m_owned = false;
    return dc;
}

HGDIOBJ CDC::SelectObject(CGdiObject* object)
{
    return object && object->m_hObject ? ::SelectObject(m_hDC, object->m_hObject) : nullptr;
}

CSize CDC::GetTextExtent(const CString& text) const
{
    SIZE size = {};
    ::GetTextExtentPoint32A(m_hDC, text, text.GetLength(), &size);
    return CSize(size);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF color)
{
    const GdiBrush brush(::CreateSolidBrush(color));
    ::FillRect(m_hDC, &rect, brush.Get());
}

CPaintDC::CPaintDC(CWnd* wnd) : m_hWnd(wnd->GetSafeHwnd())
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
    m_owned = false;
}

CPaintDC::~CPaintDC()
{
    ::EndPaint(m_hWnd, &m_ps);
    m_hDC = nullptr;
}

CClientDC::CClientDC(CWnd* wnd) : m_hWnd(wnd ? wnd->GetSafeHwnd() : nullptr)
{
    m_hDC = ::GetDC(m_hWnd);
    m_owned = false;
}

CClientDC::~CClientDC()
{
    if (m_hDC)
        ::ReleaseDC(m_hWnd, m_hDC);
    m_hDC = nullptr;
}
