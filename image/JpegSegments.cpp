#include "image/JpegSegments.h"

JpegSegments::Step JpegSegments::Next(JpegSegment* segment)
{
    const std::size_t size = m_data.Size();
    for (;;) {
        while (m_pos < size && m_data.U8(m_pos) != 0xFF)
            ++m_pos;
        while (m_pos < size && m_data.U8(m_pos) == 0xFF)
            ++m_pos;
        if (m_pos >= size)
            return Step::truncated;
        const std::uint32_t marker = m_data.U8(m_pos++);
        if (marker == 0x00)
            continue; // a stuffed byte, not a marker
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue; // TEM, RSTn: no segment
        segment->marker = marker;
        segment->at = m_pos;
        segment->length = 0;
        if (marker == 0xD8 || marker == 0xD9 || marker == 0xDA)
            return Step::end;
        if (!m_data.Has(m_pos, 2))
            return Step::truncated;
        segment->length = m_data.Be16(m_pos);
        // Past a segment that runs beyond the data the next call finds the end.
        m_pos += segment->length < 2 ? 2 : segment->length;
        return Step::segment;
    }
}

bool JpegSegments::IsWhole(const JpegSegment& segment) const
{
    return segment.length >= 2 && m_data.Has(segment.at, segment.length);
}

ByteReader JpegSegments::DataOf(const JpegSegment& segment) const
{
    return segment.length < 2 ? ByteReader() : m_data.Part(segment.at + 2, segment.length - 2);
}
