// Selects a GDI object into a DC for the life of the object and puts the
// previous one back at the end, so the selected object can be deleted after.
#pragma once

#include <windows.h>

class CScopedSelect {
public:
    CScopedSelect(HDC hdc, HGDIOBJ hObject) : m_hdc(hdc), m_hOld(hObject ? ::SelectObject(hdc, hObject) : nullptr) {}
    ~CScopedSelect()
    {
        if (m_hOld)
            ::SelectObject(m_hdc, m_hOld);
    }
    CScopedSelect(const CScopedSelect&) = delete;
    CScopedSelect& operator=(const CScopedSelect&) = delete;

private:
    HDC m_hdc;
    HGDIOBJ m_hOld;
};
