#include "support/PictureBytes.h"

#include <cstring>

PictureBytes& PictureBytes::U8(std::initializer_list<int> values)
{
    for (int v : values)
        m_bytes.push_back(static_cast<unsigned char>(v));
    return *this;
}

void PictureBytes::PutAt(std::size_t at, std::uint64_t v, int width)
{
    if (m_bytes.size() < at + width)
        m_bytes.resize(at + width);
    for (int i = 0; i < width; ++i)
        m_bytes[at + (m_big ? width - 1 - i : i)] = static_cast<unsigned char>(v >> (8 * i));
}

PictureBytes& PictureBytes::U16(std::uint32_t v)
{
    PutAt(m_bytes.size(), v, 2);
    return *this;
}

PictureBytes& PictureBytes::U32(std::uint32_t v)
{
    PutAt(m_bytes.size(), v, 4);
    return *this;
}

PictureBytes& PictureBytes::U64(std::uint64_t v)
{
    PutAt(m_bytes.size(), v, 8);
    return *this;
}

PictureBytes& PictureBytes::Text(const char* s)
{
    m_bytes.insert(m_bytes.end(), s, s + std::strlen(s));
    return *this;
}

PictureBytes& PictureBytes::Append(const Bytes& bytes)
{
    m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
    return *this;
}

PictureBytes& PictureBytes::Zeros(std::size_t n)
{
    m_bytes.insert(m_bytes.end(), n, 0);
    return *this;
}

void PictureBytes::Put16At(std::size_t at, std::uint32_t v)
{
    PutAt(at, v, 2);
}

void PictureBytes::Put32At(std::size_t at, std::uint32_t v)
{
    PutAt(at, v, 4);
}

void PictureBytes::Put64At(std::size_t at, std::uint64_t v)
{
    PutAt(at, v, 8);
}

TiffBytes::TiffBytes(bool bigEndian, bool bigTiff) : PictureBytes(bigEndian), m_bigTiff(bigTiff)
{
    Text(bigEndian ? "MM" : "II");
    if (bigTiff)
        U16(43).U16(8).U16(0).U64(16);
    else
        U16(42).U32(8);
}

void TiffBytes::Offset(std::uint64_t v)
{
    if (m_bigTiff)
        U64(v);
    else
        U32(static_cast<std::uint32_t>(v));
}

std::size_t TiffBytes::Directory(const std::vector<TiffTag>& tags, std::uint64_t next)
{
    const std::size_t at = Size();
    if (m_bigTiff)
        U64(tags.size());
    else
        U16(static_cast<std::uint32_t>(tags.size()));
    for (const TiffTag& t : tags)
        Entry(t);
    Offset(next);
    return at;
}

void TiffBytes::Entry(const TiffTag& t)
{
    const std::size_t field = m_bigTiff ? 8 : 4;
    U16(t.tag).U16(t.type);
    if (m_bigTiff)
        U64(t.count);
    else
        U32(static_cast<std::uint32_t>(t.count));
    if (t.type == 3 && t.count == 1)
        U16(static_cast<std::uint32_t>(t.value)).Zeros(field - 2);
    else if ((t.type == 4 || t.type == 13) && t.count == 1)
        U32(static_cast<std::uint32_t>(t.value)).Zeros(field - 4);
    else
        Offset(t.value);
}

void TiffBytes::SetEntry(std::size_t dir, std::size_t i, const TiffTag& tag)
{
    TiffBytes entry(IsBigEndian(), m_bigTiff);
    const std::size_t header = entry.Size();
    entry.Entry(tag);
    const std::size_t at = EntryAt(dir, i);
    for (std::size_t k = header; k < entry.Size(); ++k)
        m_bytes[at + k - header] = entry.Data()[k];
}

std::size_t TiffBytes::EntryAt(std::size_t dir, std::size_t i) const
{
    return m_bigTiff ? dir + 8 + 20 * i : dir + 2 + 12 * i;
}

std::size_t TiffBytes::NextFieldOf(std::size_t dir, std::size_t count) const
{
    return EntryAt(dir, count);
}

void TiffBytes::SetFirstDirectory(std::uint64_t at)
{
    if (m_bigTiff)
        Put64At(8, at);
    else
        Put32At(4, static_cast<std::uint32_t>(at));
}

void TiffBytes::SetNext(std::size_t dir, std::size_t count, std::uint64_t next)
{
    if (m_bigTiff)
        Put64At(NextFieldOf(dir, count), next);
    else
        Put32At(NextFieldOf(dir, count), static_cast<std::uint32_t>(next));
}

Bytes JpegSegment(int marker, const Bytes& data)
{
    PictureBytes b(true);
    b.U8({0xFF, marker}).U16(static_cast<std::uint32_t>(data.size() + 2)).Append(data);
    return b.Data();
}

Bytes ExifSegment(const Bytes& tiff)
{
    PictureBytes data;
    data.Text("Exif").U8({0, 0}).Append(tiff);
    return JpegSegment(0xE1, data.Data());
}

Bytes JpegWith(const std::vector<Bytes>& segments, std::uint32_t w, std::uint32_t h)
{
    PictureBytes b(true);
    b.U8({0xFF, 0xD8});
    b.Append(JpegSegment(0xE0, PictureBytes().Text("JFIF").U8({0, 1, 1, 0, 0, 1, 0, 1, 0, 0}).Data()));
    for (const Bytes& s : segments)
        b.Append(s);
    PictureBytes frame(true);
    frame.U8({8}).U16(h).U16(w).U8({3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    b.Append(JpegSegment(0xC0, frame.Data()));
    b.U8({0xFF, 0xD9});
    return b.Data();
}

Bytes WithExifThumbnail(const Bytes& jpeg, const Bytes& thumbnail, int orientation)
{
    // IFD0 (one entry) at 8 ends at 26; IFD1 (two entries) there ends at 56,
    // where the thumbnail starts.
    TiffBytes tiff(false);
    tiff.Directory({{0x0112, 3, 1, static_cast<std::uint64_t>(orientation)}}, 26);
    tiff.Directory({{0x0201, 4, 1, 56}, {0x0202, 4, 1, thumbnail.size()}});
    tiff.Append(thumbnail);
    Bytes camera = jpeg;
    if (camera.size() < 2)
        return camera;
    const Bytes app1 = ExifSegment(tiff.Data());
    camera.insert(camera.begin() + 2, app1.begin(), app1.end());
    return camera;
}
