// Writes a shell link (.lnk) file that starts this program: OLE is
// initialised and the shell's link object made for the writer's lifetime,
// and both go with it. Every failure is silent; the results only say whether
// the link was written.
#pragma once

#include <objbase.h>
#include <shlobj.h>

#include <string>

#include "framework/CComPtr.h"
#include "framework/COleInit.h"

class CShellLinkWriter {
public:
    CShellLinkWriter();
    CShellLinkWriter(const CShellLinkWriter&) = delete;
    CShellLinkWriter& operator=(const CShellLinkWriter&) = delete;

    // Whether the link object could be made; without it nothing is written.
    bool IsReady() const { return static_cast<bool>(m_link); }

    // Points the link at the executable: target, description, arguments, the
    // executable's folder as working directory, and its first icon.
    void SetProgram(const std::string& exePath, const std::string& description, const std::string& arguments);
    // Saves the link as the file path (ANSI), replacing a file of that name.
    // A file that a failed save leaves behind where there was none before is
    // removed again.
    bool Save(const std::string& path);

private:
    COleInit m_ole; // first in, last out: the link is released before OLE goes
    CComPtr<IShellLinkA> m_link;
};
