// The registry wrapper against the real registry, under a scratch key wiped before each test.
#include <gtest/gtest.h>

#include "regprocs.h"
#include "testutil.h"

using namespace lv;

namespace {

const char* const kScratch = "Software\\lviehlp-tests\\regprocs";

class RegProcs : public ::testing::Test {
protected:
    void SetUp() override { lvtest::DeleteTree(HKEY_CURRENT_USER, kScratch); }
    void TearDown() override { lvtest::DeleteTree(HKEY_CURRENT_USER, kScratch); }

    static std::string Stored(const char* name, DWORD& type) {
        std::string data;
        EXPECT_TRUE(lvtest::ReadValue(HKEY_CURRENT_USER, kScratch, name, data, type));
        return data;
    }
};

TEST_F(RegProcs, WriteCreatesKeyAndStoresRegSzWithTerminator) {
    ASSERT_TRUE(OpenKeyForWrite(HKEY_CURRENT_USER, kScratch));
    EXPECT_EQ(RegStatus, ERROR_SUCCESS);
    EXPECT_TRUE(WriteStringValue("Name", "value"));
    EXPECT_TRUE(WriteStringValue("Empty", ""));
    EXPECT_EQ(ReadStringValue("Name"), "value");
    CloseKey();

    HKEY k;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_READ, &k), ERROR_SUCCESS);
    DWORD type = 0, size = 0;
    ASSERT_EQ(RegQueryValueExA(k, "Empty", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 1u);  // the terminator alone
    ASSERT_EQ(RegQueryValueExA(k, "Name", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 6u);
    RegCloseKey(k);
}

TEST_F(RegProcs, FailedOpenDisablesReadsWritesAndClose) {
    ASSERT_TRUE(OpenKeyForWrite(HKEY_CURRENT_USER, kScratch));
    CloseKey();

    EXPECT_FALSE(OpenKeyForRead(HKEY_CURRENT_USER, std::string(kScratch) + "\\missing"));
    EXPECT_EQ(RegStatus, ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(WriteStringValue("Name", "x"));
    EXPECT_EQ(ReadStringValue("Name"), "");
    const HKEY held = RegKey;
    CloseKey();  // must not close anything
    EXPECT_EQ(RegKey, held);
    EXPECT_FALSE(lvtest::KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\missing"));
    EXPECT_EQ(lvtest::ValueCount(HKEY_CURRENT_USER, kScratch), 0);
}

TEST_F(RegProcs, ReadsUpTo255CharactersWhole) {
    const std::string s255(255, 'a'), s256(256, 'b');
    ASSERT_TRUE(OpenKeyForWrite(HKEY_CURRENT_USER, kScratch));
    WriteStringValue("Fits", s255);
    WriteStringValue("TooLong", s256);
    CloseKey();
    ASSERT_TRUE(OpenKeyForRead(HKEY_CURRENT_USER, kScratch));
    EXPECT_EQ(ReadStringValue("Fits"), s255);
    EXPECT_EQ(ReadStringValue("TooLong"), "");
    EXPECT_EQ(ReadStringValue("Absent"), "");
    CloseKey();
}

// Data stored by other programs need not be a terminated string: nothing real may be lost,
// and zero bytes of data must read as the empty string.
TEST_F(RegProcs, ReadKeepsDataWithoutTerminatorAndHandlesEmptyData) {
    ASSERT_TRUE(OpenKeyForWrite(HKEY_CURRENT_USER, kScratch));
    ASSERT_EQ(RegSetValueExA(RegKey, "NoTerm", 0, REG_BINARY, reinterpret_cast<const BYTE*>("6.0"), 3),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(RegKey, "Zero", 0, REG_SZ, nullptr, 0), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(RegKey, "Full", 0, REG_BINARY, reinterpret_cast<const BYTE*>(std::string(256, 'z').data()),
                             256),
              ERROR_SUCCESS);
    EXPECT_EQ(ReadStringValue("NoTerm"), "6.0");
    EXPECT_EQ(ReadStringValue("Zero"), "");
    EXPECT_EQ(ReadStringValue("Full"), std::string(256, 'z'));
    CloseKey();
}

TEST_F(RegProcs, DeleteKeyReportsItsResultAndLeavesCurrentKeyAlone) {
    ASSERT_TRUE(OpenKeyForWrite(HKEY_CURRENT_USER, std::string(kScratch) + "\\child"));
    CloseKey();
    ASSERT_FALSE(OpenKeyForRead(HKEY_CURRENT_USER, std::string(kScratch) + "\\nothere"));
    const LONG status = RegStatus;
    EXPECT_EQ(DeleteKey(HKEY_CURRENT_USER, std::string(kScratch) + "\\child"), ERROR_SUCCESS);
    EXPECT_EQ(RegStatus, status);
    EXPECT_FALSE(lvtest::KeyExists(HKEY_CURRENT_USER, std::string(kScratch) + "\\child"));
    EXPECT_NE(DeleteKey(HKEY_CURRENT_USER, std::string(kScratch) + "\\child"), ERROR_SUCCESS);
}

// Both views exactly on 64-bit Windows, whichever build asks. Told here by the system folder of
// 32-bit programs, which only 64-bit Windows has (32-bit Windows fails the call).
TEST(ExtensionViews, BothViewsOnlyOn64BitWindows) {
    char dir[MAX_PATH];
    if (GetSystemWow64DirectoryA(dir, MAX_PATH) != 0)
        EXPECT_EQ(ExtensionViews(), (std::vector<REGSAM>{KEY_WOW64_32KEY, KEY_WOW64_64KEY}));
    else
        EXPECT_EQ(ExtensionViews(), std::vector<REGSAM>{0});
}

}  // namespace
