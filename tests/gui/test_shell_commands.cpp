// The Send To and context-menu toggles as the menu shows them: the check
// marks follow the shell's state, read afresh at every opening, and a user
// without the rights to change it gets no half-made entry and a true mark.
// (The files and registry values themselves are checked end to end.)
#include <shlobj.h>
#include <sddl.h>

#include "GuiHarness.h"
#include "support/ShellPlaces.h"

namespace {

const char kVerbKey[] = "*\\shell\\KEP";
const char kCommandKey[] = "*\\shell\\KEP\\command";
const char kOtherKey[] = "*\\shell\\KEP\\other";

std::string SendToShortcut()
{
    const std::string folder = SpecialFolderPath(CSIDL_SENDTO);
    return folder.empty() ? folder : folder + "\\KEP.lnk";
}

void RemoveEntry()
{
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kOtherKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kCommandKey);
    ::RegDeleteKeyA(HKEY_CLASSES_ROOT, kVerbKey);
}

// A key whose access list lets everyone read it and nothing else while the
// object lives; its own list comes back afterwards (the owner may always
// change the list).
class ReadOnlyKey {
public:
    explicit ReadOnlyKey(const char* path)
    {
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, path, 0, READ_CONTROL | WRITE_DAC, &m_hKey) != ERROR_SUCCESS) {
            m_hKey = nullptr;
            return;
        }
        DWORD size = 0;
        ::RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, nullptr, &size);
        m_saved.resize(size);
        if (size == 0 || ::RegGetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data(), &size) != ERROR_SUCCESS)
            return;
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KR;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                    nullptr))
            return;
        m_bApplied = ::RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
        ::LocalFree(readOnly);
    }
    ~ReadOnlyKey()
    {
        if (m_bApplied)
            ::RegSetKeySecurity(m_hKey, DACL_SECURITY_INFORMATION, m_saved.data());
        if (m_hKey)
            ::RegCloseKey(m_hKey);
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
    bool Applied() const { return m_bApplied; }

private:
    HKEY m_hKey = nullptr;
    std::vector<BYTE> m_saved;
    bool m_bApplied = false;
};

} // namespace

class ShellCommandTest : public FrameTest {
protected:
    void SetUp() override
    {
        FrameTest::SetUp();
        m_shortcut = SendToShortcut();
        ASSERT_FALSE(m_shortcut.empty());
        ::DeleteFileA(m_shortcut.c_str());
        ::RemoveDirectoryA(m_shortcut.c_str());
        RemoveEntry();
        ASSERT_TRUE(CreateFrame());
    }
    void TearDown() override
    {
        FrameTest::TearDown();
        ::DeleteFileA(m_shortcut.c_str());
        ::RemoveDirectoryA(m_shortcut.c_str());
        RemoveEntry();
    }
    // The item's state in the operations popup, as it shows when it opens.
    UINT MenuState(UINT nID) { return ::GetMenuState(OpenOperationsMenu(), nID, MF_BYCOMMAND); }
    bool Checked(UINT nID) { return (MenuState(nID) & MF_CHECKED) != 0; }
    bool Grayed(UINT nID) { return (MenuState(nID) & MF_GRAYED) != 0; }

    std::string m_shortcut;
};

TEST_F(ShellCommandTest, SendToToggleMakesAndRemovesTheShortcutAndTheMarkFollows)
{
    EXPECT_FALSE(Checked(ID_SENDTO));
    EXPECT_FALSE(Grayed(ID_SENDTO));
    Command(ID_SENDTO);
    EXPECT_TRUE(FileExists(m_shortcut));
    EXPECT_TRUE(Checked(ID_SENDTO));
    Command(ID_SENDTO);
    EXPECT_EQ(::GetFileAttributesA(m_shortcut.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(Checked(ID_SENDTO));
    EXPECT_FALSE(Grayed(ID_SENDTO));
    // Made by someone else meanwhile: the next opening shows it.
    Command(ID_SENDTO);
    ASSERT_TRUE(Checked(ID_SENDTO));
    ::DeleteFileA(m_shortcut.c_str());
    EXPECT_FALSE(Checked(ID_SENDTO));
}

TEST_F(ShellCommandTest, AFolderNamedLikeTheShortcutIsNeitherTheShortcutNorTouched)
{
    ASSERT_TRUE(::CreateDirectoryA(m_shortcut.c_str(), nullptr));
    EXPECT_FALSE(Checked(ID_SENDTO));
    Command(ID_SENDTO); // the shortcut cannot be written over a folder
    DWORD attributes = ::GetFileAttributesA(m_shortcut.c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(Checked(ID_SENDTO));
}

TEST_F(ShellCommandTest, ContextMenuToggleMakesAndRemovesTheEntryAndTheMarkFollows)
{
    EXPECT_FALSE(Checked(ID_CONTEXT_MENU_ENTRY));
    EXPECT_FALSE(Grayed(ID_CONTEXT_MENU_ENTRY));
    Command(ID_CONTEXT_MENU_ENTRY);
    EXPECT_TRUE(ClassesKeyExists(kCommandKey));
    EXPECT_TRUE(Checked(ID_CONTEXT_MENU_ENTRY));
    Command(ID_CONTEXT_MENU_ENTRY);
    EXPECT_FALSE(ClassesKeyExists(kVerbKey));
    EXPECT_TRUE(ClassesKeyExists("*\\shell"));
    EXPECT_FALSE(Checked(ID_CONTEXT_MENU_ENTRY));

    // A verb without its command counts as there; the toggle removes it.
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, kVerbKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    EXPECT_TRUE(Checked(ID_CONTEXT_MENU_ENTRY));
    Command(ID_CONTEXT_MENU_ENTRY);
    EXPECT_FALSE(ClassesKeyExists(kVerbKey));
    EXPECT_FALSE(Checked(ID_CONTEXT_MENU_ENTRY));
}

TEST_F(ShellCommandTest, WithoutRightsNothingHalfMadeIsLeftAndTheMarkTellsTheTruth)
{
    // "*\shell" this user may only read: nothing can be made under it.
    Command(ID_CONTEXT_MENU_ENTRY);
    Command(ID_CONTEXT_MENU_ENTRY); // made once, so "*\shell" surely exists
    {
        ReadOnlyKey shell("*\\shell");
        ASSERT_TRUE(shell.Applied());
        Command(ID_CONTEXT_MENU_ENTRY);
        EXPECT_FALSE(ClassesKeyExists(kVerbKey));
        EXPECT_FALSE(Checked(ID_CONTEXT_MENU_ENTRY));
    }
    // An entry this user may read but not change is on the menu: the mark
    // says so. (Whether the toggle may then remove it is the system's
    // affair: Windows refuses, Wine deletes it all the same.)
    Command(ID_CONTEXT_MENU_ENTRY);
    ASSERT_TRUE(ClassesKeyExists(kCommandKey));
    {
        ReadOnlyKey command(kCommandKey);
        ReadOnlyKey verb(kVerbKey);
        ASSERT_TRUE(verb.Applied() && command.Applied());
        EXPECT_TRUE(Checked(ID_CONTEXT_MENU_ENTRY));
        Command(ID_CONTEXT_MENU_ENTRY);
        EXPECT_EQ(Checked(ID_CONTEXT_MENU_ENTRY), ClassesKeyExists(kVerbKey));
    }
    RemoveEntry();
    // A verb that holds another program's subkey cannot be removed: the
    // mark stays set, and the next toggle tries again.
    Command(ID_CONTEXT_MENU_ENTRY);
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, kOtherKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    Command(ID_CONTEXT_MENU_ENTRY);
    EXPECT_TRUE(ClassesKeyExists(kVerbKey));
    EXPECT_TRUE(Checked(ID_CONTEXT_MENU_ENTRY));
}
