// The help command hands the help file beside the program to the shell: the
// path, the flags and the fields the shell gets, and the file the build lays
// there.
#include <mbstring.h>

#include "GuiHarness.h"

namespace {

struct ShellRequest {
    DWORD cbSize;
    ULONG fMask;
    HWND hwnd;
    bool hasVerb;
    std::string file;
    bool hasParameters;
    bool hasDirectory;
    int nShow;
    bool hasIDList;
};

// Takes the frame's shell requests instead of the shell while it lives.
class ShellRecorder {
public:
    ShellRecorder()
    {
        s_requests.clear();
        CMainFrame::s_pfnShellExecuteEx = &Record;
    }
    ~ShellRecorder() { CMainFrame::s_pfnShellExecuteEx = &::ShellExecuteExA; }
    ShellRecorder(const ShellRecorder&) = delete;
    ShellRecorder& operator=(const ShellRecorder&) = delete;

    const std::vector<ShellRequest>& Requests() const { return s_requests; }

private:
    static BOOL WINAPI Record(SHELLEXECUTEINFOA* p)
    {
        s_requests.push_back({p->cbSize, p->fMask, p->hwnd, p->lpVerb != nullptr, p->lpFile ? p->lpFile : "",
                              p->lpParameters != nullptr, p->lpDirectory != nullptr, p->nShow, p->lpIDList != nullptr});
        return TRUE;
    }
    static std::vector<ShellRequest> s_requests;
};

std::vector<ShellRequest> ShellRecorder::s_requests;

// This program's folder, found apart from the program's own helper.
std::string ProgramFolder()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    auto* last = _mbsrchr(reinterpret_cast<unsigned char*>(path), '\\');
    if (last)
        *last = '\0';
    return path;
}

} // namespace

TEST_F(FrameTest, HelpCommandHandsTheHelpFileBesideTheProgramToTheShell)
{
    ASSERT_NE(CreateFrame(), nullptr);
    EXPECT_TRUE(IsCommandEnabled(ID_HELP_FILE));
    ShellRecorder recorder;
    Command(ID_HELP_FILE);

    ASSERT_EQ(recorder.Requests().size(), 1u);
    const ShellRequest& r = recorder.Requests()[0];
    const std::string expected = ProgramFolder() + "\\kep.chm";
    EXPECT_EQ(r.file, expected);
    EXPECT_EQ(r.cbSize, sizeof(SHELLEXECUTEINFOA));
    EXPECT_EQ(r.fMask, static_cast<ULONG>(SEE_MASK_INVOKEIDLIST | SEE_MASK_FLAG_DDEWAIT | SEE_MASK_FLAG_NO_UI));
    EXPECT_EQ(r.hwnd, m_pFrame->m_hWnd);
    EXPECT_EQ(r.nShow, SW_SHOWNORMAL);
    EXPECT_FALSE(r.hasVerb || r.hasParameters || r.hasDirectory || r.hasIDList) << "only the file is given";

    // The build compiles the help beside the programs (kep.exe and this one).
    const DWORD attributes = ::GetFileAttributesA(expected.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << expected << " is missing";
    EXPECT_EQ(attributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
}
