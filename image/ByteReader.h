// Bounds-checked reading of a picture's bytes held in memory, shared by
// every parser in image/. A value is read only where it lies wholly within
// the data and reads as 0 where it does not, so no offset or count a file
// claims can move a read past its end; positions and lengths are checked
// without overflow, whatever their size.
//
// Pure byte reading: no Windows calls.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

enum class ByteOrder {
    little,
    big
};

class ByteReader {
public:
    ByteReader() = default;
    ByteReader(const unsigned char* data, std::size_t size) : m_data(data), m_size(data ? size : 0) {}

    const unsigned char* Data() const { return m_data; }
    std::size_t Size() const { return m_size; }

    // n bytes are readable at pos.
    bool Has(std::uint64_t pos, std::uint64_t n) const { return pos <= m_size && n <= m_size - pos; }

    // The value at pos, or 0 when it does not lie within the data.
    std::uint32_t U8(std::uint64_t pos) const { return Has(pos, 1) ? m_data[pos] : 0; }
    std::uint32_t Le16(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 2, ByteOrder::little)); }
    std::uint32_t Be16(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 2, ByteOrder::big)); }
    std::uint32_t Le32(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 4, ByteOrder::little)); }
    std::uint32_t Be32(std::uint64_t pos) const { return static_cast<std::uint32_t>(Read(pos, 4, ByteOrder::big)); }
    std::uint32_t U16(std::uint64_t pos, ByteOrder order) const
    {
        return static_cast<std::uint32_t>(Read(pos, 2, order));
    }
    std::uint32_t U32(std::uint64_t pos, ByteOrder order) const
    {
        return static_cast<std::uint32_t>(Read(pos, 4, order));
    }
    std::uint64_t U64(std::uint64_t pos, ByteOrder order) const { return Read(pos, 8, order); }

    // The n bytes at pos are those of bytes.
    bool Matches(std::uint64_t pos, const void* bytes, std::size_t n) const
    {
        return Has(pos, n) && std::memcmp(m_data + pos, bytes, n) == 0;
    }

    // The data from pos on, at most n bytes of it; empty when pos lies beyond.
    ByteReader Part(std::uint64_t pos, std::uint64_t n = UINT64_MAX) const
    {
        if (!Has(pos, 0))
            return ByteReader();
        const std::uint64_t left = m_size - pos;
        return ByteReader(m_data + pos, static_cast<std::size_t>(n < left ? n : left));
    }

private:
    std::uint64_t Read(std::uint64_t pos, int width, ByteOrder order) const
    {
        if (!Has(pos, static_cast<std::uint64_t>(width)))
            return 0;
        const unsigned char* p = m_data + pos;
        std::uint64_t v = 0;
        for (int i = 0; i < width; ++i)
            v = (v << 8) | p[order == ByteOrder::big ? i : width - 1 - i];
        return v;
    }

    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};
