#include <gtest/gtest.h>

#include <mbctype.h>

#include <cstring>
#include <string>

#include "CString.h"

namespace {

// 表 is 0x95 0x5C and ソ is 0x83 0x5C in code page 932: their trail byte is
// the backslash.
const char kTrailBackslashPath[] = "C:\\表\\ソ";

TEST(CStringTest, SourceLiteralsAreCodePage932AndRuntimeAgrees)
{
    ASSERT_EQ(_getmbcp(), 932);
    const CString s(kTrailBackslashPath);
    ASSERT_EQ(s.GetLength(), 8);
    EXPECT_EQ(static_cast<unsigned char>(s[3]), 0x95);
    EXPECT_EQ(static_cast<unsigned char>(s[4]), 0x5C);
    EXPECT_EQ(static_cast<unsigned char>(s[6]), 0x83);
    EXPECT_EQ(static_cast<unsigned char>(s[7]), 0x5C);
}

TEST(CStringTest, SearchesSkipTrailBytesThatLookLikeBackslashes)
{
    const CString s(kTrailBackslashPath); // C : \ 表(2) \ ソ(2)
    EXPECT_EQ(s.ReverseFind('\\'), 5);    // strrchr would find 7
    EXPECT_EQ(s.Find('\\'), 2);
    EXPECT_EQ(s.Find('\\', 3), 5); // strchr would find 4
    EXPECT_EQ(s.Find("\\", 3), 5);
    EXPECT_EQ(s.Find("ソ"), 6);
    EXPECT_EQ(s.Find("\\ソ"), 5);

    const CString onlyTrails("表ソ能");
    EXPECT_EQ(onlyTrails.ReverseFind('\\'), -1);
    EXPECT_EQ(onlyTrails.Find('\\'), -1);
    EXPECT_EQ(onlyTrails.Find("\\"), -1);

    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find("xyz"), -1);
    EXPECT_EQ(s.Find('C', 100), -1);
    EXPECT_EQ(s.Find('C', -3), 0);
    EXPECT_EQ(s.Find('\0'), -1);
    EXPECT_EQ(CString().ReverseFind('\\'), -1);
}

TEST(CStringTest, CompareNoCaseFoldsAsciiButKeepsDoubleByteCharacters)
{
    EXPECT_EQ(CString("Image.JPG").CompareNoCase("image.jpg"), 0);
    // ア (0x83 0x41) and ャ (0x83 0x61) differ only by a trail byte that a
    // single-byte fold would treat as 'A' / 'a'.
    EXPECT_NE(CString("ア").CompareNoCase("ャ"), 0);
    EXPECT_NE(CString("abc").Compare("ABC"), 0);
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_GT(CString("b").Compare("abc"), 0);
    EXPECT_EQ(CString("表示").Compare("表示"), 0);
}

TEST(CStringTest, SubstringsClampTheirArguments)
{
    const CString s("abcdef");
    struct Case {
        CString got;
        const char* expected;
    };
    const Case cases[] = {
        {s.Left(3), "abc"},    {s.Left(0), ""},       {s.Left(-1), ""},        {s.Left(99), "abcdef"},
        {s.Right(2), "ef"},    {s.Right(-5), ""},     {s.Right(99), "abcdef"}, {s.Mid(2), "cdef"},
        {s.Mid(-4), "abcdef"}, {s.Mid(6), ""},        {s.Mid(99), ""},         {s.Mid(1, 2), "bc"},
        {s.Mid(4, 99), "ef"},  {s.Mid(-2, 3), "abc"}, {s.Mid(2, -1), ""},      {s.Mid(3, 0x7FFFFFFF), "def"},
    };
    for (std::size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cases[i].got, cases[i].expected);
    }
}

TEST(CStringTest, FormatProducesStringsOfAnyLength)
{
    const std::string longText(5000, 'x');
    CString s;
    s.Format("[%s] %d %05.1f %s", longText.c_str(), -42, 3.14159, "表示");
    const std::string expected = "[" + longText + "] -42 003.1 表示";
    EXPECT_EQ(std::string(s), expected);
    EXPECT_EQ(s.GetLength(), static_cast<int>(expected.size()));

    // The arguments may point into the string being formatted.
    CString self("abc");
    self.Format("%s-%s", self.GetString(), self.GetString());
    EXPECT_EQ(self, "abc-abc");
    self.AppendFormat("/%u", 7u);
    EXPECT_EQ(self, "abc-abc/7");
}

TEST(CStringTest, BufferAccessTakesTheLengthFromTheContentOrTheCaller)
{
    CString s("old content that is long");
    char* p = s.GetBuffer(4);
    std::strcpy(p, "new");
    s.ReleaseBuffer();
    EXPECT_EQ(s, "new");
    EXPECT_EQ(s.GetLength(), 3);

    char* q = s.GetBuffer(300);
    std::memset(q, 'z', 300);
    s.ReleaseBuffer(250);
    EXPECT_EQ(s.GetLength(), 250);
    EXPECT_EQ(s, CString('z', 250));

    std::memcpy(s.GetBufferSetLength(2), "ok", 2);
    EXPECT_EQ(s, "ok");
}

TEST(CStringTest, ContentWithEmbeddedNulComparesByteForByte)
{
    const CString a("ab\0cd", 5);
    const CString b("ab\0ce", 5);
    EXPECT_EQ(a.GetLength(), 5);
    EXPECT_NE(a, b);
    EXPECT_NE(a, "ab");
    EXPECT_EQ(a.Left(2), "ab");
    EXPECT_EQ(a.Find('c'), 3);
    EXPECT_EQ(a.ReverseFind('\0'), 2);
}

TEST(CStringTest, ConcatenationAndComparisonOperators)
{
    CString s = CString("KEP") + " - " + CString("a.jpg");
    s += '!';
    s += CString("?");
    EXPECT_EQ(s, "KEP - a.jpg!?");
    EXPECT_EQ("x" + CString("y") + 'z', CString("xyz"));
    EXPECT_TRUE("abc" == CString("abc"));
    EXPECT_TRUE(CString("abc") != "abd");
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_EQ(CString('-', 3), "---");
    EXPECT_TRUE(CString('-', 0).IsEmpty());
    EXPECT_TRUE(CString(static_cast<const char*>(nullptr)).IsEmpty());
    EXPECT_EQ(s[static_cast<std::size_t>(0)], 'K');
    EXPECT_EQ(s.GetAt(-1), '\0');
    EXPECT_EQ(s.GetAt(100), '\0');
}

TEST(CStringTest, TrimRemovesBlanksOnlyAtTheEnds)
{
    CString s(" \t 表 ソ \r\n");
    s.TrimLeft();
    EXPECT_EQ(s, "表 ソ \r\n");
    s.TrimRight();
    EXPECT_EQ(s, "表 ソ");
}

TEST(CStringTest, LoadStringOfAMissingResourceFailsAndEmpties)
{
    CString s("previous");
    EXPECT_FALSE(s.LoadString(0xBEEF));
    EXPECT_TRUE(s.IsEmpty());
}

} // namespace
