// An owned block of committed pages (VirtualAlloc), for the large buffers of
// a picture's pixels: the pages come from the system when the block is made
// and go back to it the moment the block goes, so a large picture leaves
// nothing behind in the heap.
#pragma once

#include <windows.h>

#include <cstddef>
#include <utility>

class CVirtualBlock {
public:
    CVirtualBlock() = default;
    ~CVirtualBlock() { Free(); }
    CVirtualBlock(CVirtualBlock&& other) noexcept
        : m_p(std::exchange(other.m_p, nullptr)), m_cb(std::exchange(other.m_cb, 0))
    {
    }
    CVirtualBlock& operator=(CVirtualBlock&& other) noexcept
    {
        if (this != &other) {
            Free();
            m_p = std::exchange(other.m_p, nullptr);
            m_cb = std::exchange(other.m_cb, 0);
        }
        return *this;
    }
    CVirtualBlock(const CVirtualBlock&) = delete;
    CVirtualBlock& operator=(const CVirtualBlock&) = delete;

    // cb bytes of zeroed, writable memory; FALSE (nothing held) without it.
    BOOL Allocate(std::size_t cb)
    {
        Free();
        if (cb == 0)
            return FALSE;
        m_p = static_cast<BYTE*>(::VirtualAlloc(nullptr, cb, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        m_cb = m_p ? cb : 0;
        return m_p != nullptr;
    }
    void Free()
    {
        if (m_p)
            ::VirtualFree(m_p, 0, MEM_RELEASE);
        m_p = nullptr;
        m_cb = 0;
    }

    BYTE* Get() const { return m_p; }
    std::size_t GetSize() const { return m_cb; }
    explicit operator bool() const { return m_p != nullptr; }

private:
    BYTE* m_p = nullptr;
    std::size_t m_cb = 0;
};
