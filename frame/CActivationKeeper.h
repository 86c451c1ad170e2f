// Keeps the keyboard with a frame across a refit that hides and shows it.
#pragma once

#include <windows.h>

// Hiding the active window hands the activation on (on Windows to another
// window; under Wine the window stays active, but the X server moves the
// keyboard focus away when the window is unmapped, and Wine takes the
// window's activation away as soon as it hears of that). While it lives the
// object remembers whether the frame was the foreground window and where the
// keyboard focus was; when it goes, a frame that had the keyboard and is
// shown again gets it back, and a frame that did not have it is left alone.
class CActivationKeeper {
public:
    explicit CActivationKeeper(HWND hFrame);
    ~CActivationKeeper();
    CActivationKeeper(const CActivationKeeper&) = delete;
    CActivationKeeper& operator=(const CActivationKeeper&) = delete;

    // Whether the frame was the foreground window when the object was made.
    bool WasActive() const { return m_bWasActive; }

private:
    HWND m_hFrame;
    bool m_bWasActive;
    HWND m_hFocus; // the frame or the child of it that had the keyboard focus
};
