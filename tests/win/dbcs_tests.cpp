// lviehlp.exe under a double-byte ANSI code page (932), from a file name whose character has
// "\" (0x5C) as its second byte. Run with the process locale set to Japanese; skipped elsewhere.
#include <gtest/gtest.h>

#include "../cases/expected.h"
#include "testutil.h"

namespace {

const char* const kMenuKey = expected::kMenuItemKey;
const char* const kButtonKey = expected::kToolbarButtonKey;

int RunWide(const std::wstring& exe, const std::wstring& args) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    if (!CreateProcessW(nullptr, &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
    WaitForSingleObject(pi.hProcess, 30000);
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return static_cast<int>(code);
}

TEST(DoubleByteCodePage, TrailByteBackslashInOwnPathIsNotASeparator) {
    if (GetACP() != 932) GTEST_SKIP() << "needs code page 932, this process has " << GetACP();
    const std::string dir = lvtest::MakeTempDir("dbcs");
    // U+8868 is 0x95 0x5C in code page 932.
    const std::wstring wdir(dir.begin(), dir.end());
    const std::wstring exe = wdir + L"\\\u8868.exe";
    const std::string source = lvtest::DistFile("lviehlp.exe");
    ASSERT_NE(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES) << source;
    ASSERT_NE(GetFileAttributesA(dir.c_str()), INVALID_FILE_ATTRIBUTES) << dir;
    ASSERT_TRUE(CopyFileW(std::wstring(source.begin(), source.end()).c_str(), exe.c_str(), FALSE)) << GetLastError();
    lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
    lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);

    ASSERT_EQ(RunWide(exe, L"install"), 0);
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(lvtest::ReadValue(HKEY_LOCAL_MACHINE, kMenuKey, "Exec", data, type));
    EXPECT_EQ(data, dir + "\\\x95\x5C.exe");
    ASSERT_TRUE(lvtest::ReadValue(HKEY_LOCAL_MACHINE, kButtonKey, "Icon", data, type));
    EXPECT_EQ(data, dir + "\\lvieres.dll,2") << "the icon library sits in the program's folder";

    EXPECT_EQ(RunWide(exe, L"uninstall"), 0);
    EXPECT_FALSE(lvtest::KeyExists(HKEY_LOCAL_MACHINE, kMenuKey));
    lvtest::RemoveTree(dir);
}

}  // namespace
