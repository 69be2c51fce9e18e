#pragma once
// Message maps: a static table per class, chained to its base class's table, that binds window
// messages, commands and notifications to member functions. Each entry carries a thunk typed
// after its handler's shape, which unpacks the message's parameters for it. The shapes that take
// window, DC or menu objects are in MessageMapShapes.h, where those classes are known.
#include <windows.h>

class CCmdTarget;
class CWnd;
class CDC;
class CPoint;
class CMenu;

// What a handler is called with: the message's parameters, and where its result goes.
struct AfxMessage {
    WPARAM wParam;
    LPARAM lParam;
    UINT ctlColor;          // WM_CTLCOLOR: the kind of control that asks
    LRESULT* result;
};

// An entry's thunk: unpacks the message for its handler's shape and calls the handler.
typedef void (*AFX_THUNK)(CCmdTarget* target, const AfxMessage& message);

// One specialisation per handler shape, written once: its Call<C, fn> is the thunk of the member
// function fn of class C. A handler of another shape than its entry names has no thunk and does
// not compile.
template <class Shape>
struct AfxShape;

// The class that declares a member function (a base class for an inherited handler).
template <class Fn>
struct AfxClassOf;
template <class C, class R, class... Args>
struct AfxClassOf<R (C::*)(Args...)> {
    using type = C;
};

#define AFX_THUNK_OF(Shape, fn) (&AfxShape<Shape>::template Call<AfxClassOf<decltype(fn)>::type, fn>)

template <>
struct AfxShape<void()> {
    template <class C, void (C::*fn)()>
    static void Call(CCmdTarget* target, const AfxMessage&)
    {
        (static_cast<C*>(target)->*fn)();
    }
};

template <>
struct AfxShape<LRESULT(WPARAM, LPARAM)> {
    template <class C, LRESULT (C::*fn)(WPARAM, LPARAM)>
    static void Call(CCmdTarget* target, const AfxMessage& m)
    {
        *m.result = (static_cast<C*>(target)->*fn)(m.wParam, m.lParam);
    }
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;         // notification code of WM_COMMAND / WM_NOTIFY
    UINT nID;           // first control id
    UINT nLastID;       // last control id
    const UINT* pRegisteredMessage;   // ON_REGISTERED_MESSAGE: where the message's number is kept
    AFX_THUNK pfn;      // null ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (PASCAL* pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// WM_CTLCOLORxxx all arrive at one entry, as the old 16-bit message did.
constexpr UINT WM_CTLCOLOR = 0x0019;

#define DECLARE_MESSAGE_MAP()                                  \
protected:                                                     \
    static const AFX_MSGMAP* PASCAL GetThisMessageMap();       \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                         \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); }  \
    const AFX_MSGMAP* PASCAL theClass::GetThisMessageMap()                             \
    {                                                                                  \
        typedef theClass ThisClass __attribute__((unused));                            \
        typedef baseClass TheBaseClass;                                                \
        static const AFX_MSGMAP_ENTRY _messageEntries[] = {

#define END_MESSAGE_MAP()                                                     \
        {0, 0, 0, 0, nullptr, nullptr}};                                      \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                   \
    }

// An entry of a handler of `Shape` for `message` (code and ids for commands and notifications).
#define AFX_ENTRY(message, code, id, idLast, Shape, fn) \
    {(UINT)(message), (UINT)(code), (UINT)(id), (UINT)(idLast), nullptr, AFX_THUNK_OF(Shape, fn)},

#define ON_COMMAND(id, fn) AFX_ENTRY(WM_COMMAND, 0, id, id, void(), &fn)
#define ON_COMMAND_RANGE(id, idLast, fn) AFX_ENTRY(WM_COMMAND, 0, id, idLast, void(), &fn)
#define ON_CONTROL(code, id, fn) AFX_ENTRY(WM_COMMAND, code, id, id, void(), &fn)
// STN_CLICKED of an SS_NOTIFY static is the same code, so a link label routes here too.
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) AFX_ENTRY(WM_NOTIFY, code, id, id, void(NMHDR*, LRESULT*), &fn)
#define ON_MESSAGE(message, fn) AFX_ENTRY(message, 0, 0, 0, LRESULT(WPARAM, LPARAM), &fn)

// A message number known only at run time (RegisterWindowMessage): the entry holds the address
// of the variable that stores it.
constexpr UINT AFX_REGISTERED_MESSAGE = 0xC000;
#define ON_REGISTERED_MESSAGE(messageVariable, fn) \
    {AFX_REGISTERED_MESSAGE, 0, 0, 0, &(messageVariable), AFX_THUNK_OF(LRESULT(WPARAM, LPARAM), &fn)},

#define ON_WM_PAINT() AFX_ENTRY(WM_PAINT, 0, 0, 0, void(), &ThisClass::OnPaint)
#define ON_WM_CLOSE() AFX_ENTRY(WM_CLOSE, 0, 0, 0, void(), &ThisClass::OnClose)
#define ON_WM_DESTROY() AFX_ENTRY(WM_DESTROY, 0, 0, 0, void(), &ThisClass::OnDestroy)
#define ON_WM_CANCELMODE() AFX_ENTRY(WM_CANCELMODE, 0, 0, 0, void(), &ThisClass::OnCancelMode)
#define ON_WM_MOUSELEAVE() AFX_ENTRY(WM_MOUSELEAVE, 0, 0, 0, void(), &ThisClass::OnMouseLeave)
#define ON_WM_LBUTTONDOWN() AFX_ENTRY(WM_LBUTTONDOWN, 0, 0, 0, void(UINT, CPoint), &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_ENTRY(WM_LBUTTONUP, 0, 0, 0, void(UINT, CPoint), &ThisClass::OnLButtonUp)
#define ON_WM_MOUSEMOVE() AFX_ENTRY(WM_MOUSEMOVE, 0, 0, 0, void(UINT, CPoint), &ThisClass::OnMouseMove)
#define ON_WM_MOUSEHOVER() AFX_ENTRY(WM_MOUSEHOVER, 0, 0, 0, void(UINT, CPoint), &ThisClass::OnMouseHover)
#define ON_WM_CTLCOLOR() AFX_ENTRY(WM_CTLCOLOR, 0, 0, 0, HBRUSH(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor)
#define ON_WM_WINDOWPOSCHANGING() \
    AFX_ENTRY(WM_WINDOWPOSCHANGING, 0, 0, 0, void(WINDOWPOS*), &ThisClass::OnWindowPosChanging)
#define ON_WM_TIMER() AFX_ENTRY(WM_TIMER, 0, 0, 0, void(UINT_PTR), &ThisClass::OnTimer)
#define ON_WM_ERASEBKGND() AFX_ENTRY(WM_ERASEBKGND, 0, 0, 0, BOOL(CDC*), &ThisClass::OnEraseBkgnd)
#define ON_WM_SYSCOMMAND() AFX_ENTRY(WM_SYSCOMMAND, 0, 0, 0, void(UINT, LPARAM), &ThisClass::OnSysCommand)
#define ON_WM_SHOWWINDOW() AFX_ENTRY(WM_SHOWWINDOW, 0, 0, 0, void(BOOL, UINT), &ThisClass::OnShowWindow)
#define ON_WM_DEVICECHANGE() AFX_ENTRY(WM_DEVICECHANGE, 0, 0, 0, BOOL(UINT, DWORD_PTR), &ThisClass::OnDeviceChange)
#define ON_WM_SIZE() AFX_ENTRY(WM_SIZE, 0, 0, 0, void(UINT, int, int), &ThisClass::OnSize)
#define ON_WM_MEASUREITEM() \
    AFX_ENTRY(WM_MEASUREITEM, 0, 0, 0, void(int, LPMEASUREITEMSTRUCT), &ThisClass::OnMeasureItem)
#define ON_WM_DRAWITEM() AFX_ENTRY(WM_DRAWITEM, 0, 0, 0, void(int, LPDRAWITEMSTRUCT), &ThisClass::OnDrawItem)
#define ON_WM_QUERYDRAGICON() AFX_ENTRY(WM_QUERYDRAGICON, 0, 0, 0, HCURSOR(), &ThisClass::OnQueryDragIcon)
#define ON_WM_SETCURSOR() AFX_ENTRY(WM_SETCURSOR, 0, 0, 0, BOOL(CWnd*, UINT, UINT), &ThisClass::OnSetCursor)
#define ON_WM_INITMENUPOPUP() \
    AFX_ENTRY(WM_INITMENUPOPUP, 0, 0, 0, void(CMenu*, UINT, BOOL), &ThisClass::OnInitMenuPopup)
#define ON_WM_MENUCHAR() AFX_ENTRY(WM_MENUCHAR, 0, 0, 0, LRESULT(UINT, UINT, CMenu*), &ThisClass::OnMenuChar)
#define ON_WM_CREATE() AFX_ENTRY(WM_CREATE, 0, 0, 0, int(LPCREATESTRUCTA), &ThisClass::OnCreate)
