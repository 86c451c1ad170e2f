#include "shell/CShellLinkWriter.h"

#include "MbString.h"

CShellLinkWriter::CShellLinkWriter()
{
    if (FAILED(
            ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, m_link.ReceiveVoid())))
        m_link.Release();
}

void CShellLinkWriter::SetProgram(const std::string& exePath, const std::string& description,
                                  const std::string& arguments)
{
    if (!m_link)
        return;
    m_link->SetPath(exePath.c_str());
    m_link->SetDescription(description.c_str());
    m_link->SetArguments(arguments.c_str());
    m_link->SetWorkingDirectory(FolderOfPath(exePath).c_str());
    m_link->SetIconLocation(exePath.c_str(), 0);
}

bool CShellLinkWriter::Save(const std::string& path)
{
    if (!m_link)
        return false;
    CComPtr<IPersistFile> file;
    if (FAILED(m_link->QueryInterface(IID_IPersistFile, file.ReceiveVoid())))
        return false;
    wchar_t widePath[MAX_PATH] = {};
    if (::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, widePath, MAX_PATH) == 0)
        return false; // does not fit a path
    const bool existed = ::GetFileAttributesW(widePath) != INVALID_FILE_ATTRIBUTES;
    if (SUCCEEDED(file->Save(widePath, TRUE)))
        return true;
    if (!existed)
        ::DeleteFileW(widePath);
    return false;
}
