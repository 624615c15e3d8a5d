// The real lviehlp.exe writing and deleting its two extension keys, read back from the registry.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "../cases/expected.h"
#include "testutil.h"

using lvtest::DeleteTree;
using lvtest::KeyExists;
using lvtest::RunProcess;

namespace {

using expected::kExtensionsKey;
const char* const kMenuKey = expected::kMenuItemKey;
const char* const kButtonKey = expected::kToolbarButtonKey;
const char* const kBrowserKey = "Software\\Microsoft\\Internet Explorer";

using Values = std::vector<std::pair<std::string, std::string>>;

// Every value of a key, sorted by name (the registry does not keep the order of writing);
// each must be REG_SZ with its terminator.
Values ReadAll(const char* path) {
    Values out;
    HKEY k;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &k) != ERROR_SUCCESS) return out;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameLen = sizeof name, dataLen = sizeof data, type = 0;
        if (RegEnumValueA(k, i, name, &nameLen, nullptr, &type, data, &dataLen) != ERROR_SUCCESS) break;
        EXPECT_EQ(type, static_cast<DWORD>(REG_SZ)) << name;
        EXPECT_GT(dataLen, 0u);
        EXPECT_EQ(data[dataLen - 1], 0) << name << " is stored with its terminator";
        out.emplace_back(name, std::string(reinterpret_cast<char*>(data), dataLen ? dataLen - 1 : 0));
    }
    RegCloseKey(k);
    std::sort(out.begin(), out.end());
    return out;
}

Values Sorted(Values v) {
    std::sort(v.begin(), v.end());
    return v;
}

Values MenuValues(const std::string& exe) {
    return Sorted({{"CLSID", "{1FBA04EE-3024-11d2-8F1F-0000F87ABD16}"},
                   {"MenuText", "Lorvane"},
                   {"MenuStatusBar", "Performs a Lorvane query on the current URL"},
                   {"Exec", exe}});
}

Values ButtonValues(const std::string& dir, const std::string& exe, const char* icon, const char* hot) {
    return Sorted({{"CLSID", "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}"},
                   {"HotIcon", dir + "lvieres.dll," + hot},
                   {"Icon", dir + "lvieres.dll," + icon},
                   {"ButtonText", "Lorvane"},
                   {"Default Visible", "Yes"},
                   {"Exec", exe}});
}

// Each test starts with no extension keys and a known browser version, and puts the
// version back afterwards. On 64-bit Windows install falls back to the 32-bit browser's version
// when the 64-bit one's (a 64-bit test's own view) gives none: that one is set aside meanwhile.
class InstallTest : public ::testing::Test {
protected:
    static constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : 0;

    void SetUp() override {
        DWORD type = 0;
        hadVersion_ = lvtest::ReadValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", savedVersion_, type);
        if (kOtherView) {
            hadOtherVersion_ =
                lvtest::ReadValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", otherVersion_, type, kOtherView);
            lvtest::DeleteValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", kOtherView);
        }
        DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);
        SetVersion("11.0.9600.16428");
        dir_ = lvtest::MakeTempDir(::testing::UnitTest::GetInstance()->current_test_info()->name());
        exe_ = dir_ + "\\lviehlp.exe";
        ASSERT_TRUE(lvtest::CopyTo(lvtest::DistFile("lviehlp.exe"), exe_));
    }
    void TearDown() override {
        DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);
        if (hadVersion_)
            SetVersion(savedVersion_);
        else
            DeleteVersion();
        if (hadOtherVersion_) lvtest::SetSz(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", otherVersion_, kOtherView);
        lvtest::RemoveTree(dir_);
    }

    static void SetVersion(const std::string& v) { lvtest::SetSz(HKEY_LOCAL_MACHINE, kBrowserKey, "Version", v); }
    static void SetVersionRaw(DWORD type, const void* data, DWORD size) {
        ASSERT_TRUE(lvtest::SetValue(HKEY_LOCAL_MACHINE, kBrowserKey, L"Version", type, data, size));
    }
    static void DeleteVersion() { lvtest::DeleteValue(HKEY_LOCAL_MACHINE, kBrowserKey, "Version"); }

    int Run(const std::string& args) { return RunProcess("\"" + exe_ + "\" " + args, dir_); }
    bool NothingInstalled() { return !KeyExists(HKEY_LOCAL_MACHINE, kMenuKey) && !KeyExists(HKEY_LOCAL_MACHINE, kButtonKey); }
    // The icon pair that an install with the current version writes.
    std::string IconsAfterInstall() {
        EXPECT_EQ(Run("install"), 0);
        std::string icon, hot;
        DWORD type;
        lvtest::ReadValue(HKEY_LOCAL_MACHINE, kButtonKey, "Icon", icon, type);
        lvtest::ReadValue(HKEY_LOCAL_MACHINE, kButtonKey, "HotIcon", hot, type);
        return icon.substr(icon.size() - 1) + hot.substr(hot.size() - 1);
    }

    std::string dir_, exe_, savedVersion_, otherVersion_;
    bool hadVersion_ = false, hadOtherVersion_ = false;
};

TEST_F(InstallTest, WritesBothKeysByteExactInOrder) {
    ASSERT_EQ(Run("install"), 0);
    EXPECT_EQ(ReadAll(kMenuKey), MenuValues(exe_));
    EXPECT_EQ(ReadAll(kButtonKey), ButtonValues(dir_ + "\\", exe_, "2", "3"));
}

TEST_F(InstallTest, UninstallRemovesBothKeysAndToleratesAbsentKeys) {
    ASSERT_EQ(Run("install"), 0);
    ASSERT_FALSE(NothingInstalled());
    EXPECT_EQ(Run("uninstall"), 0);
    EXPECT_TRUE(NothingInstalled());
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kExtensionsKey)) << "only our own keys go";
    EXPECT_EQ(Run("uninstall"), 0) << "nothing installed is not a failure";
    EXPECT_TRUE(NothingInstalled());
}

TEST_F(InstallTest, KeywordsMatchInAnyLetterCaseAndIgnoreFurtherWords) {
    for (const char* args : {"INSTALL", "Install", "install now", "\"install\"", "\"\" install"}) {
        DeleteTree(HKEY_LOCAL_MACHINE, kMenuKey);
        DeleteTree(HKEY_LOCAL_MACHINE, kButtonKey);
        EXPECT_EQ(Run(args), 0) << args;
        EXPECT_EQ(ReadAll(kMenuKey), MenuValues(exe_)) << args;
        EXPECT_EQ(ReadAll(kButtonKey).size(), 6u) << args;
    }
    for (const char* args : {"UNINSTALL", "UnInstall now"}) {
        ASSERT_EQ(Run("install"), 0);
        EXPECT_EQ(Run(args), 0) << args;
        EXPECT_TRUE(NothingInstalled()) << args;
    }
}

TEST_F(InstallTest, OtherWordsDoNothing) {
    // As long as a command line can be: 32767 characters with the terminator.
    const std::string huge(32766 - exe_.size() - 3, 'a');
    for (const std::string& args : {std::string("/install"), std::string("-install"), std::string("installx"),
                                    std::string("\"un install\""), std::string("x install"), huge}) {
        EXPECT_EQ(Run(args), 0) << args.substr(0, 40);
        EXPECT_TRUE(NothingInstalled()) << args.substr(0, 40);
    }
    ASSERT_EQ(Run("install"), 0);
    EXPECT_EQ(Run("uninstallx"), 0);
    EXPECT_FALSE(NothingInstalled());
}

TEST_F(InstallTest, UnbalancedQuoteRunsToTheEndOfTheLine) {
    EXPECT_EQ(Run("\"install"), 0);
    EXPECT_EQ(ReadAll(kMenuKey), MenuValues(exe_));
}

TEST_F(InstallTest, RelativeStartRegistersTheAbsolutePath) {
    // Started the way a shell would from inside the folder: by its bare name.
    char previous[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(dir_.c_str()));
    const int code = RunProcess("lviehlp.exe install", dir_);
    SetCurrentDirectoryA(previous);
    ASSERT_EQ(code, 0);
    EXPECT_EQ(ReadAll(kMenuKey), MenuValues(exe_));
    EXPECT_EQ(ReadAll(kButtonKey), ButtonValues(dir_ + "\\", exe_, "2", "3"));
}

TEST_F(InstallTest, SecondInstallOverwritesInPlace) {
    ASSERT_EQ(Run("install"), 0);
    const std::string other = dir_ + "\\other";
    ASSERT_TRUE(CreateDirectoryA(other.c_str(), nullptr));
    ASSERT_TRUE(lvtest::CopyTo(exe_, other + "\\lviehlp.exe"));
    SetVersion("5.50.4134.0600");
    ASSERT_EQ(RunProcess("\"" + other + "\\lviehlp.exe\" install", other), 0);
    EXPECT_EQ(ReadAll(kMenuKey), MenuValues(other + "\\lviehlp.exe"));
    EXPECT_EQ(ReadAll(kButtonKey), ButtonValues(other + "\\", other + "\\lviehlp.exe", "0", "1"));
}

TEST_F(InstallTest, BrowserVersionSelectsTheIconPair) {
    const std::pair<const char*, const char*> cases[] = {
        {"6.0.2900.2180", "23"}, {"11.0.9600.16428", "23"}, {"5.50.4134.0600", "01"}, {".6", "01"},
        {"6", "01"},             {"x.0", "01"},             {"x6.0", "23"},           {"0x6.0", "23"},
        {"+6.0", "23"},          {" 6.0", "23"},            {"-6.0", "01"},           {"\t6.0", "01"},
    };
    for (const auto& c : cases) {
        SetVersion(c.first);
        EXPECT_EQ(IconsAfterInstall(), c.second) << "Version \"" << c.first << "\"";
    }
    DeleteVersion();
    EXPECT_EQ(IconsAfterInstall(), "01") << "no version";
}

TEST_F(InstallTest, VersionOfOtherTypeOrLengthIsReadAsStoredBytes) {
    const std::string v255 = "7." + std::string(253, '1');
    SetVersion(v255);
    EXPECT_EQ(IconsAfterInstall(), "23") << "255 characters are read whole";
    SetVersion(v255 + "1");
    EXPECT_EQ(IconsAfterInstall(), "01") << "256 characters do not fit";
    SetVersionRaw(REG_BINARY, "6.0", 3);
    EXPECT_EQ(IconsAfterInstall(), "23") << "data without a terminator keeps its last byte";
    const DWORD six = 6;
    SetVersionRaw(REG_DWORD, &six, sizeof six);
    EXPECT_EQ(IconsAfterInstall(), "01");
    SetVersionRaw(REG_SZ, nullptr, 0);
    EXPECT_EQ(IconsAfterInstall(), "01") << "zero bytes of data";
}

// From a folder outside the ANSI code page, the registered paths name the real files (stored
// through the wide call), and uninstall still works.
TEST_F(InstallTest, NonAnsiFolderRegistersTheRealPath) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, this process has " << GetACP();
    const std::wstring dir = lvtest::MakeCyrillicDir(dir_);
    const std::wstring exe = dir + L"\\lviehlp.exe";
    ASSERT_TRUE(CopyFileW(lvtest::Widen(exe_).c_str(), exe.c_str(), FALSE));
    ASSERT_EQ(lvtest::RunProcessWide(L"\"" + exe + L"\" install"), 0);
    EXPECT_EQ(lvtest::ReadWideValue(HKEY_LOCAL_MACHINE, kMenuKey, L"Exec"), exe);
    EXPECT_EQ(lvtest::ReadWideValue(HKEY_LOCAL_MACHINE, kButtonKey, L"Exec"), exe);
    EXPECT_EQ(lvtest::ReadWideValue(HKEY_LOCAL_MACHINE, kButtonKey, L"Icon"), dir + L"\\lvieres.dll,2");
    EXPECT_EQ(lvtest::ReadWideValue(HKEY_LOCAL_MACHINE, kButtonKey, L"HotIcon"), dir + L"\\lvieres.dll,3");
    EXPECT_EQ(lvtest::ValueCount(HKEY_LOCAL_MACHINE, kMenuKey), 4);
    EXPECT_EQ(lvtest::ValueCount(HKEY_LOCAL_MACHINE, kButtonKey), 6);
    EXPECT_EQ(lvtest::RunProcessWide(L"\"" + exe + L"\" uninstall"), 0);
    EXPECT_TRUE(NothingInstalled());
}

// A key that cannot be created under a volatile parent: install writes nothing and says so.
TEST_F(InstallTest, FailedWriteSetsExitCodeAndWritesNothing) {
    Values saved = ReadAll(kExtensionsKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kExtensionsKey);
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, nullptr, REG_OPTION_VOLATILE, KEY_WRITE, nullptr,
                              &k, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(k);
    EXPECT_NE(Run("install"), 0);
    EXPECT_TRUE(NothingInstalled());
    DeleteTree(HKEY_LOCAL_MACHINE, kExtensionsKey);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kExtensionsKey, 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    for (const auto& v : saved) lvtest::SetSz(HKEY_LOCAL_MACHINE, kExtensionsKey, v.first, v.second);
    RegCloseKey(k);
}

// A key that still has a subkey cannot be deleted: uninstall reports it.
TEST_F(InstallTest, FailedDeleteSetsExitCode) {
    ASSERT_EQ(Run("install"), 0);
    lvtest::SetSz(HKEY_LOCAL_MACHINE, std::string(kMenuKey) + "\\pinned", "x", "y");
    EXPECT_NE(Run("uninstall"), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kButtonKey)) << "the other key still goes";
}

}  // namespace
