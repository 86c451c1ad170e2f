#include "MenuInput.h"

#include <commctrl.h>

#include <algorithm>

#include "GuiHarness.h"

namespace {

constexpr UINT kGetMenuHandle = 0x01E1; // MN_GETHMENU
constexpr DWORD kPollMs = 10;

// The menu shown by hWnd when it is a visible popup-menu window, else null.
HMENU MenuOfPopupWindow(HWND hWnd)
{
    char name[16] = {};
    ::GetClassNameA(hWnd, name, sizeof(name));
    if (std::string(name) != "#32768" || !::IsWindowVisible(hWnd))
        return nullptr;
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hWnd, kGetMenuHandle, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
        return nullptr;
    return reinterpret_cast<HMENU>(result);
}

// Mouse input goes through the X server with xdotool: while a popup is open,
// Wine holds a pointer grab and refuses to move the pointer for SendInput,
// and the X pointer would pull the cursor back at the next popup.
bool RunXdotool(const std::string& args)
{
    std::string command = "xdotool " + args;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessA("Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return false;
    // A Unix process cannot be waited for; the caller watches its effect.
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return true;
}

bool CursorAt(POINT pt)
{
    POINT cursor = {};
    return ::GetCursorPos(&cursor) && cursor.x == pt.x && cursor.y == pt.y;
}

} // namespace

std::vector<HMENU> OpenPopupMenus(DWORD threadId)
{
    std::vector<HMENU> menus;
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            if (HMENU hMenu = MenuOfPopupWindow(hWnd))
                reinterpret_cast<std::vector<HMENU>*>(lParam)->push_back(hMenu);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&menus));
    std::sort(menus.begin(), menus.end());
    return menus;
}

HWND PopupWindowOf(DWORD threadId, HMENU hMenu)
{
    struct Search {
        HMENU hMenu;
        HWND hFound;
    } search = {hMenu, nullptr};
    ::EnumThreadWindows(
        threadId,
        [](HWND hWnd, LPARAM lParam) -> BOOL {
            auto* p = reinterpret_cast<Search*>(lParam);
            if (MenuOfPopupWindow(hWnd) == p->hMenu)
                p->hFound = hWnd;
            return p->hFound == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

int HotItemOf(HWND hToolBar)
{
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutA(hToolBar, TB_GETHOTITEM, 0, 0, SMTO_ABORTIFHUNG, 1000, &result))
        return -2;
    return static_cast<int>(static_cast<LONG_PTR>(result));
}

bool MoveMouseTo(POINT pt)
{
    if (CursorAt(pt))
        return true;
    if (!RunXdotool("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y)))
        return false;
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 2000; ::Sleep(kPollMs)) {
        if (CursorAt(pt))
            return true;
    }
    return false;
}

bool ClickAt(POINT pt, int button)
{
    return MoveMouseTo(pt) && RunXdotool("click " + std::to_string(button));
}

POINT ScreenCentre(HWND hWnd, RECT rc)
{
    POINT pt = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    ::ClientToScreen(hWnd, &pt);
    return pt;
}

void PrepareForInput(HWND hWnd, HWND hFocus)
{
    RECT rc = WindowRectOf(hWnd);
    MoveMouseTo(POINT{rc.right + 40, rc.bottom + 40});
    ::SetForegroundWindow(hWnd);
    ::SetActiveWindow(hWnd);
    ::SetFocus(hFocus);
    PumpUntil([&] { return ::GetForegroundWindow() == hWnd && ::GetFocus() == hFocus; }, 2000);
    PumpMessages(50);
}

thread_local MessageLog* MessageLog::s_pCurrent = nullptr;

MessageLog::MessageLog()
{
    s_pCurrent = this;
    m_hGetMessage = ::SetWindowsHookExA(WH_GETMESSAGE, &GetMessageProc, nullptr, ::GetCurrentThreadId());
    m_hCallWnd = ::SetWindowsHookExA(WH_CALLWNDPROC, &CallWndProc, nullptr, ::GetCurrentThreadId());
}

MessageLog::~MessageLog()
{
    ::UnhookWindowsHookEx(m_hGetMessage);
    ::UnhookWindowsHookEx(m_hCallWnd);
    s_pCurrent = nullptr;
}

std::vector<MessageLog::Entry> MessageLog::Select(const std::vector<Entry>& entries, UINT message)
{
    std::vector<Entry> selected;
    for (const Entry& e : entries)
        if (e.message == message)
            selected.push_back(e);
    return selected;
}

LRESULT CALLBACK MessageLog::GetMessageProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam & PM_REMOVE) && s_pCurrent) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        s_pCurrent->m_posted.push_back(Entry{msg->hwnd, msg->message, msg->wParam, msg->lParam});
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK MessageLog::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && s_pCurrent) {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        s_pCurrent->m_sent.push_back(Entry{cwp->hwnd, cwp->message, cwp->wParam, cwp->lParam});
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

InputScript& InputScript::WaitFor(const std::string& what, std::function<bool()> cond)
{
    m_steps.push_back(Step{what, std::move(cond), nullptr});
    return *this;
}

InputScript& InputScript::WaitForPopups(const std::string& what, std::vector<HMENU> menus)
{
    std::sort(menus.begin(), menus.end());
    DWORD threadId = m_uiThreadId;
    return WaitFor(what, [threadId, menus] { return OpenPopupMenus(threadId) == menus; });
}

InputScript& InputScript::WaitForNoPopup(const std::string& what)
{
    return WaitForPopups(what, {});
}

InputScript& InputScript::Do(std::function<void()> action)
{
    m_steps.push_back(Step{std::string(), nullptr, [action] { return action(), true; }});
    return *this;
}

InputScript& InputScript::MoveTo(POINT pt)
{
    m_steps.push_back(Step{"move the mouse", nullptr, [pt] { return MoveMouseTo(pt); }});
    return *this;
}

InputScript& InputScript::Click(POINT pt, int button)
{
    m_steps.push_back(Step{"click", nullptr, [pt, button] { return ClickAt(pt, button); }});
    return *this;
}

bool InputScript::Run(DWORD timeoutMs)
{
    m_timeoutMs = timeoutMs;
    m_failure.clear();
    m_done = 0;
    HANDLE hThread = ::CreateThread(nullptr, 0, &ThreadProc, this, 0, nullptr);
    if (!hThread) {
        m_failure = "no helper thread";
        return false;
    }
    // The popups' modal loops run in here, inside the message handling.
    PumpUntil([this] { return m_done != 0; }, timeoutMs + 4000);
    ::WaitForSingleObject(hThread, 5000);
    ::CloseHandle(hThread);
    PumpMessages(20);
    return m_failure.empty();
}

DWORD WINAPI InputScript::ThreadProc(void* pParam)
{
    auto* pScript = static_cast<InputScript*>(pParam);
    pScript->RunSteps();
    ::InterlockedExchange(&pScript->m_done, 1);
    return 0;
}

void InputScript::RunSteps()
{
    DWORD start = ::GetTickCount();
    for (const Step& step : m_steps) {
        if (step.action) {
            if (!step.action()) {
                m_failure = "could not " + step.what;
                CloseAllPopups();
                return;
            }
            continue;
        }
        while (!step.cond()) {
            if (::GetTickCount() - start > m_timeoutMs) {
                m_failure = "timed out waiting for: " + step.what;
                CloseAllPopups();
                return;
            }
            ::Sleep(kPollMs);
        }
    }
}

// Leaves no popup behind for the next test.
void InputScript::CloseAllPopups()
{
    for (int i = 0; i < 20 && !OpenPopupMenus(m_uiThreadId).empty(); ++i) {
        TapKey(VK_ESCAPE);
        ::Sleep(50);
    }
}
