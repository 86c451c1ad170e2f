#include "MbString.h"

#include <windows.h>

// Lead bytes of the system's ANSI code page (on Japanese systems, Shift-JIS:
// 0x81-0x9F and 0xE0-0xFC), as the rest of the program's string handling sees them.
bool IsMbLeadByte(unsigned char c)
{
    return ::IsDBCSLeadByte(c) != FALSE;
}

// Walks character by character: a lead byte and the byte after it are one
// character and never match. A lead byte at the very end has no trail byte
// and is stepped over on its own.
std::size_t FindFirstByteMb(const std::string& text, char ch)
{
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (IsMbLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        if (text[i] == ch)
            return i;
    }
    return std::string::npos;
}

// A backwards scan cannot tell a trail byte from a single-byte character,
// so this walks forwards and remembers the last match.
std::size_t FindLastByteMb(const std::string& text, char ch)
{
    std::size_t found = std::string::npos;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (IsMbLeadByte(static_cast<unsigned char>(text[i]))) {
            ++i;
            continue;
        }
        if (text[i] == ch)
            found = i;
    }
    return found;
}
