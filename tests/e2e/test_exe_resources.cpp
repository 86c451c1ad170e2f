// What Windows itself reads from kep.exe before the program runs: the
// manifest (through an activation context made from it, as the loader does)
// and the version resource shown in the file's properties.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "res/version.h"
#include "support/TestFiles.h"

namespace {

std::string KepExe()
{
    return ModuleFolder() + "\\kep.exe";
}

// An activation context made from the manifest resource 1 of a program.
class ActivationContext {
public:
    explicit ActivationContext(const std::string& exe)
    {
        ACTCTXA ctx = {};
        ctx.cbSize = sizeof(ctx);
        ctx.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
        ctx.lpSource = exe.c_str();
        ctx.lpResourceName = MAKEINTRESOURCEA(1);
        m_hContext = ::CreateActCtxA(&ctx);
    }
    ~ActivationContext()
    {
        if (m_hContext != INVALID_HANDLE_VALUE)
            ::ReleaseActCtx(m_hContext);
    }
    ActivationContext(const ActivationContext&) = delete;
    ActivationContext& operator=(const ActivationContext&) = delete;

    bool Valid() const { return m_hContext != INVALID_HANDLE_VALUE; }
    HANDLE Handle() const { return m_hContext; }

    // A windowsSettings value of the manifest, empty when it has none.
    std::wstring Setting(const wchar_t* nameSpace, const wchar_t* name) const
    {
        wchar_t value[64] = L"";
        SIZE_T written = 0;
        if (!::QueryActCtxSettingsW(0, m_hContext, nameSpace, name, value, ARRAYSIZE(value), &written))
            return std::wstring();
        return value;
    }

private:
    HANDLE m_hContext = INVALID_HANDLE_VALUE;
};

// The activated context while the object lives.
class ActivatedContext {
public:
    explicit ActivatedContext(HANDLE hContext) : m_ok(::ActivateActCtx(hContext, &m_cookie) != FALSE) {}
    ~ActivatedContext()
    {
        if (m_ok)
            ::DeactivateActCtx(0, m_cookie);
    }
    ActivatedContext(const ActivatedContext&) = delete;
    ActivatedContext& operator=(const ActivatedContext&) = delete;

private:
    ULONG_PTR m_cookie = 0;
    bool m_ok;
};

// The raw text of manifest resource 1.
std::string ManifestText(const std::string& exe)
{
    HMODULE module = ::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return std::string();
    std::string text;
    if (HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24))) {
        const void* data = ::LockResource(::LoadResource(module, res));
        if (data)
            text.assign(static_cast<const char*>(data), ::SizeofResource(module, res));
    }
    ::FreeLibrary(module);
    return text;
}

} // namespace

TEST(ExeResources, TheManifestMakesKepSystemDpiAwareWithCommonControls6AsTheInvokingUser)
{
    const std::string exe = KepExe();
    const std::string text = ManifestText(exe);
    ASSERT_FALSE(text.empty()) << "no manifest resource 1 in " << exe;

    ActivationContext context(exe);
    ASSERT_TRUE(context.Valid()) << "the manifest does not make an activation context, error " << ::GetLastError();
    EXPECT_EQ(context.Setting(nullptr, L"dpiAware"), L"true");
    EXPECT_EQ(context.Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"), L"system");
    {
        // The dependency resolves: comctl32 comes from the side-by-side
        // assembly of version 6, not from the system folder.
        ActivatedContext active(context.Handle());
        ACTCTX_SECTION_KEYED_DATA data = {};
        data.cbSize = sizeof(data);
        EXPECT_TRUE(
            ::FindActCtxSectionStringW(0, nullptr, ACTIVATION_CONTEXT_SECTION_DLL_REDIRECTION, L"comctl32.dll", &data));
    }
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("level=\"asInvoker\" uiAccess=\"false\""), std::string::npos);
    EXPECT_EQ(text.find("requireAdministrator"), std::string::npos);
    EXPECT_EQ(text.find("highestAvailable"), std::string::npos);
    EXPECT_NE(text.find("<supportedOS Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\"/>"), std::string::npos)
        << "Windows 10 and 11 are not listed";
    const std::string version = std::to_string(KEP_VERSION_MAJOR) + "." + std::to_string(KEP_VERSION_MINOR) + "." +
                                std::to_string(KEP_VERSION_PATCH) + ".0";
    EXPECT_NE(text.find("name=\"KEP.ImageViewer\" version=\"" + version + "\""), std::string::npos)
        << "the manifest's own version is not " << version;
}

TEST(ExeResources, TheVersionResourceNamesKepItsVersionAndCopyright)
{
    const std::string exe = KepExe();
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(exe.c_str(), &ignored);
    ASSERT_GT(size, 0u) << "no version resource in " << exe;
    std::vector<char> info(size);
    ASSERT_TRUE(::GetFileVersionInfoA(exe.c_str(), 0, size, info.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(info.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(KEP_VERSION_MINOR, KEP_VERSION_MAJOR)));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(0, KEP_VERSION_PATCH)));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));

    WORD* translation = nullptr;
    ASSERT_TRUE(
        ::VerQueryValueA(info.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &length));
    ASSERT_GE(length, 4u);
    EXPECT_EQ(translation[0], 0x411); // Japanese
    EXPECT_EQ(translation[1], 1200);  // UTF-16 strings

    // The texts as an ANSI program reads them (code page 932).
    const struct {
        const char* name;
        std::string expected;
    } strings[] = {{"ProductName", "KEP"},
                   {"FileDescription", "KEP 画像ビューア"},
                   {"FileVersion", KEP_VERSION_TEXT},
                   {"ProductVersion", KEP_VERSION_TEXT},
                   {"OriginalFilename", "kep.exe"},
                   {"CompanyName", "KEP developers"},
                   {"LegalCopyright", "Copyright (C) 2026 KEP developers"}};
    for (const auto& s : strings) {
        char* value = nullptr;
        const std::string path = std::string("\\StringFileInfo\\041104b0\\") + s.name;
        EXPECT_TRUE(::VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value &&
                    s.expected == value)
            << s.name << " is '" << (value ? value : "(none)") << "'";
    }
    EXPECT_EQ(std::string(KEP_VERSION_TEXT), std::to_string(KEP_VERSION_MAJOR) + "." +
                                                 std::to_string(KEP_VERSION_MINOR) + "." +
                                                 std::to_string(KEP_VERSION_PATCH));
}
