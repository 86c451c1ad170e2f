// Walking the segments of a JPEG the way a decoder looks for its markers:
// bytes between segments that are not a marker are skipped, as are fill
// bytes (FF FF ...), stuffed zeros (FF 00) and the markers that carry no
// segment (TEM, RSTn).
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/ByteReader.h"

struct JpegSegment {
    std::uint32_t marker; // the byte after FF
    std::size_t at;       // where the 2-byte length starts
    std::size_t length;   // as stored: counts its own two bytes
};

class JpegSegments {
public:
    enum class Step {
        segment,   // *segment is the next one; its data may be cut short
        end,       // SOI again, EOI or SOS (the marker is in *segment)
        truncated, // the data ends before a marker and its length
    };

    // data starts with SOI (FF D8).
    explicit JpegSegments(const ByteReader& data) : m_data(data) {}

    // The next segment. A length below 2 is handed out as it is; a decoder
    // takes it as an empty segment and goes on right after the length.
    Step Next(JpegSegment* segment);

    // Whether the segment's data lies wholly within the data.
    bool IsWhole(const JpegSegment& segment) const;
    // The segment's data after its length, as far as it lies in the data.
    ByteReader DataOf(const JpegSegment& segment) const;

private:
    ByteReader m_data;
    std::size_t m_pos = 2;
};
