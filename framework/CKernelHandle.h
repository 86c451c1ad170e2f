// An owned kernel object handle (an event, a thread, a process), closed with
// CloseHandle. Functions that fail with INVALID_HANDLE_VALUE are given
// through AttachValid, which holds nothing for it.
#pragma once

#include <windows.h>

#include "CHandleOwner.h"

struct KernelHandleTraits {
    using Handle = HANDLE;
    static BOOL Close(HANDLE h) { return ::CloseHandle(h); }
};

class CKernelHandle : public CHandleOwner<KernelHandleTraits> {
public:
    CKernelHandle() = default;
    explicit CKernelHandle(HANDLE h) : CHandleOwner(h == INVALID_HANDLE_VALUE ? nullptr : h) {}

    BOOL AttachValid(HANDLE h) { return Attach(h == INVALID_HANDLE_VALUE ? nullptr : h); }
};
