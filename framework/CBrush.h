// An owned GDI brush, deleted with the object.
#pragma once

#include <windows.h>

class CBrush {
public:
    HBRUSH m_hObject = nullptr;

    CBrush() = default;
    ~CBrush() { DeleteObject(); }
    CBrush(const CBrush&) = delete;
    CBrush& operator=(const CBrush&) = delete;

    operator HBRUSH() const { return m_hObject; }
    BOOL CreateSolidBrush(COLORREF crColor);
    BOOL DeleteObject();
};
