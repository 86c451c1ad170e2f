// Records, while it lives, the messages this thread takes from its queue
// (posted messages, input, timers) and the messages sent to its windows, in
// order and with the time each was taken.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

class MessageLog {
public:
    struct Entry {
        HWND hwnd;
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        DWORD time; // GetTickCount() as the message was taken, before it is handled
    };

    MessageLog();
    ~MessageLog();
    MessageLog(const MessageLog&) = delete;
    MessageLog& operator=(const MessageLog&) = delete;

    std::vector<Entry> Posted(UINT message) const { return Select(m_posted, message); }
    std::vector<Entry> Sent(UINT message) const { return Select(m_sent, message); }
    // Everything taken from the queue for window hWnd.
    std::vector<Entry> PostedTo(HWND hWnd) const;
    // Calls watch with each message taken from the queue, before it is handled
    // (when the state it ends can still be read).
    void WatchPosted(std::function<void(const Entry&)> watch) { m_watch = std::move(watch); }

private:
    static std::vector<Entry> Select(const std::vector<Entry>& entries, UINT message);
    static LRESULT CALLBACK GetMessageProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CallWndProc(int nCode, WPARAM wParam, LPARAM lParam);

    HHOOK m_hGetMessage = nullptr;
    HHOOK m_hCallWnd = nullptr;
    std::vector<Entry> m_posted;
    std::vector<Entry> m_sent;
    std::function<void(const Entry&)> m_watch;
    static thread_local MessageLog* s_pCurrent;
};
