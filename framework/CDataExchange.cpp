#include "CDataExchange.h"

#include <cstdlib>

#include "CWnd.h"

HWND CDataExchange::PrepareCtrl(int id)
{
    m_hWndLastControl = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    return m_hWndLastControl;
}

void CDataExchange::Fail()
{
    if (m_hWndLastControl)
        ::SetFocus(m_hWndLastControl);
    throw CDataExchangeFailure();
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control)
{
    if (control.m_hWnd)
        return;
    HWND item = dx->PrepareCtrl(id);
    if (item)
        control.SubclassWindow(item);
}

void DDX_Text(CDataExchange* dx, int id, CString& value)
{
    HWND item = dx->PrepareCtrl(id);
    if (!item)
        return;
    if (dx->m_bSaveAndValidate) {
        value = CWnd::FromHandle(item)->GetWindowText();
        return;
    }
    // Only a changed text is set: an edit would otherwise send EN_CHANGE (its page's handler may
    // write the fields back, again and again) and lose its caret.
    if (CWnd::FromHandle(item)->GetWindowText() != value)
        ::SetWindowTextA(item, value);
}

void DDX_Text(CDataExchange* dx, int id, int& value)
{
    HWND item = dx->PrepareCtrl(id);
    if (!item)
        return;
    if (dx->m_bSaveAndValidate) {
        const CString text = CWnd::FromHandle(item)->GetWindowText();
        char* end = nullptr;
        const long number = std::strtol(text, &end, 10);
        if (text.IsEmpty() || (end && *end))
            dx->Fail();
        value = static_cast<int>(number);
    } else {
        char buffer[16];
        wsprintfA(buffer, "%d", value);
        ::SetWindowTextA(item, buffer);
    }
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars)
{
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > maxChars)
            dx->Fail();
    } else if (dx->m_hWndLastControl) {
        ::SendMessageA(dx->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& value)
{
    HWND item = dx->PrepareCtrl(id);
    if (!item)
        return;
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(::SendMessageA(item, BM_GETCHECK, 0, 0));
    else
        ::SendMessageA(item, BM_SETCHECK, static_cast<WPARAM>(value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value)
{
    HWND item = dx->PrepareCtrl(id);
    if (!item)
        return;
    if (dx->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND radio = item; radio; radio = ::GetWindow(radio, GW_HWNDNEXT), ++index) {
        if (index > 0 && (::GetWindowLongPtrA(radio, GWL_STYLE) & WS_GROUP))
            break;
        if (dx->m_bSaveAndValidate) {
            if (::SendMessageA(radio, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(radio, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
    }
}
