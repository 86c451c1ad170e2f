// COM initialised on this thread (apartment-threaded) for the object's
// lifetime, for the system's components that need it (the imaging codecs).
// The matching uninitialise runs only when the initialise succeeded, so a
// thread that already runs COM in another mode keeps it.
#pragma once

#include <windows.h>
#include <objbase.h>

class CComInit {
public:
    CComInit() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComInit()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CComInit(const CComInit&) = delete;
    CComInit& operator=(const CComInit&) = delete;

private:
    HRESULT m_hr;
};
