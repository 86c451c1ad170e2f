// Byte searches in multibyte strings of the ANSI code page (932, Shift-JIS,
// on the Japanese systems the program is made for).
// A double-byte character's trail byte can equal an ASCII byte such as '\\'
// (表 is 0x95 0x5C), so a plain strchr/strrchr can stop inside a character.
#pragma once

#include <cstddef>
#include <string>

// True for a lead byte of the ANSI code page (for Shift-JIS 0x81-0x9F and
// 0xE0-0xFC), independent of the C runtime's locale.
bool IsMbLeadByte(unsigned char c);

// Position of the first / last single-byte character equal to ch, skipping
// double-byte characters whole; std::string::npos when there is none.
std::size_t FindFirstByteMb(const std::string& text, char ch);
std::size_t FindLastByteMb(const std::string& text, char ch);
