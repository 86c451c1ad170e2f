#include "frame/CommandLine.h"

#include <climits>

#include "framework/AnsiPath.h"
#include "framework/MbString.h"
#include "framework/NumberText.h"

namespace {

// Blank and double quote are below 0x40, so neither can be the trail byte of
// a double-byte character and the line can be walked byte by byte (or, for
// the UTF-16 line, unit by unit).
// A quote left open runs to the end of the line, as the system's own
// command-line rules have it: the token then holds the rest of the line
// (without the blank that closed the walk), blanks included.
template <class S> std::vector<S> SplitTokens(const S& line)
{
    using Char = typename S::value_type;
    const S text = line + Char(' '); // closes the last token
    std::vector<S> tokens;
    std::size_t start = 0;
    bool inQuotes = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Char c = text[i];
        if (c == Char(' ') && !inQuotes) {
            if (i > start)
                tokens.push_back(text.substr(start, i - start));
            start = i + 1;
        } else if (c == Char('"')) {
            inQuotes = !inQuotes;
        }
    }
    if (inQuotes && start < line.size())
        tokens.push_back(line.substr(start));
    return tokens;
}

} // namespace

std::vector<std::string> SplitCommandLine(const std::string& line)
{
    return SplitTokens(line);
}

std::vector<std::wstring> SplitCommandLine(const std::wstring& line)
{
    return SplitTokens(line);
}

std::string StripOuterQuotes(const std::string& token)
{
    std::size_t first = 0;
    while (first < token.size() && token[first] == '"')
        ++first;
    std::size_t last = token.size();
    while (last > first && token[last - 1] == '"')
        --last;
    return token.substr(first, last - first);
}

// The option text is split at its first and second ':'; left and top read up
// to the next ':' by themselves, and so does zoom, which ignores any further
// fields.
OptionSuffix SplitOptionSuffix(const std::string& token)
{
    OptionSuffix result;
    const std::size_t slash = FindFirstByteMb(token, '/');
    if (slash == std::string::npos) {
        result.path = token;
        return result;
    }
    result.hasOptions = true;
    result.path = token.substr(0, slash);
    const std::string options = token.substr(slash + 1);

    const std::size_t colon1 = FindFirstByteMb(options, ':');
    if (colon1 == std::string::npos)
        return result;
    const std::string afterFirst = options.substr(colon1 + 1);
    const std::size_t colon2 = FindFirstByteMb(afterFirst, ':');
    if (colon2 == std::string::npos)
        return result;

    result.hasLeftTop = true;
    result.left = AtoiLike(options.c_str());
    result.top = AtoiLike(afterFirst.c_str());
    result.hasZoom = true;
    result.zoom = AtoiLike(afterFirst.c_str() + colon2 + 1);
    return result;
}

std::wstring ArgumentsOfCommandLine(const std::wstring& commandLine)
{
    std::size_t i = 0;
    bool inQuotes = false;
    while (i < commandLine.size() && (commandLine[i] > L' ' || (inQuotes && commandLine[i] != L'\0'))) {
        if (commandLine[i] == L'"')
            inQuotes = !inQuotes;
        ++i;
    }
    while (i < commandLine.size() && commandLine[i] != L'\0' && commandLine[i] <= L' ')
        ++i;
    const std::size_t end = commandLine.find(L'\0', i);
    return commandLine.substr(i, end == std::wstring::npos ? std::wstring::npos : end - i);
}

namespace {

// One token the code page cannot hold: its path goes through ansiPath, its
// quotes and option text stay.
std::string AnsiToken(const std::wstring& token, const std::function<std::string(const std::wstring&)>& ansiPath)
{
    std::size_t first = 0;
    while (first < token.size() && token[first] == L'"')
        ++first;
    std::size_t last = token.size();
    while (last > first && token[last - 1] == L'"')
        --last;
    const std::wstring body = token.substr(first, last - first);
    const std::size_t slash = body.find(L'/');
    const std::wstring path = body.substr(0, slash);
    std::string options;
    if (slash != std::wstring::npos)
        WideToAnsiExact(body.substr(slash), &options);
    return std::string(first, '"') + ansiPath(path) + options + std::string(token.size() - last, '"');
}

} // namespace

std::string AnsiCommandLine(const std::wstring& arguments,
                            const std::function<std::string(const std::wstring&)>& ansiPath)
{
    std::string line;
    if (WideToAnsiExact(arguments, &line))
        return line;
    line.clear();
    for (const std::wstring& token : SplitCommandLine(arguments)) {
        if (!line.empty())
            line += ' ';
        std::string ansi;
        line += WideToAnsiExact(token, &ansi) ? ansi : AnsiToken(token, ansiPath);
    }
    return line;
}
