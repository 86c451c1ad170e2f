// Selects a GDI object (font, bitmap, brush, pen) into a device context for
// the life of this object, and puts the object it replaced back at its end,
// so the selected one can be deleted afterwards. A null object selects
// nothing.
#pragma once

#include <windows.h>

class CSelectedObject {
public:
    CSelectedObject(HDC hDC, HGDIOBJ hObject)
        : m_hDC(hDC), m_hOld(hDC && hObject ? ::SelectObject(hDC, hObject) : nullptr)
    {
    }
    ~CSelectedObject()
    {
        if (Selected())
            ::SelectObject(m_hDC, m_hOld);
    }
    CSelectedObject(const CSelectedObject&) = delete;
    CSelectedObject& operator=(const CSelectedObject&) = delete;

    // Whether the object went in.
    bool Selected() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};
