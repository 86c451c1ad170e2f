// Answers the message boxes and dialogs that the code under test opens on this
// thread, and records every message box. While an instance lives, a WH_CBT
// hook watches dialog windows ("#32770") being activated:
//   - a message box (the static text control 0xFFFF, no edit field): its caption,
//     text and owner are recorded, the observer (when set) sees it while it is up, and
//     the reply button (IDOK unless changed) is pressed;
//   - any other dialog: the dialog handler, when set, is called with it (it
//     can fill in controls and post the button it wants).
// Each window is handled once. Instances may nest; the innermost one answers.
#pragma once

#include <windows.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

class MessageBoxCapture {
public:
    struct Box {
        std::string caption;
        std::string text;
        HWND hOwner; // the window that owns the box, or null
    };

    explicit MessageBoxCapture(int nReply = IDOK);
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    void SetReply(int nReply) { m_nReply = nReply; }
    void SetDialogHandler(std::function<void(HWND hDlg)> handler) { m_dialogHandler = std::move(handler); }
    void SetMessageBoxObserver(std::function<void(const Box& box)> observer) { m_boxObserver = std::move(observer); }

    const std::vector<Box>& Boxes() const { return m_boxes; }
    std::size_t Count() const { return m_boxes.size(); }
    void Clear() { m_boxes.clear(); }

private:
    static LRESULT CALLBACK CbtProc(int nCode, WPARAM wParam, LPARAM lParam);
    void OnActivate(HWND hWnd);

    HHOOK m_hHook = nullptr;
    MessageBoxCapture* m_pPrevious = nullptr;
    int m_nReply;
    std::function<void(HWND)> m_dialogHandler;
    std::function<void(const Box&)> m_boxObserver;
    std::vector<Box> m_boxes;
    std::set<HWND> m_handled; // alive windows already answered

    static thread_local MessageBoxCapture* s_pCurrent;
};
