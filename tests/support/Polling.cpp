#include "support/Polling.h"

#include "AfxGlobals.h"
#include "CWinApp.h"

bool PollUntil(const std::function<bool()>& done, DWORD budgetMs, const std::function<void()>& between,
               DWORD intervalMs)
{
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (done())
            return true;
        if (::GetTickCount() - start >= budgetMs)
            return false;
        if (between)
            between();
        ::Sleep(intervalMs);
    }
}

void PumpMessages(DWORD ms)
{
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                continue;
            CWinApp* app = AfxGetApp();
            if (!app || !app->PreTranslateMessage(&msg)) {
                ::TranslateMessage(&msg);
                ::DispatchMessageA(&msg);
            }
        }
        if (ms)
            ::Sleep(5);
    } while (::GetTickCount() - start < ms);
}
