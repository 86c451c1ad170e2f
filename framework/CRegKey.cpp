#include "CRegKey.h"

#include <utility>

CRegKey::CRegKey(CRegKey&& other) noexcept : m_hKey(std::exchange(other.m_hKey, nullptr))
{
}

CRegKey& CRegKey::operator=(CRegKey&& other) noexcept
{
    if (this != &other) {
        Close();
        m_hKey = std::exchange(other.m_hKey, nullptr);
    }
    return *this;
}

LONG CRegKey::Create(HKEY hParent, const char* lpszSubKey, REGSAM access, bool* pbCreated)
{
    Close();
    DWORD disposition = 0;
    char emptyClass[] = "";
    HKEY hKey = nullptr;
    LONG result = ::RegCreateKeyExA(hParent, lpszSubKey, 0, emptyClass, REG_OPTION_NON_VOLATILE, access, nullptr, &hKey,
                                    &disposition);
    if (result == ERROR_SUCCESS)
        m_hKey = hKey;
    if (pbCreated)
        *pbCreated = result == ERROR_SUCCESS && disposition == REG_CREATED_NEW_KEY;
    return result;
}

LONG CRegKey::Open(HKEY hParent, const char* lpszSubKey, REGSAM access)
{
    Close();
    HKEY hKey = nullptr;
    LONG result = ::RegOpenKeyExA(hParent, lpszSubKey, 0, access, &hKey);
    if (result == ERROR_SUCCESS)
        m_hKey = hKey;
    return result;
}

LONG CRegKey::SetStringValue(const char* lpszValueName, const std::string& text)
{
    if (!m_hKey)
        return ERROR_INVALID_HANDLE;
    return ::RegSetValueExA(m_hKey, lpszValueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
}

void CRegKey::Close()
{
    if (m_hKey) {
        ::RegCloseKey(m_hKey);
        m_hKey = nullptr;
    }
}
