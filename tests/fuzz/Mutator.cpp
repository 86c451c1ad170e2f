#include "Mutator.h"

#include <algorithm>

// splitmix64 over the seed and the case number.
Mutator::Mutator(uint64_t seed, uint64_t caseIndex)
    : m_state(seed * 0x9E3779B97F4A7C15ULL ^ (caseIndex + 1) * 0xBF58476D1CE4E5B9ULL)
{
}

uint64_t Mutator::Next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::size_t Mutator::Below(std::size_t n)
{
    return static_cast<std::size_t>(Next() % n);
}

// Half of the offsets fall in the first 64 bytes, where the headers are.
std::size_t Mutator::Offset(std::size_t size)
{
    return Below(2) ? Below(std::min<std::size_t>(size, 64)) : Below(size);
}

// Values that headers get wrong: zero, one, sign and size limits, the pixel
// bound, and the file's own size and its neighbours.
uint32_t Mutator::BoundaryValue(std::size_t size)
{
    static const uint32_t fixed[] = {0,     1,         2,          0x7F,       0x80,      0xFF,
                                     0x100, 0x7FFF,    0x8000,     0xFFFF,     0x10000,   16384,
                                     16385, 0x1000000, 0x7FFFFFFF, 0x80000000, 0xFFFFFFFF};
    const std::size_t n = sizeof fixed / sizeof fixed[0];
    const std::size_t pick = Below(n + 4);
    if (pick < n)
        return fixed[pick];
    const uint32_t own = static_cast<uint32_t>(size);
    return pick == n ? own : pick == n + 1 ? own - 1 : pick == n + 2 ? own + 1 : static_cast<uint32_t>(Next());
}

void Mutator::PutField(Bytes& bytes, std::size_t width)
{
    if (bytes.size() < width)
        return;
    const std::size_t at = Offset(bytes.size() - width + 1);
    const uint32_t value = BoundaryValue(bytes.size());
    const bool bigEndian = Below(2) != 0;
    for (std::size_t i = 0; i < width; ++i)
        bytes[at + (bigEndian ? width - 1 - i : i)] = static_cast<unsigned char>(value >> (8 * i));
}

Bytes Mutator::Mutate(Bytes bytes)
{
    if (Below(16) == 0)
        return bytes;
    const std::size_t count = 1 + Below(4);
    for (std::size_t n = 0; n < count; ++n) {
        const std::size_t size = bytes.size();
        switch (Below(8)) {
        case 0:
            if (size)
                bytes[Offset(size)] ^= static_cast<unsigned char>(1u << Below(8));
            break;
        case 1:
            if (size)
                bytes[Offset(size)] = static_cast<unsigned char>(BoundaryValue(size));
            break;
        case 2: PutField(bytes, 2); break;
        case 3: PutField(bytes, 4); break;
        case 4: bytes.resize(Below(size + 1)); break;
        case 5: { // remove a run
            if (!size)
                break;
            const std::size_t at = Offset(size);
            bytes.erase(bytes.begin() + at, bytes.begin() + at + 1 + Below(std::min<std::size_t>(size - at, 256)));
            break;
        }
        case 6: { // repeat a run somewhere else
            if (!size)
                break;
            const std::size_t from = Below(size);
            const Bytes run(bytes.begin() + from,
                            bytes.begin() + from + 1 + Below(std::min<std::size_t>(size - from, 256)));
            bytes.insert(bytes.begin() + Offset(size + 1), run.begin(), run.end());
            break;
        }
        default: // add random bytes at the end
            for (std::size_t i = 1 + Below(64); i > 0; --i)
                bytes.push_back(static_cast<unsigned char>(Next()));
            break;
        }
    }
    return bytes;
}
