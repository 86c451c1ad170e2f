// The Startup shortcut's file name, taken from a multibyte image path.
#include <gtest/gtest.h>

#include "shell/StartupShortcut.h"

TEST(ShellTexts, StartupShortcutNameTakesTheFileNameAfterTheLastBackslash)
{
    EXPECT_EQ(StartupShortcutFileName("C:\\pics\\a.jpg"), "KEPa.jpg.lnk");
    EXPECT_EQ(StartupShortcutFileName("a.jpg"), "KEPa.jpg.lnk");
    // ソ is 0x83 0x5C in code page 932: its trail byte is no separator.
    EXPECT_EQ(StartupShortcutFileName("C:\\写真\\ソ.jpg"), "KEPソ.jpg.lnk");
    EXPECT_EQ(StartupShortcutFileName("C:\\表"), "KEP表.lnk");
}
