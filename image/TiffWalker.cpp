#include "image/TiffWalker.h"

TiffWalker::TiffWalker(const ByteReader& data, std::size_t budget) : m_data(data), m_budget(budget)
{
    if (m_data.Matches(0, "MM", 2))
        m_order = ByteOrder::big;
    else if (!m_data.Matches(0, "II", 2))
        return;
    const std::uint32_t version = m_data.U16(2, m_order);
    m_bigTiff = version == 43;
    if (version != 42 && !m_bigTiff)
        return;
    if (!m_data.Has(0, m_bigTiff ? 16 : 8))
        return;
    m_valid = true;
    m_firstDirectory = Offset(m_bigTiff ? 8 : 4);
}

bool TiffWalker::Spend()
{
    if (m_budget == 0)
        return false;
    --m_budget;
    return true;
}

std::uint64_t TiffWalker::Offset(std::uint64_t at) const
{
    return m_bigTiff ? m_data.U64(at, m_order) : m_data.U32(at, m_order);
}

bool TiffWalker::OpenDirectory(std::uint64_t at)
{
    m_opened = false;
    const std::size_t countSize = m_bigTiff ? 8 : 2;
    if (!m_valid || m_budget == 0 || !m_data.Has(at, countSize))
        return false;
    Spend();
    m_opened = true;
    m_entryCount = m_bigTiff ? m_data.U64(at, m_order) : m_data.U16(at, m_order);
    m_firstEntry = at + countSize;
    m_nextEntry = 0;
    return true;
}

bool TiffWalker::NextEntry(TiffEntry* entry)
{
    const std::uint64_t entrySize = m_bigTiff ? 20 : 12;
    // Every entry before this one lay in the data, so the product stays far
    // below any overflow.
    if (!m_opened || m_nextEntry >= m_entryCount || m_budget == 0 ||
        !m_data.Has(m_firstEntry, m_nextEntry * entrySize + entrySize))
        return false;
    Spend();
    const std::uint64_t e = m_firstEntry + m_nextEntry * entrySize;
    ++m_nextEntry;
    entry->tag = m_data.U16(e, m_order);
    entry->type = m_data.U16(e + 2, m_order);
    entry->count = m_bigTiff ? m_data.U64(e + 4, m_order) : m_data.U32(e + 4, m_order);
    entry->valueField = e + (m_bigTiff ? 12 : 8);
    return true;
}

std::uint64_t TiffWalker::NextDirectory() const
{
    if (!AllEntriesRead())
        return 0;
    const std::uint64_t entrySize = m_bigTiff ? 20 : 12;
    const std::uint64_t offsetSize = m_bigTiff ? 8 : 4;
    // Every entry was read, so the entries lie in the data.
    const std::uint64_t at = m_firstEntry + m_entryCount * entrySize;
    return m_data.Has(at, offsetSize) ? Offset(at) : 0;
}

bool TiffWalker::FindTag(std::uint64_t at, std::uint32_t tag, TiffEntry* entry)
{
    if (!OpenDirectory(at))
        return false;
    while (NextEntry(entry)) {
        if (entry->tag == tag)
            return true;
    }
    return false;
}

std::uint32_t TiffWalker::TypeSize(std::uint32_t type)
{
    switch (type) {
    case 1:
    case 2:
    case 6:
    case 7: return 1; // BYTE ASCII SBYTE UNDEFINED
    case 3:
    case 8: return 2; // SHORT SSHORT
    case 4:
    case 9:
    case 11:
    case 13: return 4; // LONG SLONG FLOAT IFD
    case 5:
    case 10:
    case 12:
    case 16:
    case 17:
    case 18: return 8; // RATIONAL SRATIONAL DOUBLE LONG8 SLONG8 IFD8
    default: return 0;
    }
}

bool TiffWalker::ValuesInline(const TiffEntry& entry) const
{
    const std::uint32_t typeSize = TypeSize(entry.type);
    const std::uint64_t offsetSize = m_bigTiff ? 8 : 4;
    return typeSize == 0 || entry.count <= offsetSize / typeSize;
}

std::uint64_t TiffWalker::ValuesAt(const TiffEntry& entry) const
{
    return ValuesInline(entry) ? entry.valueField : Offset(entry.valueField);
}

bool TiffWalker::ReadValue(const TiffEntry& entry, std::uint64_t k, std::uint64_t* value)
{
    const std::uint32_t typeSize = TypeSize(entry.type);
    // k values before this one have to lie in the data too: a k beyond its
    // size is out at once, and the product below cannot overflow.
    if (typeSize == 0 || k >= entry.count || k > m_data.Size() / typeSize || m_budget == 0)
        return false;
    const std::uint64_t values = ValuesAt(entry);
    if (!m_data.Has(values, k * typeSize + typeSize))
        return false;
    Spend();
    const std::uint64_t at = values + k * typeSize;
    switch (typeSize) {
    case 1: *value = m_data.U8(at); break;
    case 2: *value = m_data.U16(at, m_order); break;
    case 4: *value = m_data.U32(at, m_order); break;
    default: *value = m_data.U64(at, m_order); break;
    }
    return true;
}
