#include "CFileDialog.h"

#include <algorithm>

#include "AfxGlobals.h"
#include "AnsiPath.h"

std::wstring DialogFilterOfAnsi(LPCSTR lpszFilter)
{
    if (!lpszFilter || !*lpszFilter)
        return std::wstring();
    // Converted first and split afterwards: '|' never occurs inside a
    // double-byte character of the code page (trail bytes start at 0x40), and
    // in UTF-16 it is one unit anyway.
    std::wstring filter = AnsiToWide(lpszFilter);
    for (wchar_t& c : filter)
        if (c == L'|')
            c = L'\0';
    // "||" already ends the parts with two NULs; a filter without it still
    // gets its closing pair.
    if (filter.size() < 2 || filter[filter.size() - 1] != L'\0' || filter[filter.size() - 2] != L'\0')
        filter.append(2, L'\0');
    return filter;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCSTR lpszDefExt, LPCSTR lpszFileName, DWORD dwFlags, LPCSTR lpszFilter,
                         CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt ? AnsiToWide(lpszDefExt) : std::wstring()),
      m_filter(DialogFilterOfAnsi(lpszFilter)), m_fileName(32768, L'\0')
{
    if (lpszFileName) {
        const std::wstring name = AnsiToWide(lpszFileName);
        name.copy(m_fileName.data(), std::min(name.size(), m_fileName.size() - 1));
    }
    m_ofn.lStructSize = sizeof(m_ofn);
    // Without a parent the dialog belongs to the main window, which it keeps
    // disabled while it is up (and stays above, also when that is topmost).
    CWnd* pOwner = pParentWnd ? pParentWnd : AfxGetMainWnd();
    m_ofn.hwndOwner = pOwner ? pOwner->m_hWnd : nullptr;
    m_ofn.lpstrFilter = m_filter.empty() ? nullptr : m_filter.c_str();
    m_ofn.nFilterIndex = 1;
    m_ofn.lpstrFile = m_fileName.data();
    m_ofn.nMaxFile = static_cast<DWORD>(m_fileName.size());
    m_ofn.lpstrDefExt = m_strDefExt.empty() ? nullptr : m_strDefExt.c_str();
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
}

INT_PTR CFileDialog::DoModal()
{
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameW(&m_ofn) : ::GetSaveFileNameW(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetPathName() const
{
    return CString(AnsiPathForWide(m_fileName.data()).c_str());
}
