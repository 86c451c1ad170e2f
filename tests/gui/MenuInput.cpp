#include "MenuInput.h"

#include <commctrl.h>

#include <algorithm>

#include "GuiHarness.h"

namespace {

constexpr UINT kGetMenuHandle = 0x01E1; // MN_GETHMENU

// The menu shown by hWnd when it is a visible popup-menu window, else null.
HMENU MenuOfPopupWindow(HWND hWnd)
{
    if (ClassNameOf(hWnd) != "#32768" || !::IsWindowVisible(hWnd))
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
    if (!::CreateProcessA("Z:\\usr\\bin\\xdotool", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi))
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
    return PollUntil([pt] { return CursorAt(pt); }, kInputStepBudgetMs);
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

bool InputScript::Run(DWORD stepBudgetMs)
{
    m_stepBudgetMs = stepBudgetMs;
    m_failure.clear();
    m_done = 0;
    HANDLE hThread = ::CreateThread(nullptr, 0, &ThreadProc, this, 0, nullptr);
    if (!hThread) {
        m_failure = "no helper thread";
        return false;
    }
    // The popups' modal loops run in here, inside the message handling. Every
    // step of the helper ends within its budget.
    const DWORD allSteps = static_cast<DWORD>(m_steps.size() + 1) * stepBudgetMs;
    const bool ended = PumpUntil([this] { return m_done != 0; }, allSteps);
    const bool joined = ::WaitForSingleObject(hThread, stepBudgetMs) == WAIT_OBJECT_0;
    ::CloseHandle(hThread);
    if ((!ended || !joined) && m_failure.empty())
        m_failure = "the script did not end";
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
    for (const Step& step : m_steps) {
        const bool ok = step.action ? step.action() : PollUntil(step.cond, m_stepBudgetMs);
        if (!ok) {
            m_failure = (step.action ? "could not " : "timed out waiting for: ") + step.what;
            CloseAllPopups();
            return;
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
