// Delimited words and the shared byte-string helpers.
#include <gtest/gtest.h>

#include "../cases/expected.h"
#include "common.h"
#include "rxStrUtils.h"

using namespace lv;
using expected::SjisLead;

TEST(Words, CountsSkipRunsOfDelimiters) {
    const CharSet dot(".");
    EXPECT_EQ(CountWords("", dot), 0);
    EXPECT_EQ(CountWords("...", dot), 0);
    EXPECT_EQ(CountWords(".a..b.", dot), 2);
    EXPECT_EQ(CountWords("www.example.com", dot), 3);
    EXPECT_EQ(CountWords("a b\tc", CharSet(" \t")), 3);
}

TEST(Words, FindWordStartIsOneBasedAndZeroWhenAbsent) {
    const CharSet dot(".");
    EXPECT_EQ(FindWordStart(2, "www.example.com", dot), 5);
    EXPECT_EQ(FindWordStart(1, ".a..b.", dot), 2);
    EXPECT_EQ(FindWordStart(2, ".a..b.", dot), 5);
    EXPECT_EQ(FindWordStart(3, ".a..b.", dot), 0);
    EXPECT_EQ(FindWordStart(0, "a.b", dot), 0);
    EXPECT_EQ(FindWordStart(-1, "a.b", dot), 0);
    EXPECT_EQ(FindWordStart(1, "", dot), 0);
}

TEST(Words, GetWordCopiesOneWord) {
    const CharSet dot(".");
    EXPECT_EQ(GetWord(1, ".a..b.", dot), "a");
    EXPECT_EQ(GetWord(2, ".a..b.", dot), "b");
    EXPECT_EQ(GetWord(3, ".a..b.", dot), "");
    EXPECT_EQ(GetWord(3, "www.example.com", dot), "com");
    EXPECT_EQ(GetWord(0, "www", dot), "");
}

TEST(Words, CharSetCoversAllByteValues) {
    CharSet set;
    set.Add(0);
    set.Add(255);
    set.Add(0x80);
    EXPECT_TRUE(set.Has(0));
    EXPECT_TRUE(set.Has(255));
    EXPECT_TRUE(set.Has(0x80));
    EXPECT_FALSE(set.Has(1));
    EXPECT_FALSE(set.Has(254));
    std::string s = "a\xFF" "b\xFF\xFF" "c";
    CharSet ff;
    ff.Add(0xFF);
    EXPECT_EQ(CountWords(s, ff), 3);
    EXPECT_EQ(GetWord(3, s, ff), "c");
}

TEST(Common, StripBlanksDropsControlBytesAtBothEnds) {
    EXPECT_EQ(StripBlanks("  example.com \t\r\n"), "example.com");
    EXPECT_EQ(StripBlanks(std::string("\x01\x20x y\x1f", 6)), "x y");
    EXPECT_EQ(StripBlanks(" \t "), "");
    EXPECT_EQ(StripBlanks(""), "");
    EXPECT_EQ(StripBlanks("\x21!"), "!!");
    EXPECT_EQ(StripBlanks(std::string("\0a\0", 3)), "a");
}

TEST(Common, SameTextAsciiFoldsOnlyAsciiLetters) {
    EXPECT_TRUE(SameTextAscii("INSTALL", "install"));
    EXPECT_TRUE(SameTextAscii("Install", "iNSTALL"));
    EXPECT_FALSE(SameTextAscii("installx", "install"));
    EXPECT_FALSE(SameTextAscii("/install", "install"));
    EXPECT_FALSE(SameTextAscii("\xE9", "\xC9"));  // Latin-1 letters are not folded
    EXPECT_FALSE(SameTextAscii("[", "{"));
    EXPECT_TRUE(SameTextAscii("", ""));
}

TEST(Common, PosFindsFirstOccurrence) {
    EXPECT_EQ(Pos("//", "http://a//b"), 6u);
    EXPECT_EQ(Pos("Lorvane", "Lorvane 3"), 1u);
    EXPECT_EQ(Pos("Lorvane", "lorvane"), 0u);
    EXPECT_EQ(Pos("", "abc"), 0u);
}

TEST(Common, DirectoryPartStopsAtLastSeparator) {
    EXPECT_EQ(DirectoryPart("C:\\Tools\\lviehlp.exe"), "C:\\Tools\\");
    EXPECT_EQ(DirectoryPart("C:lviehlp.exe"), "C:");
    EXPECT_EQ(DirectoryPart("lviehlp.exe"), "");
    EXPECT_EQ(DirectoryPart(""), "");
    EXPECT_EQ(DirectoryPart("\\\\server\\share\\x"), "\\\\server\\share\\");
    // Wide paths: a Cyrillic folder, a drive-relative name, none.
    EXPECT_EQ(DirectoryPart(std::wstring(L"C:\\\u041F\u0440\\lviehlp.exe")), L"C:\\\u041F\u0440\\");
    EXPECT_EQ(DirectoryPart(std::wstring(L"C:lviehlp.exe")), L"C:");
    EXPECT_EQ(DirectoryPart(std::wstring(L"lviehlp.exe")), L"");
}

TEST(Common, DirectoryPartSkipsTrailBytesThatLookLikeBackslash) {
    // 0x95 0x5C is one double-byte character whose second byte is '\'.
    const std::string path = "C:\\Ab\x95\x5C" "cd.exe";
    EXPECT_EQ(DirectoryPart(path, SjisLead), "C:\\");
    EXPECT_EQ(DirectoryPart(path), "C:\\Ab\x95\x5C");  // single-byte reading
    const std::string dir = "C:\\\x95\x5C\\lviehlp.exe";
    EXPECT_EQ(DirectoryPart(dir, SjisLead), "C:\\\x95\x5C\\");
    // A lead byte at the very end has no trail byte to swallow.
    EXPECT_EQ(DirectoryPart("C:\\x\x95", SjisLead), "C:\\");
}
