#include "frame/CActivationKeeper.h"

CActivationKeeper::CActivationKeeper(HWND hFrame)
    : m_hFrame(hFrame), m_bWasActive(hFrame && ::GetForegroundWindow() == hFrame), m_hFocus(::GetFocus())
{
    if (m_hFocus != m_hFrame && !::IsChild(m_hFrame, m_hFocus))
        m_hFocus = m_hFrame;
}

CActivationKeeper::~CActivationKeeper()
{
    if (!m_bWasActive || !::IsWindow(m_hFrame) || !::IsWindowVisible(m_hFrame))
        return;
    if (::GetForegroundWindow() != m_hFrame) {
        // The hide activated another window: take the activation back.
        ::SetForegroundWindow(m_hFrame);
    } else {
        // Still active as far as the window system knows, which is why
        // activating it again would do nothing; the display's keyboard focus
        // went elsewhere when the window was hidden, and setting the focus
        // afresh sends it back to the window, now that it shows again.
        ::SetFocus(nullptr);
    }
    if (::IsWindow(m_hFocus))
        ::SetFocus(m_hFocus);
}
