// Byte searches in multibyte strings of the ANSI code page (932, Shift-JIS,
// on the Japanese systems the program is made for).
// A double-byte character's trail byte can equal an ASCII byte such as '\\'
// (表 is 0x95 0x5C), so a plain strchr/strrchr can stop inside a character.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// True for a lead byte of the ANSI code page (for Shift-JIS 0x81-0x9F and
// 0xE0-0xFC), independent of the C runtime's locale.
bool IsMbLeadByte(unsigned char c);

// The one scanner of the program's multibyte strings: the position of the
// first (or, with bLast, the last) occurrence of sub in text that starts on a
// character boundary at or after nStart (itself a boundary); double-byte
// characters are stepped over whole. std::string::npos when there is none.
std::size_t FindMb(std::string_view text, std::string_view sub, std::size_t nStart = 0, bool bLast = false);

// Position of the first / last single-byte character equal to ch, skipping
// double-byte characters whole; std::string::npos when there is none.
std::size_t FindFirstByteMb(std::string_view text, char ch);
std::size_t FindLastByteMb(std::string_view text, char ch);

// The path up to, not including, its last backslash; the whole path when it
// has none. The trail byte 0x5C of a character such as 表 is never taken for
// a separator.
std::string FolderOfPath(const std::string& path);
