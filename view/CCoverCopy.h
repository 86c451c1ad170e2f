// The pulse's paint. While the pulse runs the picture changes size fifty
// times a second, and GDI+ scales it far too slowly for that. So the picture
// is drawn once by GDI+ at the pulse's largest size, and each tick scales
// that copy down with GDI's halftone stretch, which looks the same to the
// eye. The copy goes when the pulse ends, the picture changes or another
// frame of an animation shows.
#pragma once

#include <windows.h>

#include "CBitmap.h"
#include "CDC.h"

class CPicture;

class CCoverCopy {
public:
    CCoverCopy() = default;
    ~CCoverCopy();
    CCoverCopy(const CCoverCopy&) = delete;
    CCoverCopy& operator=(const CCoverCopy&) = delete;

    // Draws the part source of the whole off-screen bitmap, in which the
    // picture is scaled into the rectangle picture, at the top-left corner of
    // hdc. A copy smaller than the picture's size there (the first tick after
    // the start, which paints at the size the picture had) is drawn anew.
    void Draw(HDC hdc, const CPicture& picture, const RECT& rcPicture, const RECT& source);
    void Drop();

private:
    CDC m_dc;
    CBitmap m_copy;
    SIZE m_size = {0, 0};
    HGDIOBJ m_hStockBitmap = nullptr;
};
