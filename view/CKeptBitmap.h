// The view's off-screen bitmap: a paint draws the part of the picture that
// shows into it, then puts it on the screen in one block transfer. It is kept
// from paint to paint and only made anew when a paint needs more than it
// holds, or far less (so a picture zoomed down gives its memory back); the
// view lets it go when paints stop for a while.
#pragma once

#include <windows.h>

#include "CBitmap.h"
#include "CDC.h"

class CKeptBitmap {
public:
    CKeptBitmap() = default;
    ~CKeptBitmap();
    CKeptBitmap(const CKeptBitmap&) = delete;
    CKeptBitmap& operator=(const CKeptBitmap&) = delete;

    // Has the memory DC (made compatible with hdc the first time) hold a
    // bitmap of at least need. FALSE when it cannot be had.
    BOOL Prepare(HDC hdc, SIZE need);
    // The bitmap goes; the memory DC stays for the next paint.
    void Release();

    HDC GetDC() const { return m_dc; }
    // The size of the bitmap held (0 x 0 when none).
    SIZE GetSize() const { return m_size; }

private:
    CDC m_dc;
    HGDIOBJ m_hStockBitmap = nullptr; // the DC's own bitmap, put back before ours goes
    CBitmap m_bitmap;
    SIZE m_size = {0, 0};
};
