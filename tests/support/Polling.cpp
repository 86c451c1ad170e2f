#include "support/Polling.h"

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
