// A device context. Created with CreateCompatibleDC it is owned and deleted
// with the object; Attach takes ownership of a DC the caller made.
#pragma once

#include <windows.h>

class CDC {
public:
    HDC m_hDC = nullptr;

    CDC() = default;
    virtual ~CDC() { DeleteDC(); }
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    BOOL CreateCompatibleDC(HDC hdc);
    BOOL Attach(HDC hDC);
    HDC Detach();
    BOOL DeleteDC();
    HGDIOBJ SelectObject(HGDIOBJ hObject) { return ::SelectObject(m_hDC, hObject); }
};
