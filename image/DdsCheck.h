// The header of a DDS picture, checked before any codec sees it.
//
// A DDS file says how many smaller copies (mipmap levels) follow the
// picture, and the system's codec works through the count it is given: a
// count of millions keeps it busy for minutes (under Wine). No picture can
// have more levels than halvings of its largest side (32 for any 32-bit
// size), so a count beyond that is refused.
//
// Pure byte reading, bounds-checked everywhere: no Windows calls.
#pragma once

#include <cstddef>

// True for a DDS file whose mipmap count is more than 32, or more than its
// largest side can be halved (plus one). Anything else is false.
bool HasUnsafeDdsHeader(const unsigned char* data, std::size_t size);
