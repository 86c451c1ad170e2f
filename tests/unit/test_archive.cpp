#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "CArchive.h"
#include "CFile.h"
#include "CString.h"
#include "support/TestFiles.h"

// The largest single allocation since the last reset, so a test can show that
// a damaged length never reaches the allocator. Replacing the global operator
// new only adds the bookkeeping; memory still comes from malloc. The deletes
// are kept out of line: inlined, GCC takes free() after operator new for a
// mismatch.
namespace {
std::atomic<std::size_t> g_largestAllocation{0};
}

void* operator new(std::size_t size)
{
    std::size_t seen = g_largestAllocation.load();
    while (size > seen && !g_largestAllocation.compare_exchange_weak(seen, size)) {
    }
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}

__attribute__((noinline)) void operator delete(void* p) noexcept
{
    std::free(p);
}

__attribute__((noinline)) void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

// A file in a temporary folder of its own; both go with the object.
class TempFile {
public:
    const CString& Path() const { return m_path; }
    void Write(const Bytes& bytes) const { WriteBytes(m_path.GetString(), bytes); }
    Bytes Read() const { return ReadBytes(m_path.GetString()); }

private:
    TempFolder m_folder{"archive"};
    CString m_path{m_folder.File("file.bin").c_str()};
};

// The bytes that f writes through a storing archive.
Bytes Store(const std::function<void(CArchive&)>& f)
{
    TempFile temp;
    {
        CFile file;
        EXPECT_TRUE(file.Open(temp.Path(), CFile::modeCreate | CFile::modeWrite));
        CArchive ar(&file, CArchive::store);
        f(ar);
        ar.Close();
    }
    return temp.Read();
}

// Runs f on a loading archive over bytes.
void Load(const Bytes& bytes, const std::function<void(CArchive&)>& f)
{
    TempFile temp;
    temp.Write(bytes);
    CFile file;
    ASSERT_TRUE(file.Open(temp.Path(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    f(ar);
}

int CauseOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const CArchiveException& e) {
        return e.m_cause;
    }
    return CArchiveException::none;
}

CString Pattern(int length)
{
    CString s;
    char* p = s.GetBufferSetLength(length);
    for (int i = 0; i < length; ++i)
        p[i] = static_cast<char>('a' + i % 26);
    return s;
}

Bytes Concat(Bytes a, const CString& s)
{
    a.insert(a.end(), s.GetString(), s.GetString() + s.GetLength());
    return a;
}

TEST(ArchiveTest, IntegersAreLittleEndianInTheirOwnWidths)
{
    const Bytes stored = Store([](CArchive& ar) {
        ar << -2 << static_cast<LONG>(0x12345678) << static_cast<DWORD>(0x89ABCDEF) << 7u << static_cast<WORD>(0xBEEF)
           << static_cast<BYTE>(0xAB) << TRUE;
    });
    const Bytes expected = {0xFE, 0xFF, 0xFF, 0xFF, 0x78, 0x56, 0x34, 0x12, 0xEF, 0xCD, 0xAB, 0x89,
                            0x07, 0x00, 0x00, 0x00, 0xEF, 0xBE, 0xAB, 0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(stored, expected);

    Load(expected, [](CArchive& ar) {
        int i = 0;
        LONG l = 0;
        DWORD d = 0;
        UINT u = 0;
        WORD w = 0;
        BYTE b = 0;
        BOOL flag = FALSE;
        ar >> i >> l >> d >> u >> w >> b >> flag;
        EXPECT_EQ(i, -2);
        EXPECT_EQ(l, 0x12345678);
        EXPECT_EQ(d, 0x89ABCDEFu);
        EXPECT_EQ(u, 7u);
        EXPECT_EQ(w, 0xBEEF);
        EXPECT_EQ(b, 0xAB);
        EXPECT_EQ(flag, TRUE);
        EXPECT_EQ(ar.GetBytesLeft(), 0u);
    });
}

TEST(ArchiveTest, StringLengthPrefixTakesTheShortestForm)
{
    const struct {
        int length;
        Bytes prefix;
    } cases[] = {
        {0, {0x00}},
        {1, {0x01}},
        {254, {0xFE}},
        {255, {0xFF, 0xFF, 0x00}},
        {0xFFFD, {0xFF, 0xFD, 0xFF}},
        {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
        {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.length);
        const CString text = Pattern(c.length);
        const Bytes stored = Store([&](CArchive& ar) { ar << text; });
        EXPECT_EQ(stored, Concat(c.prefix, text));
        Load(stored, [&](CArchive& ar) {
            CString back("not read");
            ar >> back;
            EXPECT_EQ(back, text);
            EXPECT_EQ(ar.GetBytesLeft(), 0u);
        });
    }
}

TEST(ArchiveTest, ReaderAcceptsEveryPrefixFormAndMultibyteText)
{
    const CString text("表示ソフト");
    const int n = text.GetLength();
    Bytes bytes = Concat({static_cast<unsigned char>(n)}, text);
    bytes.push_back(0xFF);
    bytes.insert(bytes.end(), {static_cast<unsigned char>(n), 0x00});
    bytes = Concat(bytes, text);
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, static_cast<unsigned char>(n), 0x00, 0x00, 0x00});
    bytes = Concat(bytes, text);
    bytes.insert(bytes.end(), {0x2A, 0x00, 0x00, 0x00});

    Load(bytes, [&](CArchive& ar) {
        CString a, b, c;
        int after = 0;
        ar >> a >> b >> c >> after;
        EXPECT_EQ(a, text);
        EXPECT_EQ(b, text);
        EXPECT_EQ(c, text);
        EXPECT_EQ(after, 42);
    });
}

TEST(ArchiveTest, DataEndingInsideAValueThrowsEndOfFile)
{
    auto readInt = [](CArchive& ar) {
        int n;
        ar >> n;
    };
    auto readString = [](CArchive& ar) {
        CString s;
        ar >> s;
    };
    const struct {
        const char* name;
        Bytes bytes;
        std::function<void(CArchive&)> read;
    } cases[] = {
        {"int from 3 bytes", {1, 2, 3}, readInt},
        {"byte from nothing",
         {},
         [](CArchive& ar) {
             BYTE b;
             ar >> b;
         }},
        {"word from 1 byte",
         {1},
         [](CArchive& ar) {
             WORD w;
             ar >> w;
         }},
        {"second int missing",
         {1, 0, 0, 0},
         [](CArchive& ar) {
             int a, b;
             ar >> a >> b;
         }},
        {"string shorter than its length", {5, 'a', 'b'}, readString},
        {"2-byte length cut", {0xFF, 0x01}, readString},
        {"4-byte length cut", {0xFF, 0xFF, 0xFF, 0x01, 0x00}, readString},
        {"prefix missing", {}, readString},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.bytes, [&](CArchive& ar) { EXPECT_EQ(CauseOf([&] { c.read(ar); }), CArchiveException::endOfFile); });
    }
}

TEST(ArchiveTest, DamagedStringLengthIsRefusedBeforeAnyAllocation)
{
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"0x7FFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F, 'a', 'b', 'c'}},
        {"0xFFFFFFFF", {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 'a'}},
        {"16 MB", {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x01, 'a', 'b'}},
        {"0xFFFE in two bytes", {0xFF, 0xFE, 0xFF, 'a'}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Load(c.bytes, [&](CArchive& ar) {
            g_largestAllocation = 0;
            const int cause = CauseOf([&] {
                CString s;
                ar >> s;
            });
            const std::size_t largest = g_largestAllocation;
            EXPECT_EQ(cause, CArchiveException::endOfFile);
            EXPECT_LT(largest, 16u * 1024u);
        });
    }
}

TEST(ArchiveTest, ValuesCrossingTheBufferBoundaryRoundTrip)
{
    const CString big = Pattern(5000);
    const CString small = Pattern(300);
    const Bytes stored = Store([&](CArchive& ar) {
        for (int i = 0; i < 3000; ++i)
            ar << i * 7;
        ar << big << small;
    });
    ASSERT_EQ(stored.size(), 3000u * 4 + 3 + 5000 + 3 + 300);

    Load(stored, [&](CArchive& ar) {
        for (int i = 0; i < 3000; ++i) {
            int n = 0;
            ar >> n;
            ASSERT_EQ(n, i * 7);
        }
        CString a, b;
        ar >> a >> b;
        EXPECT_EQ(a, big);
        EXPECT_EQ(b, small);
    });
}

TEST(ArchiveTest, FlushWhileLoadingPutsTheFileAtTheArchivePosition)
{
    TempFile temp;
    temp.Write({1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0});
    CFile file;
    ASSERT_TRUE(file.Open(temp.Path(), CFile::modeReadWrite));
    {
        CArchive ar(&file, CArchive::load);
        int first = 0;
        ar >> first;
        EXPECT_EQ(first, 1);
        ar.Flush();
        EXPECT_EQ(file.GetPosition(), 4u);
        ar.Close();
    }
    CArchive again(&file, CArchive::load);
    int second = 0;
    again >> second;
    EXPECT_EQ(second, 2);
}

TEST(ArchiveTest, FailedWritesAndWrongDirectionsThrow)
{
    TempFile temp;
    temp.Write({0});
    CFile readOnly;
    ASSERT_TRUE(readOnly.Open(temp.Path(), CFile::modeRead));
    {
        // The bytes wait in the buffer; the failure shows when they are written.
        CArchive ar(&readOnly, CArchive::store);
        ar << 5;
        EXPECT_EQ(CauseOf([&] { ar.Close(); }), CArchiveException::genericException);
    }
    {
        // More than a buffer's worth fails while writing.
        CArchive ar(&readOnly, CArchive::store);
        EXPECT_EQ(CauseOf([&] { ar << Pattern(10000); }), CArchiveException::genericException);
    }
    {
        CArchive ar(&readOnly, CArchive::store);
        EXPECT_EQ(CauseOf([&] {
                      int n;
                      ar >> n;
                  }),
                  CArchiveException::writeOnly);
        ar.Abort();
    }
    {
        CArchive ar(&readOnly, CArchive::load);
        EXPECT_EQ(CauseOf([&] { ar << 1; }), CArchiveException::readOnly);
    }
    readOnly.Close();
    EXPECT_EQ(temp.Read(), Bytes{0});
}

TEST(CFileTest, ExclusiveOpenLocksOutEveryOtherOpener)
{
    TempFile temp;
    temp.Write({1, 2, 3});
    for (UINT share : {CFile::shareCompat, CFile::shareExclusive}) {
        SCOPED_TRACE(share);
        CFile holder;
        ASSERT_TRUE(holder.Open(temp.Path(), CFile::modeRead | share));
        CFile other;
        DWORD error = 0;
        EXPECT_FALSE(other.Open(temp.Path(), CFile::modeRead | CFile::shareDenyNone, &error));
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    }
    CFile reader;
    ASSERT_TRUE(reader.Open(temp.Path(), CFile::modeRead | CFile::shareDenyWrite));
    CFile secondReader;
    EXPECT_TRUE(secondReader.Open(temp.Path(), CFile::modeRead | CFile::shareDenyNone));
    CFile writer;
    EXPECT_FALSE(writer.Open(temp.Path(), CFile::modeWrite | CFile::shareDenyNone));
}

TEST(CFileTest, CreationModesTruncateOnlyWhenAsked)
{
    TempFile temp;
    temp.Write({1, 2, 3, 4});
    {
        CFile keep;
        ASSERT_TRUE(keep.Open(temp.Path(), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite));
        EXPECT_EQ(keep.GetLength(), 4u);
    }
    {
        CFile truncate;
        ASSERT_TRUE(truncate.Open(temp.Path(), CFile::modeCreate | CFile::modeWrite));
        EXPECT_EQ(truncate.GetLength(), 0u);
    }
    ::DeleteFileA(temp.Path());
    CFile missing;
    DWORD error = 0;
    EXPECT_FALSE(missing.Open(temp.Path(), CFile::modeRead, &error));
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(missing.IsOpen());
}

TEST(CFileTest, PositionLengthAndClosedFile)
{
    TempFile temp;
    CFile file;
    ASSERT_TRUE(file.Open(temp.Path(), CFile::modeCreate | CFile::modeReadWrite));
    EXPECT_TRUE(file.Write("0123456789", 10));
    EXPECT_EQ(file.GetLength(), 10u);
    EXPECT_EQ(file.Seek(-3, CFile::end), 7u);
    char buf[8] = {};
    EXPECT_EQ(file.Read(buf, sizeof buf), 3u);
    EXPECT_STREQ(buf, "789");
    EXPECT_EQ(file.Read(buf, sizeof buf), 0u);
    EXPECT_TRUE(file.SetLength(4));
    EXPECT_EQ(file.GetLength(), 4u);
    EXPECT_EQ(file.GetPosition(), 4u);
    EXPECT_EQ(file.SeekToBegin(), 0u);
    file.Close();
    EXPECT_EQ(file.GetLength(), 0u);
    EXPECT_EQ(file.Read(buf, 1), 0u);
    EXPECT_FALSE(file.Write("x", 1));
    EXPECT_EQ(temp.Read(), (Bytes{'0', '1', '2', '3'}));
}

} // namespace
