#include <gtest/gtest.h>

#include <cstring>

#include "AfxStream.h"

namespace {

// Reads at a position; the number of bytes the stream gave.
ULONG ReadAt(IStream* pStream, ULONGLONG pos, char* buffer, ULONG cb)
{
    LARGE_INTEGER move;
    move.QuadPart = static_cast<LONGLONG>(pos);
    EXPECT_EQ(pStream->Seek(move, STREAM_SEEK_SET, nullptr), S_OK);
    ULONG got = 12345;
    EXPECT_EQ(pStream->Read(buffer, cb, &got), S_OK);
    return got;
}

// Moved to any position a damaged picture names, the stream reads only its
// own bytes: nothing at or beyond the end, the rest of the data before it.
TEST(BoundedReadStream, ReadsStopAtTheEndOfTheData)
{
    HGLOBAL hData = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 8);
    ASSERT_NE(hData, nullptr);
    std::memcpy(::GlobalLock(hData), "ABCDEFGH", 8);
    ::GlobalUnlock(hData);
    IStream* pStream = nullptr;
    ASSERT_EQ(AfxCreateStreamOnHGlobal(hData, TRUE, &pStream), S_OK);
    IStream* pBounded = AfxWrapBoundedReadStream(pStream);

    char buffer[16] = {};
    EXPECT_EQ(ReadAt(pBounded, 4, buffer, 16), 4u);
    EXPECT_EQ(std::memcmp(buffer, "EFGH", 4), 0);
    for (ULONGLONG pos : {8ull, 9ull, 100ull, 0x1000000ull, 0x7FFFFFF0ull})
        EXPECT_EQ(ReadAt(pBounded, pos, buffer, 16), 0u) << pos;

    IStream* pClone = nullptr;
    ASSERT_EQ(pBounded->Clone(&pClone), S_OK);
    EXPECT_EQ(ReadAt(pClone, 0x1000000, buffer, 16), 0u);
    EXPECT_EQ(ReadAt(pClone, 6, buffer, 16), 2u);
    pClone->Release();
    EXPECT_EQ(pBounded->Release(), 0u);
}

} // namespace
