// OLE (and COM) initialised on this thread for the object's lifetime. The
// matching uninitialise runs only when the initialise succeeded, so a thread
// that already runs COM in another mode keeps it.
#pragma once

#include <windows.h>

class COleInit {
public:
    COleInit();
    ~COleInit();
    COleInit(const COleInit&) = delete;
    COleInit& operator=(const COleInit&) = delete;

    bool Succeeded() const { return SUCCEEDED(m_hr); }

private:
    HRESULT m_hr;
};
