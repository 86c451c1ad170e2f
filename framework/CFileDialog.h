// The common open/save file dialog. The filter is given as pairs separated
// by '|' and ended by "||".
#pragma once

#include <vector>

#include "CString.h"
#include "CWnd.h"

class CFileDialog {
public:
    CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt = nullptr, LPCSTR lpszFileName = nullptr,
                DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR lpszFilter = nullptr,
                CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    CString GetPathName() const { return CString(m_fileName.data()); }

    OPENFILENAMEA m_ofn = {};

private:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    std::vector<char> m_filter;   // NUL-separated, as the dialog wants it
    std::vector<char> m_fileName; // the chosen path
};
