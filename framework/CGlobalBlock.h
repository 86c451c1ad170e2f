// An owned global memory block (movable, zero-initialised), freed with the
// object unless it is handed on. What a stream over global memory, the
// clipboard and a drop take.
#pragma once

#include <windows.h>

#include "CHandleOwner.h"

struct GlobalBlockTraits {
    using Handle = HGLOBAL;
    static BOOL Close(HGLOBAL h) { return ::GlobalFree(h) == nullptr; }
};

class CGlobalBlock : public CHandleOwner<GlobalBlockTraits> {
public:
    CGlobalBlock() = default;
    explicit CGlobalBlock(HGLOBAL h) : CHandleOwner(h) {}

    // A new movable, zero-initialised block of cb bytes; FALSE (and nothing
    // held) when the memory cannot be had.
    BOOL Allocate(SIZE_T cb) { return Attach(::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, cb)); }
    SIZE_T GetSize() const { return m_h ? ::GlobalSize(m_h) : 0; }
};
