#include "support/MessageBoxCapture.h"

#include "support/WindowQueries.h"

namespace {

const int kMessageBoxTextId = 0xFFFF;

bool IsDialogWindow(HWND hWnd)
{
    return ClassNameOf(hWnd) == "#32770";
}

// A message box holds its text in the static 0xFFFF and has no edit field;
// the program's own dialogs may also have an unnamed static (id -1), but
// they always have an edit field.
bool IsMessageBox(HWND hWnd)
{
    return ::GetDlgItem(hWnd, kMessageBoxTextId) && !::FindWindowExA(hWnd, nullptr, "Edit", nullptr);
}

std::string DialogItemText(HWND hDlg, int nId)
{
    HWND hItem = ::GetDlgItem(hDlg, nId);
    return hItem ? WindowTextOf(hItem) : std::string();
}

} // namespace

thread_local MessageBoxCapture* MessageBoxCapture::s_pCurrent = nullptr;

MessageBoxCapture::MessageBoxCapture(int nReply) : m_pPrevious(s_pCurrent), m_nReply(nReply)
{
    s_pCurrent = this;
    m_hHook = ::SetWindowsHookExA(WH_CBT, CbtProc, nullptr, ::GetCurrentThreadId());
}

MessageBoxCapture::~MessageBoxCapture()
{
    if (m_hHook)
        ::UnhookWindowsHookEx(m_hHook);
    s_pCurrent = m_pPrevious;
}

LRESULT CALLBACK MessageBoxCapture::CbtProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    MessageBoxCapture* self = s_pCurrent;
    if (self && nCode == HCBT_ACTIVATE)
        self->OnActivate(reinterpret_cast<HWND>(wParam));
    else if (self && nCode == HCBT_DESTROYWND)
        self->m_handled.erase(reinterpret_cast<HWND>(wParam));
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

// Activation can repeat for one window (focus coming back), so each window is
// answered once, until it is destroyed.
void MessageBoxCapture::OnActivate(HWND hWnd)
{
    if (!IsDialogWindow(hWnd) || !m_handled.insert(hWnd).second)
        return;
    if (IsMessageBox(hWnd)) {
        m_boxes.push_back({WindowTextOf(hWnd), DialogItemText(hWnd, kMessageBoxTextId), ::GetWindow(hWnd, GW_OWNER)});
        if (m_boxObserver)
            m_boxObserver(m_boxes.back());
        ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(m_nReply, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(hWnd, m_nReply)));
    } else if (m_dialogHandler) {
        m_dialogHandler(hWnd);
    }
}
