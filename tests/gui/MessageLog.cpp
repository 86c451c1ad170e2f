#include "MessageLog.h"

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

std::vector<MessageLog::Entry> MessageLog::PostedTo(HWND hWnd) const
{
    std::vector<Entry> selected;
    for (const Entry& e : m_posted)
        if (e.hwnd == hWnd)
            selected.push_back(e);
    return selected;
}

LRESULT CALLBACK MessageLog::GetMessageProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && (wParam & PM_REMOVE) && s_pCurrent) {
        const MSG* msg = reinterpret_cast<const MSG*>(lParam);
        s_pCurrent->m_posted.push_back(Entry{msg->hwnd, msg->message, msg->wParam, msg->lParam, ::GetTickCount()});
        if (s_pCurrent->m_watch)
            s_pCurrent->m_watch(s_pCurrent->m_posted.back());
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}

LRESULT CALLBACK MessageLog::CallWndProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HC_ACTION && s_pCurrent) {
        const CWPSTRUCT* cwp = reinterpret_cast<const CWPSTRUCT*>(lParam);
        s_pCurrent->m_sent.push_back(Entry{cwp->hwnd, cwp->message, cwp->wParam, cwp->lParam, ::GetTickCount()});
    }
    return ::CallNextHookEx(nullptr, nCode, wParam, lParam);
}
