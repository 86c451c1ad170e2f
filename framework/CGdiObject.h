// Owned GDI objects (bitmaps, fonts, brushes), deleted with the object. An
// object must no longer be selected into a DC when it goes (see
// CSelectedObject).
#pragma once

#include "CHandleOwner.h"

template <class T> struct GdiObjectTraits {
    using Handle = T;
    static BOOL Close(T h) { return ::DeleteObject(h); }
};

template <class T> class CGdiObject : public CHandleOwner<GdiObjectTraits<T>> {
public:
    BOOL DeleteObject() { return this->Close(); }
};
