// The command-line grammar, the option suffix and the path helpers.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

#include "frame/CommandLine.h"
#include "framework/AnsiPath.h"
#include "framework/MbString.h"
#include "framework/NumberText.h"
#include "shell/NewInstance.h"

namespace {

using Tokens = std::vector<std::string>;

// Literals are compiled to code page 932; these characters end in a byte
// that equals an ASCII character.
const std::string kHyo = "表"; // 0x95 0x5C: trail byte '\'
const std::string kSo = "ソ";  // 0x83 0x5C: trail byte '\'
const std::string kA = "ア";   // 0x83 0x41: trail byte 'A'

TEST(MbString, LiteralsAreShiftJis)
{
    ASSERT_EQ(std::string("\x95\x5C"), kHyo);
    ASSERT_EQ(std::string("\x83\x5C"), kSo);
    ASSERT_EQ(std::string("\x83\x41"), kA);
}

TEST(MbString, SearchesSkipTrailBytes)
{
    struct Case {
        const char* name;
        std::string text;
        char ch;
        std::size_t first, last;
    };
    const std::size_t npos = std::string::npos;
    const Case cases[] = {
        {"plain", "a\\b\\c", '\\', 1, 3},
        {"none", "abc", '\\', npos, npos},
        {"empty", "", '/', npos, npos},
        {"trail backslash only", kHyo + kSo, '\\', npos, npos},
        {"backslash after 表", "C:\\" + kHyo + "\\a", '\\', 2, 5},
        {"letter after ア", kA + "A", 'A', 2, 2},
        {"half-width katakana is single-byte", "\xB1\\", '\\', 1, 1},
        {"lead byte at the end", "a\\\x95", '\\', 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.first, FindFirstByteMb(c.text, c.ch));
        EXPECT_EQ(c.last, FindLastByteMb(c.text, c.ch));
    }
}

TEST(CommandLine, SplitsAtBlanksOutsideQuotes)
{
    struct Case {
        const char* name;
        std::string line;
        Tokens tokens;
    };
    const Case cases[] = {
        {"empty line", "", {}},
        {"blanks only", "   ", {}},
        {"three paths", "a.jpg b.jpg c.jpg", {"a.jpg", "b.jpg", "c.jpg"}},
        {"runs of blanks", "  a.jpg   b.jpg  ", {"a.jpg", "b.jpg"}},
        {"unquoted blank splits", "a b.jpg", {"a", "b.jpg"}},
        {"quoted path keeps its quotes", "\"C:\\My Pictures\\a.jpg\"", {"\"C:\\My Pictures\\a.jpg\""}},
        {"quoted token 1 keeps its quotes", "a.jpg \"d e.png\"", {"a.jpg", "\"d e.png\""}},
        {"quotes in the middle", "C:\\\"My Pictures\"\\a.jpg x", {"C:\\\"My Pictures\"\\a.jpg", "x"}},
        {"two quotes only", "\"\"", {"\"\""}},
        {"unclosed quote runs to the end of the line", "a \"b c d", {"a", "\"b c d"}},
        {"unclosed quote in token 0", "\"C:\\pics\\a b.jpg", {"\"C:\\pics\\a b.jpg"}},
        {"unclosed quote after a closed one", "\"a b\" \"c d ", {"\"a b\"", "\"c d "}},
        {"tab is not a separator", "a\tb", {"a\tb"}},
        {"suffix in quotes", "\"C:\\pics\\a b.jpg/120:80:50\" d.png", {"\"C:\\pics\\a b.jpg/120:80:50\"", "d.png"}},
        {"Shift-JIS path", "C:\\" + kHyo + "\\" + kSo + ".jpg b.jpg", {"C:\\" + kHyo + "\\" + kSo + ".jpg", "b.jpg"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.tokens, SplitCommandLine(c.line));
    }
}

TEST(CommandLine, StripsLeadingThenTrailingQuotes)
{
    struct Case {
        const char* name;
        std::string token, stripped;
    };
    const Case cases[] = {
        {"one pair", "\"C:\\My Pictures\\a.jpg\"", "C:\\My Pictures\\a.jpg"},
        {"two quotes become empty", "\"\"", ""},
        {"one quote becomes empty", "\"", ""},
        {"several on each side", "\"\"\"a\"\"", "a"},
        {"leading only", "\"a.jpg", "a.jpg"},
        {"trailing only", "a.jpg\"", "a.jpg"},
        {"middle quotes stay", "\"C:\\\"x\"\\a.jpg\"", "C:\\\"x\"\\a.jpg"},
        {"no quotes", "a.jpg", "a.jpg"},
        {"empty", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.stripped, StripOuterQuotes(c.token));
    }
}

TEST(CommandLine, AtoiLikeReadsAsTheRuntimeDoes)
{
    struct Case {
        const char* name;
        const char* text;
        int value;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"no digits", "abc", 0},
        {"plain", "120", 120},
        {"leading zeros", "007", 7},
        {"leading white space", " \t\n\v\f\r42", 42},
        {"minus", "-5", -5},
        {"plus", "+8", 8},
        {"blank after sign", "- 8", 0},
        {"two signs", "+-8", 0},
        {"stops at colon", "30:40", 30},
        {"stops at letter", "12px", 12},
        {"full-width digit is no digit", "１", 0},
        {"largest int", "2147483647", INT_MAX},
        {"smallest int", "-2147483648", INT_MIN},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.value, AtoiLike(c.text));
        EXPECT_EQ(std::atoi(c.text), AtoiLike(c.text));
    }
    // Out of range: clamped, whatever the runtime at hand does.
    EXPECT_EQ(INT_MAX, AtoiLike("2147483648"));
    EXPECT_EQ(INT_MAX, AtoiLike("99999999999999999999999"));
    EXPECT_EQ(INT_MIN, AtoiLike("-2147483649"));
    EXPECT_EQ(INT_MIN, AtoiLike("-99999999999999999999999"));
    EXPECT_EQ(0, AtoiLike(nullptr));
}

TEST(CommandLine, SplitsTheOptionSuffix)
{
    struct Case {
        const char* name;
        std::string token;
        bool hasOptions;
        std::string path;
        bool hasValues;
        int left, top, zoom;
    };
    const Case cases[] = {
        {"no suffix", "C:\\pics\\a.jpg", false, "C:\\pics\\a.jpg", false, 0, 0, 0},
        {"full suffix", "C:\\pics\\a b.jpg/120:80:50", true, "C:\\pics\\a b.jpg", true, 120, 80, 50},
        {"fourth field ignored", "x.jpg/10:20:30:40", true, "x.jpg", true, 10, 20, 30},
        {"negative and zero", "x.jpg/-5:-5:0", true, "x.jpg", true, -5, -5, 0},
        {"blanks and signs", "x.jpg/ 12: +3:  -7abc", true, "x.jpg", true, 12, 3, -7},
        {"no digits read as 0", "x.jpg/a:b:c", true, "x.jpg", true, 0, 0, 0},
        {"empty fields", "x.jpg/::", true, "x.jpg", true, 0, 0, 0},
        {"split at the first slash", "a/b/1:2:3", true, "a", true, 0, 2, 3},
        {"one colon takes nothing", "x.jpg/10:20", true, "x.jpg", false, 0, 0, 0},
        {"no colon takes nothing", "x.jpg/10", true, "x.jpg", false, 0, 0, 0},
        {"slash at the end", "x.jpg/", true, "x.jpg", false, 0, 0, 0},
        {"slash at the start", "/1:2:3", true, "", true, 1, 2, 3},
        {"Shift-JIS path", "C:\\" + kHyo + "\\" + kSo + ".jpg/1:2:3", true, "C:\\" + kHyo + "\\" + kSo + ".jpg", true,
         1, 2, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OptionSuffix s = SplitOptionSuffix(c.token);
        EXPECT_EQ(c.hasOptions, s.hasOptions);
        EXPECT_EQ(c.path, s.path);
        EXPECT_EQ(c.hasValues, s.hasLeftTop);
        EXPECT_EQ(c.hasValues, s.hasZoom);
        if (c.hasValues) {
            EXPECT_EQ(c.left, s.left);
            EXPECT_EQ(c.top, s.top);
            EXPECT_EQ(c.zoom, s.zoom);
        }
    }
}

TEST(CommandLine, QuotesANewInstancePathWithABlank)
{
    struct Case {
        const char* name;
        std::string path, argument;
    };
    const Case cases[] = {
        {"blank gets quotes", "C:\\My Pictures\\a.png", "\"C:\\My Pictures\\a.png\""},
        {"no blank stays bare", "C:\\pics\\a.png", "C:\\pics\\a.png"},
        {"already quoted", "\"d e.png\"", "\"d e.png\""},
        {"any quote keeps it as it is", "a\"b c", "a\"b c"},
        {"empty", "", ""},
        {"Shift-JIS with blank", kHyo + " " + kSo, "\"" + kHyo + " " + kSo + "\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.argument, QuoteForNewInstance(c.path));
    }
}

TEST(CommandLine, FolderOfPathCutsAtTheLastBackslash)
{
    struct Case {
        const char* name;
        std::string path, folder;
    };
    const Case cases[] = {
        {"program path", "C:\\Program Files\\KEP\\kep.exe", "C:\\Program Files\\KEP"},
        {"no backslash", "kep.exe", "kep.exe"},
        {"root", "C:\\kep.exe", "C:"},
        {"trailing backslash", "C:\\pics\\", "C:\\pics"},
        {"folder ending in 表", "C:\\" + kHyo + "\\kep.exe", "C:\\" + kHyo},
        {"file name ending in ソ", "C:\\pics\\" + kSo, "C:\\pics"},
        {"only trail bytes", kHyo + kSo, kHyo + kSo},
        {"folder ending in 能力ソ", "D:\\a\\能力ソ\\x.exe", "D:\\a\\能力ソ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.folder, FolderOfPath(c.path));
    }
}

TEST(WideCommandLine, ArgumentsStartAfterTheProgramNameAsTheRuntimeFindsThem)
{
    struct Case {
        const char* name;
        std::wstring line, arguments;
    };
    const Case cases[] = {
        {"quoted program", L"\"C:\\Program Files\\KEP\\kep.exe\"  a.jpg b.jpg", L"a.jpg b.jpg"},
        {"bare program", L"kep.exe \"C:\\My Pictures\\x.png\"", L"\"C:\\My Pictures\\x.png\""},
        {"quote inside the name", L"C:\\\"a b\"\\kep.exe x", L"x"},
        {"tab after the name", L"kep.exe\t\tx.png ", L"x.png "},
        {"no arguments", L"\"kep.exe\"", L""},
        {"empty line", L"", L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.arguments, ArgumentsOfCommandLine(c.line));
    }
}

TEST(WideCommandLine, ANameOutsideTheCodePageBecomesItsShortFormKeepingQuotesAndOptions)
{
    // U+00E9 (é) and U+D55C (Hangul) have no counterpart in code page 932; 表 has.
    std::vector<std::wstring> asked;
    auto shortForm = [&](const std::wstring& path) {
        asked.push_back(path);
        return std::string("C:\\SHORT~") + std::to_string(asked.size()) + ".PNG";
    };
    struct Case {
        const char* name;
        std::wstring arguments;
        std::string line;
        std::vector<std::wstring> asked;
    };
    const Case cases[] = {
        {"the code page holds it all",
         L"\"C:\\My Pictures\\\u8868.jpg/1:2:50\"  b.jpg",
         "\"C:\\My Pictures\\" + kHyo + ".jpg/1:2:50\"  b.jpg",
         {}},
        {"bare token", L"C:\\caf\u00e9.png", "C:\\SHORT~1.PNG", {L"C:\\caf\u00e9.png"}},
        {"quoted, with option suffix",
         L"\"C:\\my caf\u00e9.png/10:20:30\" b.jpg",
         "\"C:\\SHORT~1.PNG/10:20:30\" b.jpg",
         {L"C:\\my caf\u00e9.png"}},
        {"a further token too", L"a.jpg  C:\\\ud55c.png", "a.jpg C:\\SHORT~1.PNG", {L"C:\\\ud55c.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        asked.clear();
        EXPECT_EQ(c.line, AnsiCommandLine(c.arguments, shortForm));
        EXPECT_EQ(c.asked, asked);
    }
}

TEST(WideCommandLine, ExactConversionRefusesBestFitAndMarksTheLoss)
{
    std::string ansi;
    EXPECT_TRUE(WideToAnsiExact(L"C:\\\u8868\\\u30bd.jpg", &ansi));
    EXPECT_EQ("C:\\" + kHyo + "\\" + kSo + ".jpg", ansi);
    // A best fit would give "cafe.png", the name of another file.
    EXPECT_FALSE(WideToAnsiExact(L"caf\u00e9.png", &ansi));
    EXPECT_EQ("caf?.png", ansi);
    EXPECT_EQ(L"C:\\\u8868.jpg", AnsiToWide("C:\\" + kHyo + ".jpg"));
}

TEST(WideCommandLine, OnlyThePartsTheCodePageLacksAreShortened)
{
    EXPECT_EQ(
        L"Z:\\my pictures\\_T_~~3NC\\CAF_~EYE.PNG",
        ShortenWhereNeeded(L"Z:\\my pictures\\\u00e9t\u00e9\\caf\u00e9.png", L"Z:\\MYPICT~1\\_T_~~3NC\\CAF_~EYE.PNG"));
    EXPECT_EQ(L"\u8868\\CAF_~EYE.PNG", ShortenWhereNeeded(L"\u8868\\caf\u00e9.png", L"\u8868\\CAF_~EYE.PNG"));
    // Parts that do not pair up: the short path whole.
    EXPECT_EQ(L"C:\\A~1\\CAF_~EYE.PNG", ShortenWhereNeeded(L"C:\\a\\b\\caf\u00e9.png", L"C:\\A~1\\CAF_~EYE.PNG"));
}

} // namespace
