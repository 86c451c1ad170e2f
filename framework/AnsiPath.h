// File names outside the ANSI code page. The program keeps every path in the
// ANSI code page (932 on the systems it is made for); a name the system hands
// over as UTF-16 (the command line, a drop, a folder listing) may hold
// characters that the code page lacks (é, ü, Hangul, emoji). Such a path is
// replaced by its short (8.3) form, which names the same file with characters
// the code page has, so the rest of the program handles it as any ANSI path.
#pragma once

#include <string>

// Converts to the ANSI code page without best-fit substitutes (which could
// turn "café.png" into the name of another file, "cafe.png"). Returns false
// when a character has no exact counterpart; *pAnsi then holds the
// conversion with '?' in its place, a name no file can have.
bool WideToAnsiExact(const std::wstring& wide, std::string* pAnsi);

// The ANSI text as UTF-16.
std::wstring AnsiToWide(const std::string& ansi);

// The path as the program keeps it: the exact ANSI form when there is one,
// else the short path (GetShortPathNameW) when the file has one, with each
// folder or name that the code page holds kept long (ShortenWhereNeeded),
// else the lossy form, which no file opens, so loading it reports the file as
// one that cannot be opened.
std::string AnsiPathForWide(const std::wstring& path);

// The long path with only its parts that the code page cannot hold taken from
// the short path of the same file (the two name the same parts, separated by
// backslashes); the short path as it is when the parts do not pair up.
std::wstring ShortenWhereNeeded(const std::wstring& longPath, const std::wstring& shortPath);
