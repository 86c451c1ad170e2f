#include "CFileDialog.h"

#include <commdlg.h>

#include <cstring>

#include "AfxGlobals.h"

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags,
                         LPCSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt), m_fileName(32768, '\0')
{
    if (lpszFileName)
        std::strncpy(m_fileName.data(), lpszFileName, m_fileName.size() - 1);
    if (lpszFilter) {
        // '|' never occurs inside a double-byte character of the code page,
        // whose trail bytes start at 0x40.
        m_filter.assign(lpszFilter, lpszFilter + std::strlen(lpszFilter));
        for (char& c : m_filter)
            if (c == '|')
                c = '\0';
        m_filter.push_back('\0');
        m_filter.push_back('\0');
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    // Without a parent the dialog belongs to the main window, which it keeps
    // disabled while it is up (and stays above, also when that is topmost).
    CWnd* pOwner = pParentWnd ? pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = pOwner ? pOwner->m_hWnd : nullptr;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.data();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}
