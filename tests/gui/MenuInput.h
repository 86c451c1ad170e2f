// Driving popup menus with real input. A popup runs its own modal loop on the
// user-interface thread, so the input comes from a helper thread: a script of
// steps, each waiting for something to show on screen (a popup menu, a hot
// button) before it types or clicks, while the test thread pumps messages and
// so runs the menu loops.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "support/KeyInput.h"

// The popup menus open on thread threadId, read from their windows ("#32768").
std::vector<HMENU> OpenPopupMenus(DWORD threadId);
// The window of the open popup menu hMenu on thread threadId, or null.
HWND PopupWindowOf(DWORD threadId, HMENU hMenu);
// The hot button of a toolbar (TB_GETHOTITEM), asked from any thread.
int HotItemOf(HWND hToolBar);

// How long one step of scripted input may take: a wait for what the step
// expects, or the pointer reaching a point. Each step has its own budget,
// counted from its start, so a slow step does not eat the budget of the next.
constexpr DWORD kInputStepBudgetMs = 5000;

// Real mouse input (through the X server; keys: support/KeyInput.h); points
// are in screen coordinates. The functions return false when the pointer did
// not get there within kInputStepBudgetMs.
bool MoveMouseTo(POINT pt);
// Clicks button 1 (left) or 3 (right) of the mouse.
bool ClickAt(POINT pt, int button = 1);
// The centre of a window's client rectangle rc, in screen coordinates.
POINT ScreenCentre(HWND hWnd, RECT rc);

// Puts hWnd in front with the keyboard focus on hFocus, so that typed keys
// reach this thread, and parks the mouse away from it.
void PrepareForInput(HWND hWnd, HWND hFocus);

class InputScript {
public:
    explicit InputScript(DWORD uiThreadId) : m_uiThreadId(uiThreadId) {}

    // Waits (on the helper thread) until cond() holds.
    InputScript& WaitFor(const std::string& what, std::function<bool()> cond);
    InputScript& WaitForPopups(const std::string& what, std::vector<HMENU> menus);
    InputScript& WaitForNoPopup(const std::string& what);
    // Acts once the previous waits are over.
    InputScript& Do(std::function<void()> action);
    InputScript& Key(WORD vk)
    {
        return Do([vk] { TapKey(vk); });
    }
    InputScript& MoveTo(POINT pt);
    InputScript& Click(POINT pt, int button = 1);

    // Runs the steps on a helper thread while this thread pumps messages; each
    // wait may take stepBudgetMs. On a step that fails or runs out of its
    // budget, every popup is closed and the step is reported.
    bool Run(DWORD stepBudgetMs = kInputStepBudgetMs);
    const std::string& Failure() const { return m_failure; }

private:
    struct Step {
        std::string what; // set for a wait
        std::function<bool()> cond;
        std::function<bool()> action; // false: the step failed
    };
    static DWORD WINAPI ThreadProc(void* pParam);
    void RunSteps();
    void CloseAllPopups();

    DWORD m_uiThreadId;
    std::vector<Step> m_steps;
    DWORD m_stepBudgetMs = kInputStepBudgetMs;
    std::string m_failure;
    volatile LONG m_done = 0;
};
