// Starting real kep.exe processes and finding their windows.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/Polling.h"
#include "support/SettingsFiles.h"
#include "support/TestFiles.h"
#include "support/WindowQueries.h"

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
// Polls until pred() holds or timeoutMs passes; returns pred().
bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs);
// Waits until a visible frame is titled title; returns it (or null).
HWND WaitForFrameTitled(const std::string& title, DWORD timeoutMs);
// Asks every frame to exit and waits until none is left.
bool CloseAllKepFrames(DWORD timeoutMs = 10000);

class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
};
