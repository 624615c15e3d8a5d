// lviehlp.exe under a double-byte ANSI code page (932), from a file name whose character has
// "\" (0x5C) as its second byte. Run with the process locale set to Japanese; skipped elsewhere.
#include <gtest/gtest.h>

#include "../cases/expected.h"
#include "testutil.h"

namespace {

const char* const kMenuKey = expected::kMenuItemKey;
const char* const kButtonKey = expected::kToolbarButtonKey;

// The extension keys and the folder are gone before and after.
class DoubleByteCodePage : public ::testing::Test {
protected:
    void SetUp() override {
        if (GetACP() != 932) GTEST_SKIP() << "needs code page 932, this process has " << GetACP();
        dir_ = lvtest::MakeTempDir("dbcs");
        DeleteKeys();
    }
    void TearDown() override {
        if (dir_.empty()) return;  // skipped
        DeleteKeys();
        lvtest::RemoveTree(dir_);
    }
    static void DeleteKeys() {
        lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
        lvtest::DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);
    }
    std::string dir_;
};

TEST_F(DoubleByteCodePage, TrailByteBackslashInOwnPathIsNotASeparator) {
    // U+8868 is 0x95 0x5C in code page 932.
    const std::wstring exe = lvtest::Widen(dir_) + L"\\\u8868.exe";
    const std::string source = lvtest::DistFile("lviehlp.exe");
    ASSERT_NE(GetFileAttributesA(source.c_str()), INVALID_FILE_ATTRIBUTES) << source;
    ASSERT_NE(GetFileAttributesA(dir_.c_str()), INVALID_FILE_ATTRIBUTES) << dir_;
    ASSERT_TRUE(CopyFileW(lvtest::Widen(source).c_str(), exe.c_str(), FALSE)) << GetLastError();

    ASSERT_EQ(lvtest::RunProcessWide(L"\"" + exe + L"\" install"), 0);
    std::string data;
    DWORD type = 0;
    ASSERT_TRUE(lvtest::ReadValue(HKEY_LOCAL_MACHINE, kMenuKey, "Exec", data, type));
    EXPECT_EQ(data, dir_ + "\\\x95\x5C.exe");
    ASSERT_TRUE(lvtest::ReadValue(HKEY_LOCAL_MACHINE, kButtonKey, "Icon", data, type));
    EXPECT_EQ(data, dir_ + "\\lvieres.dll,2") << "the icon library sits in the program's folder";

    EXPECT_EQ(lvtest::RunProcessWide(L"\"" + exe + L"\" uninstall"), 0);
    EXPECT_FALSE(lvtest::KeyExists(HKEY_LOCAL_MACHINE, kMenuKey));
}

}  // namespace
