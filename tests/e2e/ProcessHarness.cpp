#include "ProcessHarness.h"

KepProcess::KepProcess(const std::string& arguments)
{
    std::string exe = ModuleFolder() + "\\kep.exe";
    std::string commandLine = "\"" + exe + "\"";
    if (!arguments.empty())
        commandLine += " " + arguments;
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    std::vector<char> buffer(commandLine.begin(), commandLine.end());
    buffer.push_back('\0');
    if (!::CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, ModuleFolder().c_str(), &si,
                          &m_info))
        m_info = {};
}

KepProcess::~KepProcess()
{
    if (!m_info.hProcess)
        return;
    if (::WaitForSingleObject(m_info.hProcess, 0) == WAIT_TIMEOUT) {
        CloseAllKepFrames(5000);
        if (!WaitForExit(5000))
            ::TerminateProcess(m_info.hProcess, 1);
    }
    ::CloseHandle(m_info.hThread);
    ::CloseHandle(m_info.hProcess);
}

bool KepProcess::WaitForExit(DWORD timeoutMs)
{
    return m_info.hProcess && ::WaitForSingleObject(m_info.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

std::vector<HWND> FindKepFrames(bool visibleOnly)
{
    std::vector<HWND> frames;
    for (HWND h = ::FindWindowExA(nullptr, nullptr, "KEPClass", nullptr); h;
         h = ::FindWindowExA(nullptr, h, "KEPClass", nullptr))
        if (!visibleOnly || ::IsWindowVisible(h))
            frames.push_back(h);
    return frames;
}

bool WaitUntil(const std::function<bool()>& pred, DWORD timeoutMs)
{
    return PollUntil(pred, timeoutMs, nullptr, 50);
}

HWND WaitForFrameTitled(const std::string& title, DWORD timeoutMs)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND h : FindKepFrames(true))
                if (WindowTextOf(h) == title)
                    found = h;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

bool CloseAllKepFrames(DWORD timeoutMs)
{
    for (HWND h : FindKepFrames(false))
        ::PostMessageA(h, WM_COMMAND, 57665 /* exit */, 0);
    return WaitUntil([] { return FindKepFrames(false).empty(); }, timeoutMs);
}

void ProcessTest::SetUp()
{
    CloseAllKepFrames();
    RemoveSettingsFiles();
}

void ProcessTest::TearDown()
{
    EXPECT_TRUE(CloseAllKepFrames());
    RemoveSettingsFiles();
}
