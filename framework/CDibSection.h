// An owned top-down 32-bit DIB section: a bitmap whose pixels the program
// reads and writes in place, row 0 at the top, one DWORD (blue, green, red,
// and a fourth byte) per pixel, rows width pixels apart.
#pragma once

#include "CBitmap.h"

class CDibSection : public CBitmap {
public:
    // A new section of cx x cy pixels (the pixels are zero); FALSE, with
    // nothing held, for a side of 0 or below or without the memory.
    BOOL Create(int cx, int cy);
    void Free();

    DWORD* GetBits() const { return m_pBits; }
    int GetWidth() const { return m_cx; }
    int GetHeight() const { return m_cy; }
    // Bytes from one row to the next.
    int GetPitch() const { return m_cx * static_cast<int>(sizeof(DWORD)); }

private:
    DWORD* m_pBits = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};
