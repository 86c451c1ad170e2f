// Locks a global memory block for the life of the object and gives its bytes.
#pragma once

#include <windows.h>

class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL h) : m_h(h), m_p(h ? static_cast<unsigned char*>(::GlobalLock(h)) : nullptr) {}
    ~CGlobalLock()
    {
        if (m_p)
            ::GlobalUnlock(m_h);
    }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    // The block's bytes, or nullptr when it could not be locked.
    unsigned char* Get() const { return m_p; }
    SIZE_T GetSize() const { return m_p ? ::GlobalSize(m_h) : 0; }

private:
    HGLOBAL m_h;
    unsigned char* m_p;
};
