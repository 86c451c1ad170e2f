#include "CArchiveException.h"

const char* CArchiveException::what() const noexcept
{
    switch (m_cause) {
    case genericException: return "archive: the file could not be read or written";
    case readOnly: return "archive: write to an archive opened for loading";
    case endOfFile: return "archive: unexpected end of data";
    case writeOnly: return "archive: read from an archive opened for storing";
    case badIndex: return "archive: bad index";
    case badClass: return "archive: bad class";
    case badSchema: return "archive: bad schema";
    default: return "archive: error";
    }
}
