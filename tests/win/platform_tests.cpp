// The platform layer on the running system: the program's own path and its exact ANSI form.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>
#include <utility>

#include "win32.h"

namespace {

// The module name read through a stand-in for the system call, as the two generations of
// Windows behave when the buffer is short: newer ones terminate and set an error, older ones
// fill the buffer without a terminator.
std::wstring g_fakeName;
bool g_oldStyle = false;

unsigned long __stdcall FakeModuleName(void*, wchar_t* buffer, unsigned long size) {
    if (g_fakeName.size() < size) {
        memcpy(buffer, g_fakeName.c_str(), (g_fakeName.size() + 1) * sizeof(wchar_t));
        return static_cast<unsigned long>(g_fakeName.size());
    }
    if (g_oldStyle) {
        memcpy(buffer, g_fakeName.data(), size * sizeof(wchar_t));
        return size;
    }
    memcpy(buffer, g_fakeName.data(), (size - 1) * sizeof(wchar_t));
    buffer[size - 1] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return size;
}

unsigned long __stdcall FailingModuleName(void*, wchar_t*, unsigned long) { return 0; }

TEST(OwnPath, LongNamesAreReadWholeOrNotAtAll) {
    for (bool oldStyle : {false, true}) {
        g_oldStyle = oldStyle;
        for (std::size_t len : {10u, 259u, 260u, 261u, 300u, 1000u, 32767u}) {
            g_fakeName = L"C:\\" + std::wstring(len - 3, L'p');
            lv::ModulePath path;
            ASSERT_TRUE(lv::OwnModulePathWith(FakeModuleName, path)) << len;
            EXPECT_EQ(path.wide, g_fakeName) << len << (oldStyle ? " old style" : "");
            EXPECT_TRUE(path.exact);
            EXPECT_EQ(path.ansi, "C:\\" + std::string(len - 3, 'p'));
        }
        g_fakeName = std::wstring(140000, L'p');
        lv::ModulePath path;
        path.ansi = "unchanged";
        EXPECT_FALSE(lv::OwnModulePathWith(FakeModuleName, path));
        EXPECT_EQ(path.ansi, "unchanged");
    }
    lv::ModulePath path;
    path.ansi = "unchanged";
    EXPECT_FALSE(lv::OwnModulePathWith(FailingModuleName, path));
    EXPECT_EQ(path.ansi, "unchanged");
}

// Only a name the ANSI code page holds exactly has an ANSI form: neither a default byte nor a
// best-fit look-alike ("a" for a-macron) may stand in for a character.
TEST(OwnPath, AnsiFormOnlyWhenExact) {
    if (GetACP() != 1252) GTEST_SKIP() << "needs code page 1252, this process has " << GetACP();
    const std::pair<const wchar_t*, const char*> exact[] = {{L"C:\\B\u00FCcher\\x.exe", "C:\\B\xFC" "cher\\x.exe"},
                                                            {L"", ""}};
    for (const auto& c : exact) {
        std::string ansi = "unchanged";
        EXPECT_TRUE(lv::ToAnsiExact(c.first, ansi));
        EXPECT_EQ(ansi, c.second);
    }
    for (const wchar_t* lossy : {L"C:\\\u041F\u0440\u043E\u0433\u0430\\x.exe", L"C:\\\u0101\\x.exe"}) {
        std::string ansi;
        EXPECT_FALSE(lv::ToAnsiExact(lossy, ansi));
        EXPECT_EQ(ansi, "");
    }
}

TEST(OwnPath, IsTheRunningProgram) {
    lv::ModulePath path;
    ASSERT_TRUE(lv::OwnModulePath(path));
    wchar_t expected[MAX_PATH];
    GetModuleFileNameW(nullptr, expected, MAX_PATH);
    EXPECT_EQ(path.wide, expected);
    char expectedAnsi[MAX_PATH];
    GetModuleFileNameA(nullptr, expectedAnsi, MAX_PATH);
    EXPECT_TRUE(path.exact);
    EXPECT_EQ(path.ansi, expectedAnsi);
}

}  // namespace
