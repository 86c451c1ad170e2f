// Thrown by CArchive when a value cannot be read or written whole.
#pragma once

#include <exception>

class CArchiveException : public std::exception {
public:
    enum {
        none = 0,
        genericException = 1, // the file failed to read or write (disk error, disk full)
        readOnly = 2,         // a write to a loading archive
        endOfFile = 3,        // the data ends in the middle of a value
        writeOnly = 4,        // a read from a storing archive
        badIndex = 5,
        badClass = 6,
        badSchema = 7,
    };

    explicit CArchiveException(int cause = none) noexcept : m_cause(cause) {}

    const char* what() const noexcept override;

    int m_cause;
};
