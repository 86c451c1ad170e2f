// An owned COM interface pointer, released with the object. Move-only: a
// copy would release the interface twice.
#pragma once

#include <unknwn.h>

#include <utility>

template <class T> class CComPtr {
public:
    CComPtr() = default;
    ~CComPtr() { Release(); }
    CComPtr(const CComPtr&) = delete;
    CComPtr& operator=(const CComPtr&) = delete;
    CComPtr(CComPtr&& other) noexcept : p(std::exchange(other.p, nullptr)) {}
    CComPtr& operator=(CComPtr&& other) noexcept
    {
        if (this != &other) {
            Release();
            p = std::exchange(other.p, nullptr);
        }
        return *this;
    }

    T* operator->() const { return p; }
    T* Get() const { return p; }
    explicit operator bool() const { return p != nullptr; }

    // For the out-parameter of CoCreateInstance and QueryInterface: an
    // interface held before is released first.
    T** Receive()
    {
        Release();
        return &p;
    }
    void** ReceiveVoid() { return reinterpret_cast<void**>(Receive()); }

    void Release()
    {
        if (p) {
            p->Release();
            p = nullptr;
        }
    }

private:
    T* p = nullptr;
};
