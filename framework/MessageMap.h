// Message maps: tables that bind window messages and command ids to typed
// handler methods. Each entry holds a small "cracker" function, instantiated
// from the handler's signature, that unpacks WPARAM/LPARAM once and calls it.
#pragma once

#include <windows.h>

class CCmdTarget;
class CCmdUI;
class CWnd;
class CDC;
class CMenu;

// What a cracker receives: the raw message and, for commands, the id and the
// command's extra data (the CCmdUI of an update request, the NMHDR of a notify).
struct AfxCall {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    UINT nID;
    void* pExtra;
};

using AfxCracker = LRESULT (*)(CCmdTarget* target, const AfxCall& call);

// Entry kinds for nCode of WM_COMMAND entries.
constexpr UINT CN_COMMAND = 0;
constexpr UINT CN_UPDATE_COMMAND_UI = static_cast<UINT>(-1);

struct AFX_MSGMAP_ENTRY {
    UINT nMessage;  // window message; WM_COMMAND for command and update entries, WM_NOTIFY for notifications
    UINT nCode;     // CN_COMMAND, CN_UPDATE_COMMAND_UI, or the notification code
    UINT nID;       // first command or control id
    UINT nLastID;   // last id of a range (== nID for one id)
    AfxCracker pfn; // nullptr ends the table
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Finds the class a member function pointer belongs to.
template <class> struct AfxMemberOf;
template <class C, class R, class... A> struct AfxMemberOf<R (C::*)(A...)> {
    using type = C;
};

template <auto F> inline auto* AfxSelf(CCmdTarget* p)
{
    return static_cast<typename AfxMemberOf<decltype(F)>::type*>(p);
}

// Crackers, one per handler signature.
template <auto F> LRESULT AfxCrack_v(CCmdTarget* p, const AfxCall&)
{
    (AfxSelf<F>(p)->*F)();
    return 0;
}
template <auto F> LRESULT AfxCrack_id(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(c.nID);
    return 0;
}
template <auto F> LRESULT AfxCrack_cmdui(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<CCmdUI*>(c.pExtra));
    return 0;
}
template <auto F> LRESULT AfxCrack_notify(CCmdTarget* p, const AfxCall& c)
{
    LRESULT result = 0;
    (AfxSelf<F>(p)->*F)(reinterpret_cast<NMHDR*>(c.lParam), &result);
    return result;
}
template <auto F> LRESULT AfxCrack_wl(CCmdTarget* p, const AfxCall& c)
{
    return (AfxSelf<F>(p)->*F)(c.wParam, c.lParam);
}
template <auto F> LRESULT AfxCrack_create(CCmdTarget* p, const AfxCall& c)
{
    return (AfxSelf<F>(p)->*F)(reinterpret_cast<LPCREATESTRUCTA>(c.lParam));
}
template <auto F> LRESULT AfxCrack_size(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<UINT>(c.wParam), static_cast<short>(LOWORD(c.lParam)),
                        static_cast<short>(HIWORD(c.lParam)));
    return 0;
}
template <auto F> LRESULT AfxCrack_timer(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<UINT_PTR>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCrack_mouse(CCmdTarget* p, const AfxCall& c)
{
    POINT pt = {static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))};
    (AfxSelf<F>(p)->*F)(static_cast<UINT>(c.wParam), pt);
    return 0;
}
template <auto F> LRESULT AfxCrack_hwnd(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(reinterpret_cast<HWND>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCrack_drop(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(reinterpret_cast<HDROP>(c.wParam));
    return 0;
}
template <auto F> LRESULT AfxCrack_erase(CCmdTarget* p, const AfxCall& c)
{
    return (AfxSelf<F>(p)->*F)(reinterpret_cast<HDC>(c.wParam));
}
template <auto F> LRESULT AfxCrack_contextmenu(CCmdTarget* p, const AfxCall& c)
{
    POINT pt = {static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))};
    (AfxSelf<F>(p)->*F)(reinterpret_cast<HWND>(c.wParam), pt);
    return 0;
}
template <auto F> LRESULT AfxCrack_initmenupopup(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(reinterpret_cast<HMENU>(c.wParam), static_cast<UINT>(LOWORD(c.lParam)),
                        static_cast<BOOL>(HIWORD(c.lParam)));
    return 0;
}
template <auto F> LRESULT AfxCrack_uninitmenupopup(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(reinterpret_cast<HMENU>(c.wParam), static_cast<UINT>(HIWORD(c.lParam)));
    return 0;
}
template <auto F> LRESULT AfxCrack_char(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<UINT>(c.wParam), static_cast<UINT>(LOWORD(c.lParam)),
                        static_cast<UINT>(HIWORD(c.lParam)));
    return 0;
}
template <auto F> LRESULT AfxCrack_menuselect(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<UINT>(LOWORD(c.wParam)), static_cast<UINT>(HIWORD(c.wParam)),
                        reinterpret_cast<HMENU>(c.lParam));
    return 0;
}
template <auto F> LRESULT AfxCrack_measureitem(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<int>(c.wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(c.lParam));
    return TRUE;
}
template <auto F> LRESULT AfxCrack_drawitem(CCmdTarget* p, const AfxCall& c)
{
    (AfxSelf<F>(p)->*F)(static_cast<int>(c.wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(c.lParam));
    return TRUE;
}

template <auto F> LRESULT AfxCrack_mousewheel(CCmdTarget* p, const AfxCall& c)
{
    POINT pt = {static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))};
    return (AfxSelf<F>(p)->*F)(static_cast<UINT>(GET_KEYSTATE_WPARAM(c.wParam)), GET_WHEEL_DELTA_WPARAM(c.wParam), pt);
}
template <auto F> LRESULT AfxCrack_xbutton(CCmdTarget* p, const AfxCall& c)
{
    POINT pt = {static_cast<short>(LOWORD(c.lParam)), static_cast<short>(HIWORD(c.lParam))};
    (AfxSelf<F>(p)->*F)(static_cast<UINT>(GET_KEYSTATE_WPARAM(c.wParam)),
                        static_cast<UINT>(GET_XBUTTON_WPARAM(c.wParam)), pt);
    return TRUE; // an application that handles an X button returns TRUE
}
template <auto F> LRESULT AfxCrack_appcommand(CCmdTarget* p, const AfxCall& c)
{
    return (AfxSelf<F>(p)->*F)(reinterpret_cast<HWND>(c.wParam), static_cast<UINT>(GET_APPCOMMAND_LPARAM(c.lParam)),
                               static_cast<UINT>(GET_DEVICE_LPARAM(c.lParam)),
                               static_cast<UINT>(GET_KEYSTATE_LPARAM(c.lParam)));
}

template <auto F> LRESULT AfxCrack_setcursor(CCmdTarget* p, const AfxCall& c)
{
    return (AfxSelf<F>(p)->*F)(reinterpret_cast<HWND>(c.wParam), static_cast<UINT>(LOWORD(c.lParam)),
                               static_cast<UINT>(HIWORD(c.lParam)));
}

// The map macros open and close a function around the entries: kept as written.
// clang-format off
#define DECLARE_MESSAGE_MAP()                          \
protected:                                             \
    static const AFX_MSGMAP* GetThisMessageMap();      \
                                                       \
public:                                                \
    const AFX_MSGMAP* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                   \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap()                              \
    {                                                                            \
        using ThisClass [[maybe_unused]] = theClass;                             \
        using TheBaseClass = baseClass;                                          \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP()                                                   \
        {0, 0, 0, 0, nullptr}};                                             \
        static const AFX_MSGMAP messageMap = {&TheBaseClass::GetThisMessageMap, entries}; \
        return &messageMap;                                                 \
    }
// clang-format on

// Commands.
#define ON_COMMAND(id, fn)               {WM_COMMAND, CN_COMMAND, (id), (id), &AfxCrack_v<&ThisClass::fn>},
#define ON_COMMAND_RANGE(id, idLast, fn) {WM_COMMAND, CN_COMMAND, (id), (idLast), &AfxCrack_id<&ThisClass::fn>},
#define ON_UPDATE_COMMAND_UI(id, fn)     {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (id), &AfxCrack_cmdui<&ThisClass::fn>},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, fn) \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (id), (idLast), &AfxCrack_cmdui<&ThisClass::fn>},
// A button's click, sent to its parent (BN_CLICKED is notification code 0).
#define ON_BN_CLICKED(id, fn)   {WM_COMMAND, BN_CLICKED, (id), (id), &AfxCrack_v<&ThisClass::fn>},
#define ON_NOTIFY(code, id, fn) {WM_NOTIFY, static_cast<UINT>(code), (id), (id), &AfxCrack_notify<&ThisClass::fn>},
// A notification the control sends to its parent, handled by the control's own class.
#define ON_NOTIFY_REFLECT(code, fn) \
    {WM_NOTIFY + 0xBC00, static_cast<UINT>(code), 0, 0, &AfxCrack_notify<&ThisClass::fn>},
#define ON_MESSAGE(msg, fn) {(msg), 0, 0, 0, &AfxCrack_wl<&ThisClass::fn>},

// Window messages, each cracked into the handler's usual arguments.
#define ON_WM_CREATE()          {WM_CREATE, 0, 0, 0, &AfxCrack_create<&ThisClass::OnCreate>},
#define ON_WM_DESTROY()         {WM_DESTROY, 0, 0, 0, &AfxCrack_v<&ThisClass::OnDestroy>},
#define ON_WM_CLOSE()           {WM_CLOSE, 0, 0, 0, &AfxCrack_v<&ThisClass::OnClose>},
#define ON_WM_PAINT()           {WM_PAINT, 0, 0, 0, &AfxCrack_v<&ThisClass::OnPaint>},
#define ON_WM_ERASEBKGND()      {WM_ERASEBKGND, 0, 0, 0, &AfxCrack_erase<&ThisClass::OnEraseBkgnd>},
#define ON_WM_SIZE()            {WM_SIZE, 0, 0, 0, &AfxCrack_size<&ThisClass::OnSize>},
#define ON_WM_SETFOCUS()        {WM_SETFOCUS, 0, 0, 0, &AfxCrack_hwnd<&ThisClass::OnSetFocus>},
#define ON_WM_TIMER()           {WM_TIMER, 0, 0, 0, &AfxCrack_timer<&ThisClass::OnTimer>},
#define ON_WM_DROPFILES()       {WM_DROPFILES, 0, 0, 0, &AfxCrack_drop<&ThisClass::OnDropFiles>},
#define ON_WM_LBUTTONDOWN()     {WM_LBUTTONDOWN, 0, 0, 0, &AfxCrack_mouse<&ThisClass::OnLButtonDown>},
#define ON_WM_LBUTTONDBLCLK()   {WM_LBUTTONDBLCLK, 0, 0, 0, &AfxCrack_mouse<&ThisClass::OnLButtonDblClk>},
#define ON_WM_RBUTTONDOWN()     {WM_RBUTTONDOWN, 0, 0, 0, &AfxCrack_mouse<&ThisClass::OnRButtonDown>},
#define ON_WM_MOUSEMOVE()       {WM_MOUSEMOVE, 0, 0, 0, &AfxCrack_mouse<&ThisClass::OnMouseMove>},
#define ON_WM_CONTEXTMENU()     {WM_CONTEXTMENU, 0, 0, 0, &AfxCrack_contextmenu<&ThisClass::OnContextMenu>},
#define ON_WM_INITMENUPOPUP()   {WM_INITMENUPOPUP, 0, 0, 0, &AfxCrack_initmenupopup<&ThisClass::OnInitMenuPopup>},
#define ON_WM_UNINITMENUPOPUP() {WM_UNINITMENUPOPUP, 0, 0, 0, &AfxCrack_uninitmenupopup<&ThisClass::OnUninitMenuPopup>},
#define ON_WM_CHAR()            {WM_CHAR, 0, 0, 0, &AfxCrack_char<&ThisClass::OnChar>},
#define ON_WM_MENUSELECT()      {WM_MENUSELECT, 0, 0, 0, &AfxCrack_menuselect<&ThisClass::OnMenuSelect>},
#define ON_WM_MEASUREITEM()     {WM_MEASUREITEM, 0, 0, 0, &AfxCrack_measureitem<&ThisClass::OnMeasureItem>},
#define ON_WM_DRAWITEM()        {WM_DRAWITEM, 0, 0, 0, &AfxCrack_drawitem<&ThisClass::OnDrawItem>},
#define ON_WM_MOUSEWHEEL()      {WM_MOUSEWHEEL, 0, 0, 0, &AfxCrack_mousewheel<&ThisClass::OnMouseWheel>},
#define ON_WM_XBUTTONUP()       {WM_XBUTTONUP, 0, 0, 0, &AfxCrack_xbutton<&ThisClass::OnXButtonUp>},
#define ON_WM_APPCOMMAND()      {WM_APPCOMMAND, 0, 0, 0, &AfxCrack_appcommand<&ThisClass::OnAppCommand>},
#define ON_WM_SETCURSOR()       {WM_SETCURSOR, 0, 0, 0, &AfxCrack_setcursor<&ThisClass::OnSetCursor>},
