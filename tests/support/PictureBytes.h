// Pictures written byte by byte for the tests of the header readers: values
// in either byte order, TIFF structures (classic and BigTIFF) and JPEG
// segments, so a test builds exactly the structure it is about.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<unsigned char>; // as in support/TestFiles.h

// Bytes appended value by value, little- or big-endian.
class PictureBytes {
public:
    explicit PictureBytes(bool bigEndian = false) : m_big(bigEndian) {}

    PictureBytes& U8(std::initializer_list<int> values);
    PictureBytes& U16(std::uint32_t v);
    PictureBytes& U32(std::uint32_t v);
    PictureBytes& U64(std::uint64_t v);
    PictureBytes& Text(const char* s); // without its terminator
    PictureBytes& Append(const Bytes& bytes);
    PictureBytes& Zeros(std::size_t n);

    // Overwrites a value already written.
    void Put16At(std::size_t at, std::uint32_t v);
    void Put32At(std::size_t at, std::uint32_t v);
    void Put64At(std::size_t at, std::uint64_t v);

    std::size_t Size() const { return m_bytes.size(); }
    const Bytes& Data() const { return m_bytes; }
    bool IsBigEndian() const { return m_big; }

protected:
    Bytes m_bytes;

private:
    void PutAt(std::size_t at, std::uint64_t v, int width);

    bool m_big;
};

// One directory entry; value is what the value field holds: the value itself
// when it fits there (a SHORT or LONG of count 1), otherwise an offset.
struct TiffTag {
    std::uint32_t tag;
    std::uint32_t type; // 3 SHORT, 4 LONG, 5 RATIONAL, 13 IFD, 16 LONG8 ...
    std::uint64_t count;
    std::uint64_t value;
};

// A TIFF header ("II" or "MM", 42, or 43 for BigTIFF) whose first directory
// follows it, then whatever the test writes.
class TiffBytes : public PictureBytes {
public:
    TiffBytes(bool bigEndian, bool bigTiff = false);

    // Writes a directory at the end and returns where it starts.
    std::size_t Directory(const std::vector<TiffTag>& tags, std::uint64_t next = 0);
    // Where entry i of the directory at dir starts, and where its next offset is.
    std::size_t EntryAt(std::size_t dir, std::size_t i) const;
    std::size_t NextFieldOf(std::size_t dir, std::size_t count) const;
    void SetFirstDirectory(std::uint64_t at);
    void SetNext(std::size_t dir, std::size_t count, std::uint64_t next);
    // Overwrites entry i of the directory at dir.
    void SetEntry(std::size_t dir, std::size_t i, const TiffTag& tag);

    std::size_t HeaderSize() const { return m_bigTiff ? 16 : 8; }
    bool IsBigTiff() const { return m_bigTiff; }

private:
    void Offset(std::uint64_t v); // 4 or 8 bytes
    void Entry(const TiffTag& t);
    bool m_bigTiff;
};

// SOI, a JFIF APP0, the segments given, a baseline frame header of w x h,
// then EOI.
Bytes JpegWith(const std::vector<Bytes>& segments, std::uint32_t w = 64, std::uint32_t h = 48);
// A segment: FF, the marker, the length (counting itself), the data.
Bytes JpegSegment(int marker, const Bytes& data);
// An APP1 segment holding "Exif\0\0" and the TIFF structure.
Bytes ExifSegment(const Bytes& tiff);
// A JPEG as a camera writes it: jpeg with an EXIF block right after its SOI,
// whose first directory holds the orientation and whose second one names the
// thumbnail bytes that follow it (any bytes; a JPEG as a rule).
Bytes WithExifThumbnail(const Bytes& jpeg, const Bytes& thumbnail, int orientation = 1);
