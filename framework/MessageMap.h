#pragma once
// Message maps: a static table per class, chained to its base class's table, that binds window
// messages, commands and notifications to member functions. Each entry records the handler's
// signature so the dispatcher can unpack the message's parameters for it.
#include <windows.h>

class CCmdTarget;
class CWnd;
class CDC;
class CPoint;
class CMenu;

typedef void (CCmdTarget::*AFX_PMSG)();

// What a handler takes and returns.
enum AfxSig : UINT {
    AfxSig_end = 0,
    AfxSig_vv,          // void ()
    AfxSig_vwp,         // void (UINT flags, CPoint point)
    AfxSig_hDWw,        // HBRUSH (CDC*, CWnd*, UINT ctlColor)
    AfxSig_vPOS,        // void (WINDOWPOS*)
    AfxSig_vw_p,        // void (UINT_PTR id)
    AfxSig_bD,          // BOOL (CDC*)
    AfxSig_lwl,         // LRESULT (WPARAM, LPARAM)
    AfxSig_vwl,         // void (UINT, LPARAM)
    AfxSig_vbw,         // void (BOOL, UINT)
    AfxSig_vNMHDRpl,    // void (NMHDR*, LRESULT*)
    AfxSig_bwl,         // BOOL (UINT, DWORD_PTR)
    AfxSig_vww,         // void (UINT, int, int): WM_SIZE
    AfxSig_vMIS,        // void (int id, MEASUREITEMSTRUCT*)
    AfxSig_vDIS,        // void (int id, DRAWITEMSTRUCT*)
    AfxSig_hv,          // HCURSOR ()
    AfxSig_bWww,        // BOOL (CWnd*, UINT hitTest, UINT message)
    AfxSig_vMwb,        // void (CMenu*, UINT index, BOOL sysMenu)
    AfxSig_lwwM,        // LRESULT (UINT char, UINT flags, CMenu*)
    AfxSig_is,          // int (CREATESTRUCT*)
};

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;
    UINT nCode;         // notification code of WM_COMMAND / WM_NOTIFY
    UINT nID;           // first control id
    UINT nLastID;       // last control id
    UINT_PTR nSig;
    AFX_PMSG pfn;
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
        {0, 0, 0, 0, AfxSig_end, nullptr}};                                   \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, &_messageEntries[0]}; \
        return &messageMap;                                                   \
    }

// The handler's type is checked against the signature before it is stored untyped.
#define AFX_MSG_CAST(type, fn) AfxToPmsg(static_cast<type>(fn))

// A handler is stored untyped and called back with the type its entry's signature names; the
// bytes are copied, as the two member-pointer types have one layout.
template <typename Fn> AFX_PMSG AfxToPmsg(Fn fn)
{
    static_assert(sizeof(Fn) == sizeof(AFX_PMSG), "member pointers of one layout");
    AFX_PMSG stored;
    __builtin_memcpy(&stored, &fn, sizeof stored);
    return stored;
}
template <typename Fn> Fn AfxFromPmsg(AFX_PMSG stored)
{
    static_assert(sizeof(Fn) == sizeof(AFX_PMSG), "member pointers of one layout");
    Fn fn;
    __builtin_memcpy(&fn, &stored, sizeof fn);
    return fn;
}

#define ON_COMMAND(id, fn) {WM_COMMAND, 0, (UINT)(id), (UINT)(id), AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &fn)},
#define ON_COMMAND_RANGE(id, idLast, fn) \
    {WM_COMMAND, 0, (UINT)(id), (UINT)(idLast), AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &fn)},
#define ON_CONTROL(code, id, fn) \
    {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &fn)},
// STN_CLICKED of an SS_NOTIFY static is the same code, so a link label routes here too.
#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_NOTIFY(code, id, fn) \
    {WM_NOTIFY, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_vNMHDRpl, \
     AFX_MSG_CAST(void (CCmdTarget::*)(NMHDR*, LRESULT*), &fn)},
#define ON_MESSAGE(message, fn) \
    {(UINT)(message), 0, 0, 0, AfxSig_lwl, AFX_MSG_CAST(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &fn)},

// A message number known only at run time (RegisterWindowMessage): the entry holds the address
// of the variable that stores it.
constexpr UINT AFX_REGISTERED_MESSAGE = 0xC000;
#define ON_REGISTERED_MESSAGE(messageVariable, fn) \
    {AFX_REGISTERED_MESSAGE, 0, 0, 0, reinterpret_cast<UINT_PTR>(&(messageVariable)), \
     AFX_MSG_CAST(LRESULT (CCmdTarget::*)(WPARAM, LPARAM), &fn)},

#define ON_WM_PAINT() {WM_PAINT, 0, 0, 0, AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &ThisClass::OnPaint)},
#define ON_WM_CLOSE() {WM_CLOSE, 0, 0, 0, AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &ThisClass::OnClose)},
#define ON_WM_DESTROY() {WM_DESTROY, 0, 0, 0, AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &ThisClass::OnDestroy)},
#define ON_WM_CANCELMODE() {WM_CANCELMODE, 0, 0, 0, AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &ThisClass::OnCancelMode)},
#define ON_WM_MOUSELEAVE() {WM_MOUSELEAVE, 0, 0, 0, AfxSig_vv, AFX_MSG_CAST(void (CCmdTarget::*)(), &ThisClass::OnMouseLeave)},
#define ON_WM_LBUTTONDOWN() \
    {WM_LBUTTONDOWN, 0, 0, 0, AfxSig_vwp, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnLButtonDown)},
#define ON_WM_LBUTTONUP() \
    {WM_LBUTTONUP, 0, 0, 0, AfxSig_vwp, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnLButtonUp)},
#define ON_WM_MOUSEMOVE() \
    {WM_MOUSEMOVE, 0, 0, 0, AfxSig_vwp, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnMouseMove)},
#define ON_WM_MOUSEHOVER() \
    {WM_MOUSEHOVER, 0, 0, 0, AfxSig_vwp, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, CPoint), &ThisClass::OnMouseHover)},
#define ON_WM_CTLCOLOR() \
    {WM_CTLCOLOR, 0, 0, 0, AfxSig_hDWw, AFX_MSG_CAST(HBRUSH (CCmdTarget::*)(CDC*, CWnd*, UINT), &ThisClass::OnCtlColor)},
#define ON_WM_WINDOWPOSCHANGING() \
    {WM_WINDOWPOSCHANGING, 0, 0, 0, AfxSig_vPOS, \
     AFX_MSG_CAST(void (CCmdTarget::*)(WINDOWPOS*), &ThisClass::OnWindowPosChanging)},
#define ON_WM_TIMER() {WM_TIMER, 0, 0, 0, AfxSig_vw_p, AFX_MSG_CAST(void (CCmdTarget::*)(UINT_PTR), &ThisClass::OnTimer)},
#define ON_WM_ERASEBKGND() \
    {WM_ERASEBKGND, 0, 0, 0, AfxSig_bD, AFX_MSG_CAST(BOOL (CCmdTarget::*)(CDC*), &ThisClass::OnEraseBkgnd)},
#define ON_WM_SYSCOMMAND() \
    {WM_SYSCOMMAND, 0, 0, 0, AfxSig_vwl, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, LPARAM), &ThisClass::OnSysCommand)},
#define ON_WM_SHOWWINDOW() \
    {WM_SHOWWINDOW, 0, 0, 0, AfxSig_vbw, AFX_MSG_CAST(void (CCmdTarget::*)(BOOL, UINT), &ThisClass::OnShowWindow)},
#define ON_WM_DEVICECHANGE() \
    {WM_DEVICECHANGE, 0, 0, 0, AfxSig_bwl, AFX_MSG_CAST(BOOL (CCmdTarget::*)(UINT, DWORD_PTR), &ThisClass::OnDeviceChange)},
#define ON_WM_SIZE() {WM_SIZE, 0, 0, 0, AfxSig_vww, AFX_MSG_CAST(void (CCmdTarget::*)(UINT, int, int), &ThisClass::OnSize)},
#define ON_WM_MEASUREITEM() \
    {WM_MEASUREITEM, 0, 0, 0, AfxSig_vMIS, \
     AFX_MSG_CAST(void (CCmdTarget::*)(int, LPMEASUREITEMSTRUCT), &ThisClass::OnMeasureItem)},
#define ON_WM_DRAWITEM() \
    {WM_DRAWITEM, 0, 0, 0, AfxSig_vDIS, AFX_MSG_CAST(void (CCmdTarget::*)(int, LPDRAWITEMSTRUCT), &ThisClass::OnDrawItem)},
#define ON_WM_QUERYDRAGICON() \
    {WM_QUERYDRAGICON, 0, 0, 0, AfxSig_hv, AFX_MSG_CAST(HCURSOR (CCmdTarget::*)(), &ThisClass::OnQueryDragIcon)},
#define ON_WM_SETCURSOR() \
    {WM_SETCURSOR, 0, 0, 0, AfxSig_bWww, AFX_MSG_CAST(BOOL (CCmdTarget::*)(CWnd*, UINT, UINT), &ThisClass::OnSetCursor)},
#define ON_WM_INITMENUPOPUP() \
    {WM_INITMENUPOPUP, 0, 0, 0, AfxSig_vMwb, \
     AFX_MSG_CAST(void (CCmdTarget::*)(CMenu*, UINT, BOOL), &ThisClass::OnInitMenuPopup)},
#define ON_WM_MENUCHAR() \
    {WM_MENUCHAR, 0, 0, 0, AfxSig_lwwM, AFX_MSG_CAST(LRESULT (CCmdTarget::*)(UINT, UINT, CMenu*), &ThisClass::OnMenuChar)},
#define ON_WM_CREATE() \
    {WM_CREATE, 0, 0, 0, AfxSig_is, AFX_MSG_CAST(int (CCmdTarget::*)(LPCREATESTRUCTA), &ThisClass::OnCreate)},
