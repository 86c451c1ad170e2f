// Reading the directories of a TIFF structure: a TIFF or BigTIFF file, or
// the EXIF block of a JPEG (which is a TIFF structure of its own, its
// offsets counted from its header).
//
// Classic TIFF has 2-byte entry counts, 12-byte entries and 4-byte offsets;
// BigTIFF 8-byte counts, 20-byte entries and 8-byte offsets; both come in
// either byte order. Every directory, entry and value read costs one unit of
// a budget shared by the whole walk, so directories that point at each other
// (a chain that loops, sub-directories that list themselves) end when it is
// spent. Nothing is read beyond the data, whatever an offset or count says.
//
// Pure byte reading: no Windows calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/ByteReader.h"

// One directory entry as stored.
struct TiffEntry {
    std::uint32_t tag;
    std::uint32_t type;
    std::uint64_t count;      // number of values
    std::uint64_t valueField; // where the entry's value field starts
};

// TIFF tags the readers in image/ look at.
constexpr std::uint32_t kTiffImageWidth = 256;
constexpr std::uint32_t kTiffImageLength = 257;
constexpr std::uint32_t kTiffStripOffsets = 273;
constexpr std::uint32_t kTiffOrientation = 274;
constexpr std::uint32_t kTiffFreeOffsets = 288;
constexpr std::uint32_t kTiffTileOffsets = 324;
constexpr std::uint32_t kTiffSubIfds = 330;
constexpr std::uint32_t kTiffJpegInterchangeFormat = 513;
constexpr std::uint32_t kTiffJpegInterchangeFormatLength = 514;
constexpr std::uint32_t kTiffExifIfd = 34665;
constexpr std::uint32_t kTiffGpsIfd = 34853;
constexpr std::uint32_t kTiffInteroperabilityIfd = 40965;

// TIFF field types.
constexpr std::uint32_t kTiffShort = 3;
constexpr std::uint32_t kTiffLong = 4;

class TiffWalker {
public:
    static constexpr std::size_t kDefaultBudget = std::size_t(1) << 20;

    // data starts with the TIFF header.
    explicit TiffWalker(const ByteReader& data, std::size_t budget = kDefaultBudget);

    // "II" or "MM", 42 or 43, and the whole header in the data.
    bool IsValid() const { return m_valid; }
    bool IsBigTiff() const { return m_bigTiff; }
    ByteOrder Order() const { return m_order; }
    const ByteReader& Data() const { return m_data; }
    // Where the first directory (IFD0) is; 0 when the header is not valid.
    std::uint64_t FirstDirectory() const { return m_firstDirectory; }

    // Starts on the directory at `at`: false, with nothing to read, when its
    // entry count does not lie in the data or the budget is spent.
    bool OpenDirectory(std::uint64_t at);
    // The open directory's next entry; false once all were read, or when the
    // data ends or the budget is spent first.
    bool NextEntry(TiffEntry* entry);
    // Whether every entry the open directory counts was read.
    bool AllEntriesRead() const { return m_opened && m_nextEntry == m_entryCount; }
    // The offset of the directory after the open one, once all its entries
    // were read and the offset lies in the data; 0 otherwise.
    std::uint64_t NextDirectory() const;

    // The first entry with the tag in the directory at `at`; false when
    // there is none among the entries that could be read.
    bool FindTag(std::uint64_t at, std::uint32_t tag, TiffEntry* entry);

    // Bytes per value of a field type; 0 for types no reader knows.
    static std::uint32_t TypeSize(std::uint32_t type);
    // Whether the entry's values lie in its value field (they fit there).
    bool ValuesInline(const TiffEntry& entry) const;
    // Where the entry's values lie: its value field, or the offset the field
    // holds (which may lie anywhere, beyond the data too).
    std::uint64_t ValuesAt(const TiffEntry& entry) const;
    // Value k of the entry as an unsigned integer of the type's size (1, 2,
    // 4 or 8 bytes; a SHORT, LONG, LONG8 or offset); false when it does not
    // lie in the data, the type has no size, or the budget is spent.
    bool ReadValue(const TiffEntry& entry, std::uint64_t k, std::uint64_t* value);

private:
    bool Spend();
    std::uint64_t Offset(std::uint64_t at) const; // 4 or 8 bytes

    ByteReader m_data;
    ByteOrder m_order = ByteOrder::little;
    bool m_valid = false;
    bool m_bigTiff = false;
    std::uint64_t m_firstDirectory = 0;
    std::size_t m_budget;

    bool m_opened = false;
    std::uint64_t m_firstEntry = 0;
    std::uint64_t m_entryCount = 0;
    std::uint64_t m_nextEntry = 0;
};
