// Stepping through the pictures of one folder: the folder of the picture
// shown is listed when the first step key arrives (never before, so a folder
// of thousands of files costs nothing until then), in the order Explorer
// shows by name, with only the file types the program opens. Steps wrap
// around at both ends. A picture that failed to load keeps its place, so the
// next step goes on from there.
#pragma once

#include <string>
#include <vector>

#include "CString.h"
#include "view/FolderStepping.h"

class CFolderSteps {
public:
    // The path of the picture a step goes to from the picture loaded last
    // (fromPath, as the view holds it: the picture shown, or the file whose
    // load failed, which keeps its place in the folder). A path other than
    // the one stepped to last starts afresh in its own folder, listed anew.
    // Empty when there is nowhere to go (nothing loaded yet, an empty or
    // unreadable folder). The path is ANSI: a name outside the code page is
    // given by its short form.
    CString Step(StepKind kind, const CString& fromPath);

    // Where a step of this kind would go from the place stepped to last,
    // without going there; empty when there is no such place, or it is that
    // place itself (the one picture of its folder).
    CString Neighbour(StepKind kind) const;

private:
    // Lists the folder of path and takes path's place in it; FALSE when the
    // path names no folder.
    BOOL Anchor(const CString& path);

    std::wstring m_folder;             // the listed folder, no trailing backslash
    std::vector<std::wstring> m_names; // its pictures, in natural order
    StepPosition m_position;
    CString m_strCurrent; // the path of m_position as it was handed out
};
