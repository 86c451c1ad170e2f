// The clipboard, open for the life of the object. Another program may hold
// it for a moment (a clipboard viewer reading what was just put there), so
// the open is tried a few times before it counts as failed.
#pragma once

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "CGlobalBlock.h"

class CClipboard {
public:
    explicit CClipboard(HWND hOwner);
    ~CClipboard();
    CClipboard(const CClipboard&) = delete;
    CClipboard& operator=(const CClipboard&) = delete;

    bool IsOpen() const { return m_bOpen; }
    // Empties the clipboard and makes the owner window its owner.
    BOOL Empty();
    // Puts the block there in the format; the clipboard owns it from then on
    // (the block is left empty), or, when that fails, the block keeps it.
    BOOL SetData(UINT format, CGlobalBlock& block);
    // The clipboard's block of that format (the clipboard keeps owning it),
    // or null.
    HGLOBAL GetData(UINT format) const;

private:
    bool m_bOpen = false;
};

// A file list as a drop carries it (CF_HDROP): a DROPFILES header, then the
// paths in UTF-16, each ended by a null, and one more null. FALSE without the
// memory.
BOOL MakeFileListBlock(const std::vector<std::wstring>& paths, CGlobalBlock* pBlock);

// The paths of a file list in data[0, size), wide or ANSI (as fWide says),
// read no further than the data: a list that begins outside it, or a path
// without its null inside it, is refused (FALSE). The list ends at an empty
// path.
BOOL ReadFileList(const unsigned char* data, std::size_t size, std::vector<std::wstring>* pPaths);
