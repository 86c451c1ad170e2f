// An owned handle: move-only, closed with the object unless detached.
// Traits names the handle type and how it is closed:
//   struct Traits { using Handle = HFOO; static BOOL Close(HFOO h); };
// The framework's owning wrappers (device contexts, GDI objects, menus) are
// built on it, so attach, detach and delete are written once.
#pragma once

#include <windows.h>

template <class Traits> class CHandleOwner {
public:
    using Handle = typename Traits::Handle;

    CHandleOwner() = default;
    explicit CHandleOwner(Handle h) : m_h(h) {}
    ~CHandleOwner() { Close(); }
    CHandleOwner(CHandleOwner&& other) noexcept : m_h(other.Detach()) {}
    CHandleOwner& operator=(CHandleOwner&& other) noexcept
    {
        if (this != &other) {
            Close();
            m_h = other.Detach();
        }
        return *this;
    }
    CHandleOwner(const CHandleOwner&) = delete;
    CHandleOwner& operator=(const CHandleOwner&) = delete;

    Handle Get() const { return m_h; }
    operator Handle() const { return m_h; }
    explicit operator bool() const { return m_h != nullptr; }

    // Takes ownership of h, closing the handle held before. FALSE (and
    // nothing changed) for a null handle, so a failed creation can be passed
    // straight in.
    BOOL Attach(Handle h)
    {
        if (!h)
            return FALSE;
        Close();
        m_h = h;
        return TRUE;
    }
    // Gives the handle up without closing it.
    Handle Detach()
    {
        Handle h = m_h;
        m_h = nullptr;
        return h;
    }
    // Closes the handle; FALSE when none was held or closing failed.
    BOOL Close()
    {
        if (!m_h)
            return FALSE;
        BOOL ok = Traits::Close(m_h);
        m_h = nullptr;
        return ok;
    }

protected:
    Handle m_h = nullptr;
};
