// The command-line grammar and the path helpers around it, as free functions
// on multibyte (code page 932) strings, so they can be tested without a window.
#pragma once

#include <functional>
#include <string>
#include <vector>

// Splits the line at blanks (0x20) outside double quotes. Quotes toggle the
// inside-quotes state and stay in the token; empty tokens are never produced.
std::vector<std::string> SplitCommandLine(const std::string& line);
// The same grammar on the UTF-16 line.
std::vector<std::wstring> SplitCommandLine(const std::wstring& line);

// Removes every leading double quote, then every trailing one.
std::string StripOuterQuotes(const std::string& token);

// The parts of token 0: "path/left:top:zoom".
struct OptionSuffix {
    bool hasOptions = false; // the token holds a '/'
    std::string path;        // text before the first '/', or the whole token
    bool hasLeftTop = false; // left and top were given (at least two ':')
    int left = 0;
    int top = 0;
    bool hasZoom = false; // zoom was given (at least two ':')
    int zoom = 0;
};

// Splits token 0 at its first '/' and reads left, top and zoom from the option
// text. With fewer than two ':' no value is taken: the caller keeps the frame
// where it is and the zoom value unchanged.
OptionSuffix SplitOptionSuffix(const std::string& token);

// The text after the program name of a whole UTF-16 command line (as
// GetCommandLineW gives it), found the way the C runtime finds the one it
// hands to WinMain: the name runs to the first blank or control character
// outside double quotes, and the blanks after it are skipped.
std::wstring ArgumentsOfCommandLine(const std::wstring& commandLine);

// The UTF-16 argument text as an ANSI command line of the same grammar. A line
// that the code page holds exactly is converted as it is. Otherwise every
// token that it cannot hold has its path (the text before the first '/', its
// outer double quotes aside) replaced by ansiPath's form of it (the short
// name, AnsiPathForWide); quotes and option suffix stay, and the tokens are
// joined by one blank.
std::string AnsiCommandLine(const std::wstring& arguments,
                            const std::function<std::string(const std::wstring&)>& ansiPath);
