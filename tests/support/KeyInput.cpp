#include "support/KeyInput.h"

namespace {

void SendKeyInput(WORD vk, bool bUp)
{
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = static_cast<WORD>(::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = bUp ? KEYEVENTF_KEYUP : 0;
    if (vk == VK_LEFT || vk == VK_RIGHT || vk == VK_UP || vk == VK_DOWN)
        input.ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
    ::SendInput(1, &input, sizeof(input));
}

} // namespace

void PressKey(WORD vk)
{
    SendKeyInput(vk, false);
}
void ReleaseKey(WORD vk)
{
    SendKeyInput(vk, true);
}

void TapKey(WORD vk)
{
    PressKey(vk);
    ReleaseKey(vk);
}

void TapChord(WORD modifier, WORD vk)
{
    PressKey(modifier);
    TapKey(vk);
    ReleaseKey(modifier);
}
