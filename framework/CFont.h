// An owned GDI font, deleted with the object.
#pragma once

#include <windows.h>

class CFont {
public:
    HFONT m_hObject = nullptr;

    CFont() = default;
    ~CFont() { DeleteObject(); }
    CFont(const CFont&) = delete;
    CFont& operator=(const CFont&) = delete;

    operator HFONT() const { return m_hObject; }
    BOOL CreateFontIndirect(const LOGFONTA* lpLogFont);
    BOOL DeleteObject();
};
