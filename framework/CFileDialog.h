// The common open/save file dialog. The filter is given as pairs separated
// by '|' and ended by "||", in the ANSI code page as every text of the
// program. The dialog itself is the UTF-16 one, so that a file whose name the
// code page cannot hold can be chosen: GetPathName gives such a path in the
// form AnsiPathForWide makes of it (its short name).
#pragma once

#include <string>
#include <vector>

#include "CString.h"
#include "CWnd.h"

#include <commdlg.h>

// The ANSI filter ("text|patterns|...||") as the UTF-16 dialog wants it: the
// same pairs, each part ended by a NUL, the whole by a second NUL. Empty for
// no filter.
std::wstring DialogFilterOfAnsi(LPCSTR lpszFilter);

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    // The chosen path in the ANSI code page (see above).
    CString GetPathName() const;

    OPENFILENAMEW m_ofn = {};

private:
    BOOL m_bOpenFileDialog;
    std::wstring m_strDefExt;
    std::wstring m_filter;           // NUL-separated, as the dialog wants it
    std::vector<wchar_t> m_fileName; // the chosen path
};
