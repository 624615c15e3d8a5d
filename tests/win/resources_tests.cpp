// The resources carried by lviehlp.exe and the icon library, read back as the shell reads them.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include <string>
#include <vector>

#include "testutil.h"

namespace {

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved, type, count;
};
#pragma pack(pop)

// A shipped file's version block as the shell reads it; empty when it has none.
std::vector<char> VersionBlockOf(const char* file) {
    const std::string path = lvtest::DistFile(file);
    DWORD handle = 0;
    std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &handle));
    if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return {};
    return block;
}

const VS_FIXEDFILEINFO* FixedInfo(const std::vector<char>& block) {
    void* fixed = nullptr;
    UINT len = 0;
    if (block.empty() || !VerQueryValueA(block.data(), "\\", &fixed, &len) || len < sizeof(VS_FIXEDFILEINFO)) return nullptr;
    return static_cast<const VS_FIXEDFILEINFO*>(fixed);
}

// A version string of the block's only language, or nullptr where the block has none.
const char* VersionString(const std::vector<char>& block, const char* name) {
    const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
    void* p = nullptr;
    UINT n = 0;
    if (block.empty() || !VerQueryValueA(block.data(), path.c_str(), &p, &n)) return nullptr;
    return p ? static_cast<const char*>(p) : "";
}

class ProgramResources : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(lvtest::DistFile("lviehlp.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module_, nullptr);
    }
    void TearDown() override { FreeLibrary(module_); }

    std::string Resource(LPCSTR name, LPCSTR type) {
        HRSRC r = FindResourceA(module_, name, type);
        if (!r) return std::string();
        const char* p = static_cast<const char*>(LockResource(LoadResource(module_, r)));
        return std::string(p, SizeofResource(module_, r));
    }
    std::vector<GroupIconEntry> IconGroup(const char* name) {
        std::string raw = Resource(name, RT_GROUP_ICON);
        std::vector<GroupIconEntry> out;
        if (raw.size() < sizeof(GroupIconHeader)) return out;
        const auto* h = reinterpret_cast<const GroupIconHeader*>(raw.data());
        const auto* e = reinterpret_cast<const GroupIconEntry*>(raw.data() + sizeof *h);
        out.assign(e, e + h->count);
        return out;
    }

    HMODULE module_ = nullptr;
};

TEST_F(ProgramResources, IconGroups) {
    auto main = IconGroup("MAINICON");
    ASSERT_EQ(main.size(), 2u);
    EXPECT_EQ(main[0].width, 16);
    EXPECT_EQ(main[1].width, 32);
    for (const auto& e : main) EXPECT_EQ(e.bitCount, 8) << "256 colours";
    auto wnd = IconGroup("WNDICON");
    ASSERT_EQ(wnd.size(), 2u);
    for (const auto& e : wnd) EXPECT_EQ(e.width, 16);
    EXPECT_NE(LoadIconA(module_, "WNDICON"), nullptr);
}

TEST_F(ProgramResources, ManifestAsksForCommonControls6) {
    const std::string m = Resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
    ASSERT_FALSE(m.empty());
    for (const char* part : {"name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
                             "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\"",
                             "name=\"Microsoft.Windows.Shell.shell32\"", "version=\"5.1.0.0\"", "type=\"win32\"",
                             "<description>Windows Shell</description>"})
        EXPECT_NE(m.find(part), std::string::npos) << part;
}

// Read as the system reads it: an activation context made from the program's manifest, asked for
// its settings. System-aware only: the dialog computes its scale once, so nothing per monitor.
TEST_F(ProgramResources, ManifestDeclaresSystemDpiAwareness) {
    using QuerySettings = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);
    const auto query = reinterpret_cast<QuerySettings>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryActCtxSettingsW")));
    ASSERT_NE(query, nullptr);
    const std::string exe = lvtest::DistFile("lviehlp.exe");
    const std::wstring wexe(exe.begin(), exe.end());
    ACTCTXW request = {};
    request.cbSize = sizeof request;
    request.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    request.lpSource = wexe.c_str();
    request.lpResourceName = MAKEINTRESOURCEW(1);
    const HANDLE context = CreateActCtxW(&request);
    ASSERT_NE(context, INVALID_HANDLE_VALUE) << GetLastError();
    auto setting = [&](PCWSTR space, PCWSTR name) {
        wchar_t value[64] = {};
        SIZE_T written = 0;
        if (!query(0, context, space, name, value, 64, &written)) return std::wstring(L"(none)");
        return std::wstring(value);
    };
    EXPECT_EQ(setting(nullptr, L"dpiAware"), L"true");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2005/WindowsSettings", L"dpiAware"), L"true");
    EXPECT_EQ(setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"), L"(none)");
    ReleaseActCtx(context);
}

// Without a requested level, UAC virtualises a non-elevated "install" into the user's VirtualStore
// and it still exits 0.
TEST_F(ProgramResources, ManifestRunsAsInvoker) {
    const std::string m = Resource(MAKEINTRESOURCEA(1), RT_MANIFEST);
    EXPECT_NE(m.find("<trustInfo xmlns=\"urn:schemas-microsoft-com:asm.v3\">"), std::string::npos) << m;
    EXPECT_NE(m.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"), std::string::npos) << m;
}

// Both shipped files carry the program's version, the icon library as a DLL.
TEST(VersionBlock, BothFilesHaveTheProgramsVersion) {
    for (const auto& [file, type] : {std::pair{"lviehlp.exe", VFT_APP}, std::pair{"lvieres.dll", VFT_DLL}}) {
        SCOPED_TRACE(file);
        const std::vector<char> block = VersionBlockOf(file);
        const VS_FIXEDFILEINFO* fixed = FixedInfo(block);
        ASSERT_NE(fixed, nullptr);
        EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
        EXPECT_EQ(fixed->dwFileVersionLS, 0x00000004u);
        EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(type));
        EXPECT_STREQ(VersionString(block, "FileVersion"), "1.0.0.4");
    }
}

TEST(VersionBlock, FieldsAsShipped) {
    const std::vector<char> block = VersionBlockOf("lviehlp.exe");
    const VS_FIXEDFILEINFO* fixed = FixedInfo(block);
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00000004u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
    EXPECT_EQ(fixed->dwFileFlags, 0u);

    UINT len = 0;
    WORD* translation = nullptr;
    ASSERT_TRUE(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &len));
    ASSERT_EQ(len, 4u);
    EXPECT_EQ(translation[0], 0x0409);
    EXPECT_EQ(translation[1], 1252);

    EXPECT_STREQ(VersionString(block, "FileDescription"), "Lorvane/MSIE Integration");
    EXPECT_STREQ(VersionString(block, "ProductVersion"), "1.0.0.0");
    for (const char* given : {"CompanyName", "LegalCopyright"}) {
        const char* v = VersionString(block, given);
        ASSERT_NE(v, nullptr) << given;
        EXPECT_STRNE(v, "") << given;
    }
    for (const char* empty : {"InternalName", "LegalTrademarks", "OriginalFilename", "ProductName", "Comments"})
        EXPECT_STREQ(VersionString(block, empty), "") << empty << " is present and empty";
}

TEST(IconLibrary, HasFourIconsByIndex) {
    const std::string dll = lvtest::DistFile("lvieres.dll");
    EXPECT_EQ(ExtractIconExA(dll.c_str(), -1, nullptr, nullptr, 0), 4u);
    for (int i = 0; i < 4; ++i) {
        HICON small = nullptr;
        ASSERT_EQ(ExtractIconExA(dll.c_str(), i, nullptr, &small, 1), 1u) << i;
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(small, &info)) << i;
        BITMAP bm = {};
        GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, GetSystemMetrics(SM_CXSMICON)) << i;
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(small);
    }
    HMODULE m = LoadLibraryExA(dll.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(FindResourceA(m, MAKEINTRESOURCEA(1), RT_ICON) != nullptr, true);
    FreeLibrary(m);
}

}  // namespace
