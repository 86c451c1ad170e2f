// Starting real kep.exe processes and finding their windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

// A started process, waited for and closed with the object.
class KepProcess {
public:
    // Starts kep.exe beside this test program with the given argument text.
    explicit KepProcess(const std::string& arguments);
    ~KepProcess();
    KepProcess(const KepProcess&) = delete;
    KepProcess& operator=(const KepProcess&) = delete;

    bool Started() const { return m_info.hProcess != nullptr; }
    DWORD Id() const { return m_info.dwProcessId; }
    bool WaitForExit(DWORD timeoutMs);

private:
    PROCESS_INFORMATION m_info = {};
};

// Every top-level frame of the program, in any process.
std::vector<HWND> FindKepFrames(bool visibleOnly);
std::string TitleOf(HWND hWnd);
// Polls until pred() holds or timeoutMs passes; returns pred().
template <class Pred> bool WaitUntil(Pred pred, DWORD timeoutMs)
{
    DWORD start = ::GetTickCount();
    while (!pred()) {
        if (::GetTickCount() - start > timeoutMs)
            return pred();
        ::Sleep(50);
    }
    return true;
}
// Asks every frame to exit and waits until none is left.
bool CloseAllKepFrames(DWORD timeoutMs = 10000);

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
