// Byte searches in multibyte strings of code page 932 (Shift-JIS).
// A double-byte character's trail byte can equal an ASCII byte such as '\\'
// (表 is 0x95 0x5C), so a plain strchr/strrchr can stop inside a character.
#pragma once

#include <cstddef>
#include <string>

// True for a Shift-JIS lead byte (0x81-0x9F, 0xE0-0xFC). Decided from the
// byte alone, so it works whatever the C runtime's locale is.
bool IsMbLeadByte(unsigned char c);

// Position of the first / last single-byte character equal to ch, skipping
// double-byte characters whole; std::string::npos when there is none.
std::size_t FindFirstByteMb(const std::string& text, char ch);
std::size_t FindLastByteMb(const std::string& text, char ch);
