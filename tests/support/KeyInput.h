// Real keyboard input (SendInput): it goes to the thread of the foreground
// window, in this process or another.
#pragma once

#include <windows.h>

void PressKey(WORD vk);
void ReleaseKey(WORD vk);
void TapKey(WORD vk);
// Holds modifier while tapping vk (Alt+V: TapChord(VK_MENU, 'V')).
void TapChord(WORD modifier, WORD vk);
