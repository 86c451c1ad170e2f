// What tells one content of a file from the next without reading it: its
// size and last write time. A file that is missing, or a folder, has the
// empty stamp.
#pragma once

#include <windows.h>

struct FileStamp {
    bool bExists = false;
    ULONGLONG size = 0;
    ULONGLONG written = 0; // the last write time
    bool operator==(const FileStamp& other) const
    {
        return bExists == other.bExists && size == other.size && written == other.written;
    }
    bool operator!=(const FileStamp& other) const { return !(*this == other); }
};

FileStamp StampOf(const char* path);
