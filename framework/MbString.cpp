#include "MbString.h"

#include <windows.h>

// Lead bytes of the system's ANSI code page (on Japanese systems, Shift-JIS:
// 0x81-0x9F and 0xE0-0xFC), as the rest of the program's string handling sees them.
bool IsMbLeadByte(unsigned char c)
{
    return ::IsDBCSLeadByte(c) != FALSE;
}

// Walks forwards character by character (a backwards scan cannot tell a
// trail byte from a single-byte character): a lead byte and the byte after it
// are one character, and a match can only start at a character's first byte.
// A lead byte at the very end has no trail byte and is stepped over on its own.
std::size_t FindMb(std::string_view text, std::string_view sub, std::size_t nStart, bool bLast)
{
    std::size_t found = std::string::npos;
    const std::size_t n = text.size();
    for (std::size_t i = nStart; i + sub.size() <= n;) {
        if (text.compare(i, sub.size(), sub) == 0) {
            found = i;
            if (!bLast)
                break;
        }
        i += (IsMbLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < n) ? 2 : 1;
    }
    return found;
}

std::size_t FindFirstByteMb(std::string_view text, char ch)
{
    return FindMb(text, std::string_view(&ch, 1));
}

std::size_t FindLastByteMb(std::string_view text, char ch)
{
    return FindMb(text, std::string_view(&ch, 1), 0, true);
}

std::string FolderOfPath(const std::string& path)
{
    const std::size_t pos = FindLastByteMb(path, '\\');
    return pos == std::string::npos ? path : path.substr(0, pos);
}
