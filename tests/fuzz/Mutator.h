// Deterministic mutations of a file's bytes: the same seed and case number
// always give the same input, so a failing case can be run again alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

using Bytes = std::vector<unsigned char>;

class Mutator {
public:
    Mutator(uint64_t seed, uint64_t caseIndex);

    // A number below n (n > 0).
    std::size_t Below(std::size_t n);

    // Applies 1 to 4 mutations (none for about one case in sixteen, so the
    // seed itself is tried too): flipped bits, bytes and 2- or 4-byte fields
    // set to boundary values in either byte order, a cut, a removed,
    // repeated or added run of bytes. Offsets favour the header.
    Bytes Mutate(Bytes bytes);

private:
    uint64_t Next();
    std::size_t Offset(std::size_t size);
    uint32_t BoundaryValue(std::size_t size);
    void PutField(Bytes& bytes, std::size_t width);

    uint64_t m_state;
};
