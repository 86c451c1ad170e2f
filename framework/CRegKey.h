// An open registry key, closed with the object. Move-only. Results are the
// registry's own error codes (ERROR_SUCCESS on success).
#pragma once

#include <windows.h>

#include <string>

class CRegKey {
public:
    CRegKey() = default;
    ~CRegKey() { Close(); }
    CRegKey(const CRegKey&) = delete;
    CRegKey& operator=(const CRegKey&) = delete;
    CRegKey(CRegKey&& other) noexcept;
    CRegKey& operator=(CRegKey&& other) noexcept;

    // Creates the subkey, or opens it when it exists (non-volatile, no class,
    // default security). *pbCreated, when given, tells whether it was new.
    LONG Create(HKEY hParent, const char* lpszSubKey, REGSAM access, bool* pbCreated = nullptr);
    LONG Open(HKEY hParent, const char* lpszSubKey, REGSAM access);
    // Writes a REG_SZ value (nullptr: the default value); the byte count
    // includes the terminating NUL.
    LONG SetStringValue(const char* lpszValueName, const std::string& text);
    void Close();

    bool IsOpen() const { return m_hKey != nullptr; }
    operator HKEY() const { return m_hKey; }

private:
    HKEY m_hKey = nullptr;
};
