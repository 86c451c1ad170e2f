// The command-line grammar and the path helpers around it, as free functions
// on multibyte (code page 932) strings, so they can be tested without a window.
#pragma once

#include <string>
#include <vector>

// Splits the line at blanks (0x20) outside double quotes. Quotes toggle the
// inside-quotes state and stay in the token; empty tokens are never produced.
std::vector<std::string> SplitCommandLine(const std::string& line);

// Removes every leading double quote, then every trailing one.
std::string StripOuterQuotes(const std::string& token);

// Reads an int the way the C runtime's atoi does: leading white space, an
// optional sign, then decimal digits up to the first other character; no
// digits gives 0. Out-of-range values are clamped to INT_MIN / INT_MAX.
int AtoiLike(const char* text);

// The parts of token 0: "path/left:top:zoom".
struct OptionSuffix {
    bool hasOptions = false;  // the token holds a '/'
    std::string path;         // text before the first '/', or the whole token
    bool hasLeftTop = false;  // left and top were given (at least two ':')
    int left = 0;
    int top = 0;
    bool hasZoom = false;     // zoom was given (at least two ':')
    int zoom = 0;
};

// Splits token 0 at its first '/' and reads left, top and zoom from the option
// text. With fewer than two ':' no value is taken: the caller keeps the frame
// where it is and the zoom value unchanged.
OptionSuffix SplitOptionSuffix(const std::string& token);

// The argument for a new process: a path holding a blank and no double quote
// is put in double quotes; any other path is returned unchanged.
std::string QuoteForNewInstance(const std::string& path);
