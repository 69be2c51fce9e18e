#pragma once
// The handler shapes of the message map that take window, DC, menu or point objects: each one
// unpacks its message once, here, for every map that names it. Included by CWnd.h, where those
// classes are known.
#include "CDC.h"
#include "CMenu.h"
#include "CPoint.h"
#include "MessageMap.h"

// Mouse messages: key flags and the client position.
template <>
struct AfxShape<void(UINT, CPoint)> {
    template <class C, void (C::*fn)(UINT, CPoint)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<UINT>(m.wParam), CPoint(m.lParam));
    }
};

template <>
struct AfxShape<HBRUSH(CDC*, CWnd*, UINT)> {
    template <class C, HBRUSH (C::*fn)(CDC*, CWnd*, UINT)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = reinterpret_cast<LRESULT>((static_cast<C*>(target)->*fn)(
            CDC::FromHandle(reinterpret_cast<HDC>(m.wParam)), CWnd::FromHandle(reinterpret_cast<HWND>(m.lParam)),
            m.ctlColor));
    }
};

template <>
struct AfxShape<void(WINDOWPOS*)> {
    template <class C, void (C::*fn)(WINDOWPOS*)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(reinterpret_cast<WINDOWPOS*>(m.lParam));
    }
};

template <>
struct AfxShape<void(UINT_PTR)> {
    template <class C, void (C::*fn)(UINT_PTR)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<UINT_PTR>(m.wParam));
    }
};

template <>
struct AfxShape<BOOL(CDC*)> {
    template <class C, BOOL (C::*fn)(CDC*)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(CDC::FromHandle(reinterpret_cast<HDC>(m.wParam)));
    }
};

template <>
struct AfxShape<void(UINT, LPARAM)> {
    template <class C, void (C::*fn)(UINT, LPARAM)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<UINT>(m.wParam), m.lParam);
    }
};

template <>
struct AfxShape<void(BOOL, UINT)> {
    template <class C, void (C::*fn)(BOOL, UINT)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<BOOL>(m.wParam), static_cast<UINT>(m.lParam));
    }
};

// WM_NOTIFY: the header the notification starts with, and the result the handler may set.
template <>
struct AfxShape<void(NMHDR*, LRESULT*)> {
    template <class C, void (C::*fn)(NMHDR*, LRESULT*)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(reinterpret_cast<NMHDR*>(m.lParam), m.result);
    }
};

template <>
struct AfxShape<BOOL(UINT, DWORD_PTR)> {
    template <class C, BOOL (C::*fn)(UINT, DWORD_PTR)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(static_cast<UINT>(m.wParam), static_cast<DWORD_PTR>(m.lParam));
    }
};

// WM_SIZE: the kind of sizing and the new client size.
template <>
struct AfxShape<void(UINT, int, int)> {
    template <class C, void (C::*fn)(UINT, int, int)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<UINT>(m.wParam), static_cast<short>(LOWORD(m.lParam)),
                                       static_cast<short>(HIWORD(m.lParam)));
    }
};

template <>
struct AfxShape<void(int, LPMEASUREITEMSTRUCT)> {
    template <class C, void (C::*fn)(int, LPMEASUREITEMSTRUCT)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<int>(m.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(m.lParam));
        *m.result = TRUE;
    }
};

template <>
struct AfxShape<void(int, LPDRAWITEMSTRUCT)> {
    template <class C, void (C::*fn)(int, LPDRAWITEMSTRUCT)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(static_cast<int>(m.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(m.lParam));
        *m.result = TRUE;
    }
};

template <>
struct AfxShape<HCURSOR()> {
    template <class C, HCURSOR (C::*fn)()>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = reinterpret_cast<LRESULT>((static_cast<C*>(target)->*fn)());
    }
};

// WM_SETCURSOR: the window under the cursor, the hit-test code and the mouse message.
template <>
struct AfxShape<BOOL(CWnd*, UINT, UINT)> {
    template <class C, BOOL (C::*fn)(CWnd*, UINT, UINT)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(CWnd::FromHandle(reinterpret_cast<HWND>(m.wParam)),
                                                   LOWORD(m.lParam), HIWORD(m.lParam));
    }
};

// WM_INITMENUPOPUP: the menu, its index and whether it is the window menu.
template <>
struct AfxShape<void(CMenu*, UINT, BOOL)> {
    template <class C, void (C::*fn)(CMenu*, UINT, BOOL)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        (static_cast<C*>(target)->*fn)(CMenu::FromHandle(reinterpret_cast<HMENU>(m.wParam)), LOWORD(m.lParam),
                                       HIWORD(m.lParam));
    }
};

// WM_MENUCHAR: the character, the kind of menu and the menu.
template <>
struct AfxShape<LRESULT(UINT, UINT, CMenu*)> {
    template <class C, LRESULT (C::*fn)(UINT, UINT, CMenu*)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(LOWORD(m.wParam), HIWORD(m.wParam),
                                                   CMenu::FromHandle(reinterpret_cast<HMENU>(m.lParam)));
    }
};

template <>
struct AfxShape<int(LPCREATESTRUCTA)> {
    template <class C, int (C::*fn)(LPCREATESTRUCTA)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(reinterpret_cast<LPCREATESTRUCTA>(m.lParam));
    }
};
