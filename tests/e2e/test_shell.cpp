// The shell integration of a running kep.exe: the Startup shortcut read back
// through the shell's link object and used to start the program again, and
// the Send To shortcut and the context-menu entry toggled by their commands,
// down to the bytes in the registry.
#include <objbase.h>
#include <shlobj.h>

#include "ProcessHarness.h"
#include "support/ShellPlaces.h"

namespace {

const UINT ID_SENDTO = 32799;
const UINT ID_CONTEXT_MENU_ENTRY = 32800;
const UINT ID_STARTUP_REGISTER = 32810;
const UINT kViewId = 0xE900;

uint32_t Plain(int x, int y)
{
    return AsymmetricPixel(x, y, 400, 300);
}

std::string KepExe()
{
    return ModuleFolder() + "\\kep.exe";
}

// The fields of a .lnk file as the shell's link object reads them.
struct Link {
    bool loaded = false;
    std::string path, arguments, workingDirectory, description, iconPath;
    int iconIndex = -1;
    WORD hotkey = 0xFFFF;
};

Link ReadLink(const std::string& file)
{
    Link link;
    IShellLinkA* pLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&pLink))))
        return link;
    IPersistFile* pFile = nullptr;
    wchar_t wide[MAX_PATH] = {};
    ::MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&pFile))) &&
        SUCCEEDED(pFile->Load(wide, STGM_READ))) {
        char text[1024];
        pLink->GetPath(text, sizeof(text), nullptr, SLGP_RAWPATH);
        link.path = text;
        pLink->GetArguments(text, sizeof(text));
        link.arguments = text;
        pLink->GetWorkingDirectory(text, sizeof(text));
        link.workingDirectory = text;
        pLink->GetDescription(text, sizeof(text));
        link.description = text;
        pLink->GetIconLocation(text, sizeof(text), &link.iconIndex);
        link.iconPath = text;
        pLink->GetHotkey(&link.hotkey);
        link.loaded = true;
    }
    if (pFile)
        pFile->Release();
    pLink->Release();
    return link;
}

// The visible frame showing path, once it does.
HWND WaitForFrameShowing(const std::string& path)
{
    return WaitForFrameTitled("KEP - " + path, 20000);
}

SIZE ViewSizeOf(HWND hFrame)
{
    RECT rc = WindowRectOf(::GetDlgItem(hFrame, kViewId));
    return SIZE{rc.right - rc.left, rc.bottom - rc.top};
}

// The bytes of a key's default value, and its type.
Bytes DefaultValue(const char* key, DWORD* pType)
{
    Bytes data(1024);
    DWORD size = static_cast<DWORD>(data.size());
    *pType = REG_NONE;
    if (::RegGetValueA(HKEY_CLASSES_ROOT, key, nullptr, RRF_RT_ANY | RRF_NOEXPAND, pType, data.data(), &size) !=
        ERROR_SUCCESS)
        return {};
    data.resize(size);
    return data;
}

Bytes StringValue(const std::string& text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0); // the terminating NUL is part of the data
    return bytes;
}

class ShellTest : public ProcessTest {
protected:
    void SetUp() override
    {
        ProcessTest::SetUp();
        ::CoInitialize(nullptr);
    }
    void TearDown() override
    {
        ::CoUninitialize();
        ProcessTest::TearDown();
    }
};

} // namespace

TEST_F(ShellTest, StartupShortcutHoldsTheDisplayAndStartsItAgain)
{
    TempFolder folder("start up");
    const std::string path = folder.File("a b.bmp");
    ASSERT_TRUE(WriteBmp(path, 400, 300, Plain));
    const std::string startup = SpecialFolderPath(CSIDL_STARTUP);
    ASSERT_FALSE(startup.empty());
    const std::string shortcut = startup + "\\KEPa b.bmp.lnk";
    ::DeleteFileA(shortcut.c_str());

    std::string arguments;
    {
        // A window partly off the screen at the free size, where the zoom value is 0.
        KepProcess kep("\"" + path + "/-8:-8:0\"");
        HWND h = WaitForFrameShowing(path);
        ASSERT_NE(h, nullptr);
        ASSERT_EQ(WindowRectOf(h).left, -8);
        ASSERT_EQ(WindowRectOf(h).top, -8);
        ::PostMessageA(h, WM_COMMAND, ID_STARTUP_REGISTER, 0);
        ASSERT_TRUE(WaitUntil([&] { return FileExists(shortcut); }, 10000));
        Link link;
        ASSERT_TRUE(WaitUntil([&] { return (link = ReadLink(shortcut)).loaded; }, 5000));
        EXPECT_EQ(link.path, KepExe());
        EXPECT_EQ(link.arguments, "\"" + path + "/-8:-8:0\"");
        EXPECT_EQ(link.workingDirectory, ModuleFolder());
        EXPECT_EQ(link.description, "KEP");
        EXPECT_EQ(link.iconPath, KepExe());
        EXPECT_EQ(link.iconIndex, 0);
        EXPECT_EQ(link.hotkey, 0);
        arguments = link.arguments;
        ASSERT_TRUE(CloseAllKepFrames());
    }
    // As the shell starts it at the next logon: the same picture at the same place.
    KepProcess again(arguments);
    HWND h = WaitForFrameShowing(path);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(WindowRectOf(h).left, -8);
    EXPECT_EQ(WindowRectOf(h).top, -8);
    ::DeleteFileA(shortcut.c_str());
}

TEST_F(ShellTest, StartupShortcutBringsBackTheZoomValue)
{
    TempFolder folder("zoomed");
    const std::string path = folder.File("z.bmp");
    ASSERT_TRUE(WriteBmp(path, 400, 300, Plain));
    // Stored: 100 percent.
    WriteSettingsInts({5, 0, 100, ZOOM_PERCENT, 1, 100, 0, 0, 0, 0});
    const std::string shortcut = SpecialFolderPath(CSIDL_STARTUP) + "\\KEPz.bmp.lnk";
    ::DeleteFileA(shortcut.c_str());

    std::string arguments;
    {
        KepProcess kep("\"" + path + "/100:120:50\"");
        HWND h = WaitForFrameShowing(path);
        ASSERT_NE(h, nullptr);
        ASSERT_TRUE(WaitUntil([&] { return ViewSizeOf(h).cx == 200; }, 5000));
        ::PostMessageA(h, WM_COMMAND, ID_STARTUP_REGISTER, 0);
        ASSERT_TRUE(WaitUntil([&] { return ReadLink(shortcut).loaded; }, 10000));
        arguments = ReadLink(shortcut).arguments;
        EXPECT_EQ(arguments, "\"" + path + "/100:120:50\"");
        ASSERT_TRUE(CloseAllKepFrames());
    }
    KepProcess again(arguments);
    HWND h = WaitForFrameShowing(path);
    ASSERT_NE(h, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return ViewSizeOf(h).cx == 200 && ViewSizeOf(h).cy == 150; }, 5000))
        << "the view is " << ViewSizeOf(h).cx << " x " << ViewSizeOf(h).cy << ", not 50 percent of 400 x 300";
    EXPECT_EQ(WindowRectOf(h).left, 100);
    EXPECT_EQ(WindowRectOf(h).top, 120);
    ::DeleteFileA(shortcut.c_str());
}

TEST_F(ShellTest, SendToShortcutAndContextMenuEntryComeAndGoWithTheirCommands)
{
    const std::string sendTo = SpecialFolderPath(CSIDL_SENDTO) + "\\KEP.lnk";
    ::DeleteFileA(sendTo.c_str());
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "*\\shell\\KEP\\command");
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, "*\\shell\\KEP");

    KepProcess kep("");
    ASSERT_TRUE(WaitUntil([] { return FindKepFrames(true).size() == 1; }, 20000));
    HWND h = FindKepFrames(true)[0];

    ::PostMessageA(h, WM_COMMAND, ID_SENDTO, 0);
    ASSERT_TRUE(WaitUntil([&] { return ReadLink(sendTo).loaded; }, 10000));
    Link link = ReadLink(sendTo);
    EXPECT_EQ(link.path, KepExe());
    EXPECT_EQ(link.arguments, "");
    EXPECT_EQ(link.workingDirectory, ModuleFolder());
    EXPECT_EQ(link.description, "KEP");
    EXPECT_EQ(link.iconPath, KepExe());
    EXPECT_EQ(link.iconIndex, 0);
    ::PostMessageA(h, WM_COMMAND, ID_SENDTO, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::GetFileAttributesA(sendTo.c_str()) == INVALID_FILE_ATTRIBUTES; }, 10000));

    ::PostMessageA(h, WM_COMMAND, ID_CONTEXT_MENU_ENTRY, 0);
    ASSERT_TRUE(WaitUntil([] { return ClassesKeyExists("*\\shell\\KEP\\command"); }, 10000));
    // Let the command finish writing its values.
    ASSERT_TRUE(WaitUntil(
        [] {
            DWORD type;
            return !DefaultValue("*\\shell\\KEP\\command", &type).empty();
        },
        5000));
    DWORD type = REG_NONE;
    // "KEPで画像を開く" in Shift-JIS, NUL included: 16 bytes.
    const Bytes verbText = {'K',  'E',  'P',  0x82, 0xC5, 0x89, 0xE6, 0x91,
                            0x9C, 0x82, 0xF0, 0x8A, 0x4A, 0x82, 0xAD, 0x00};
    EXPECT_EQ(DefaultValue("*\\shell\\KEP", &type), verbText);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(DefaultValue("*\\shell\\KEP\\command", &type), StringValue("\"" + KepExe() + "\" \"%1\""));
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));

    ::PostMessageA(h, WM_COMMAND, ID_CONTEXT_MENU_ENTRY, 0);
    EXPECT_TRUE(WaitUntil([] { return !ClassesKeyExists("*\\shell\\KEP"); }, 10000));
    EXPECT_TRUE(ClassesKeyExists("*\\shell"));
}
