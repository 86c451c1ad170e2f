// Plays an animated picture in a window: each frame is shown for its own
// delay, and after the last frame the first follows again, without end. The
// window's timer is stopped before a frame is advanced and armed again only
// after its paint, so a slow paint stretches the animation instead of piling
// up ticks.
#pragma once

#include <windows.h>

class CPicture;
class CWnd;

class CAnimationPlayer {
public:
    // The player arms timer nTimerId of wnd, which passes the timer's ticks
    // on to NextFrame.
    CAnimationPlayer(CWnd& wnd, UINT_PTR nTimerId) : m_wnd(wnd), m_nTimerId(nTimerId) {}
    CAnimationPlayer(const CAnimationPlayer&) = delete;
    CAnimationPlayer& operator=(const CAnimationPlayer&) = delete;

    // Takes the frames of the picture (none: nothing shown). For an
    // animation selects frame 0 and arms the timer with its delay; TRUE then.
    BOOL Start(CPicture* pPicture);
    // Stops the timer and forgets the frames.
    void Stop();
    // The timer fired: stops it and selects the next frame of the picture,
    // wrapping after the last. FALSE when nothing plays.
    BOOL NextFrame(CPicture* pPicture);
    // Arms the timer with the delay of the frame shown, counted from now
    // (after its paint).
    void ArmTimer(const CPicture& picture);

    // The number of frames of the picture's first dimension, and the frame
    // shown (0 for a still picture).
    int m_nFrameCount = 0;
    int m_nCurFrame = 0;

private:
    CWnd& m_wnd;
    UINT_PTR m_nTimerId;
};
