// The browser's version text: the signed 32-bit parse and the modern/old icon choice.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "browserver.h"

using namespace lv;

namespace {
::testing::AssertionResult Parses(const std::string& text, std::int32_t expected) {
    std::int32_t v = 12345;
    if (!ParseInt32(text, v)) return ::testing::AssertionFailure() << '"' << text << "\" did not parse";
    if (v != expected) return ::testing::AssertionFailure() << '"' << text << "\" gave " << v;
    return ::testing::AssertionSuccess();
}
bool Fails(const std::string& text) {
    std::int32_t v = 0;
    return !ParseInt32(text, v);
}
}  // namespace

TEST(Version, MajorVersionChoosesIcons) {
    EXPECT_TRUE(IsModernVersion("6.0.2900.2180"));
    EXPECT_TRUE(IsModernVersion("11.0.9600.16428"));
    EXPECT_FALSE(IsModernVersion("5.50.4134.0600"));
    EXPECT_FALSE(IsModernVersion(".6"));
    EXPECT_FALSE(IsModernVersion("6"));
    EXPECT_FALSE(IsModernVersion("x.0"));
    EXPECT_FALSE(IsModernVersion(""));
    EXPECT_TRUE(IsModernVersion("x6.0"));
    EXPECT_TRUE(IsModernVersion("0x6.0"));
    EXPECT_TRUE(IsModernVersion("+6.0"));
    EXPECT_TRUE(IsModernVersion(" 6.0"));
    EXPECT_FALSE(IsModernVersion("-6.0"));
    EXPECT_FALSE(IsModernVersion("\t6.0"));
    EXPECT_FALSE(IsModernVersion("6 .0"));
    EXPECT_FALSE(IsModernVersion("$FFFFFFFF.0"));  // -1
    EXPECT_TRUE(IsModernVersion("$7FFFFFFF.0"));
    EXPECT_FALSE(IsModernVersion("2147483648.0"));  // out of range: no parse
    EXPECT_STREQ(ButtonIconsFor(true).icon, "2");
    EXPECT_STREQ(ButtonIconsFor(true).hotIcon, "3");
    EXPECT_STREQ(ButtonIconsFor(false).icon, "0");
    EXPECT_STREQ(ButtonIconsFor(false).hotIcon, "1");
}

TEST(Version, LongValues) {
    // 255 and 256 bytes: leading zeros before the major number, a long tail after the dot.
    std::string v255 = std::string(252, '0') + "7.0";
    ASSERT_EQ(v255.size(), 255u);
    EXPECT_TRUE(IsModernVersion(v255));
    std::string v256 = "6." + std::string(254, '9');
    ASSERT_EQ(v256.size(), 256u);
    EXPECT_TRUE(IsModernVersion(v256));
    EXPECT_FALSE(IsModernVersion(std::string(254, '0') + "5."));
}

TEST(Version, DecimalWithinSigned32Bits) {
    EXPECT_TRUE(Parses("6", 6));
    EXPECT_TRUE(Parses("+6", 6));
    EXPECT_TRUE(Parses("-6", -6));
    EXPECT_TRUE(Parses("   42", 42));
    EXPECT_TRUE(Parses("007", 7));
    EXPECT_TRUE(Parses("2147483647", 2147483647));
    EXPECT_TRUE(Parses("-2147483648", INT32_MIN));
    EXPECT_TRUE(Parses("-0", 0));
    EXPECT_TRUE(Parses("00000000000000000000002147483647", 2147483647));
    EXPECT_TRUE(Fails("2147483648"));
    EXPECT_TRUE(Fails("+2147483648"));
    EXPECT_TRUE(Fails("-2147483649"));
    EXPECT_TRUE(Fails("99999999999999999999999"));
    EXPECT_TRUE(Fails(""));
    EXPECT_TRUE(Fails("   "));
    EXPECT_TRUE(Fails("+"));
    EXPECT_TRUE(Fails("-"));
    EXPECT_TRUE(Fails("6 "));
    EXPECT_TRUE(Fails("\t6"));
    EXPECT_TRUE(Fails("+-6"));
    EXPECT_TRUE(Fails("- 6"));
    EXPECT_TRUE(Fails("6a"));
    EXPECT_TRUE(Fails(std::string("6\0", 2)));
}

TEST(Version, HexadecimalIsTwosComplement) {
    EXPECT_TRUE(Parses("$FFFFFFFF", -1));
    EXPECT_TRUE(Parses("$80000000", INT32_MIN));
    EXPECT_TRUE(Parses("$7fffffff", 2147483647));
    EXPECT_TRUE(Parses("x6", 6));
    EXPECT_TRUE(Parses("X1a", 26));
    EXPECT_TRUE(Parses("0x6", 6));
    EXPECT_TRUE(Parses("0XaBc", 0xABC));
    EXPECT_TRUE(Parses(" $10", 16));
    EXPECT_TRUE(Parses("$00000000000FFFFFFFE", -2));
    EXPECT_TRUE(Fails("$100000000"));
    EXPECT_TRUE(Fails("0x100000000"));
    EXPECT_TRUE(Fails("$"));
    EXPECT_TRUE(Fails("x"));
    EXPECT_TRUE(Fails("0x"));
    EXPECT_TRUE(Fails("-$1"));
    EXPECT_TRUE(Fails("+0x1"));
    EXPECT_TRUE(Fails("$g"));
    EXPECT_TRUE(Fails("$$1"));
    EXPECT_TRUE(Fails("0x0x1"));
    EXPECT_TRUE(Fails("$1 "));
}
