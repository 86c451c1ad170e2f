#include "COleInit.h"

#include <ole2.h>

COleInit::COleInit() : m_hr(::OleInitialize(nullptr))
{
}

COleInit::~COleInit()
{
    if (SUCCEEDED(m_hr))
        ::OleUninitialize();
}
