// Address analysis: host extraction, the dotted-quad test and the domain heuristic.
#include <gtest/gtest.h>

#include "address.h"

using namespace lv;

TEST(ExtractHost, CutsBetweenDoubleSlashAndNextSlash) {
    EXPECT_EQ(ExtractHost("http://www.example.com/path/x.html"), "www.example.com");
    EXPECT_EQ(ExtractHost("http://host:8080/"), "host:8080");
    EXPECT_EQ(ExtractHost("https://a.example.org?q=1"), "a.example.org?q=1");
    EXPECT_EQ(ExtractHost("http://www.example.com"), "www.example.com");
    EXPECT_EQ(ExtractHost("www.example.com/path"), "www.example.com/path");
    EXPECT_EQ(ExtractHost(""), "");
    EXPECT_EQ(ExtractHost("file:///C:/dir/page.htm"), "");
    EXPECT_EQ(ExtractHost("//"), "");
    EXPECT_EQ(ExtractHost("a//b//c/d"), "b");
}

TEST(ExtractHost, DropsUserInformation) {
    EXPECT_EQ(ExtractHost("http://user:pw@www.example.com/"), "www.example.com");
    EXPECT_EQ(ExtractHost("http://a@b@host:81/"), "host:81");
    EXPECT_EQ(ExtractHost("http://user@"), "");
    // An "@" after the start of a query or fragment is not user information.
    EXPECT_EQ(ExtractHost("https://a.example.org?mail=x@y.example"), "a.example.org?mail=x@y.example");
    EXPECT_EQ(ExtractHost("http://host#frag@x.example"), "host#frag@x.example");
    EXPECT_EQ(ExtractHost("http://u@host#frag@x"), "host#frag@x");
    EXPECT_EQ(ExtractHost("http://host#top"), "host#top");
    // Behind the first "/" nothing counts.
    EXPECT_EQ(ExtractHost("http://host/a@b"), "host");
}

TEST(IsIPAddress, OnlyFourPartDottedQuads) {
    EXPECT_TRUE(IsIPAddress("192.168.0.1"));
    EXPECT_TRUE(IsIPAddress(" 10.1.2.3 "));
    EXPECT_TRUE(IsIPAddress("\t1.2.3.4\r\n"));
    EXPECT_FALSE(IsIPAddress("0.1.2.3"));
    EXPECT_FALSE(IsIPAddress("010.1.2.3"));
    EXPECT_FALSE(IsIPAddress("1.2.3"));
    EXPECT_FALSE(IsIPAddress("1.2.3.4.5"));
    EXPECT_FALSE(IsIPAddress("1..2.3"));
    EXPECT_FALSE(IsIPAddress("255.255.255.255"));
    EXPECT_FALSE(IsIPAddress(""));
    EXPECT_FALSE(IsIPAddress("   "));
    EXPECT_FALSE(IsIPAddress("www.example.com"));
    EXPECT_FALSE(IsIPAddress("1.2.3.256"));
    EXPECT_FALSE(IsIPAddress("1.2.3.4 5"));
    EXPECT_FALSE(IsIPAddress("16909060"));  // one-part form: a number, but no quad
}

TEST(IsIPAddress, LaterPartsMayBeOctalOrHex) {
    EXPECT_TRUE(IsIPAddress("1.010.0x1f.4"));
    EXPECT_TRUE(IsIPAddress("10.0xFF.0377.0"));
    EXPECT_FALSE(IsIPAddress("1.09.2.3"));  // 9 is no octal digit
    EXPECT_FALSE(IsIPAddress("1.0x100.2.3"));
    EXPECT_FALSE(IsIPAddress("0x7f.0.0.1"));  // leading "0" at the very start
}

TEST(ReduceToDomain, LastTwoOrThreeLabels) {
    EXPECT_EQ(ReduceToDomain("www.example.com"), "example.com");
    EXPECT_EQ(ReduceToDomain("news.shop.co.example"), "shop.co.example");
    EXPECT_EQ(ReduceToDomain("a.b.com.example"), "b.com.example");
    EXPECT_EQ(ReduceToDomain("example.com"), "example.com");
    EXPECT_EQ(ReduceToDomain("localhost"), "localhost");
    EXPECT_EQ(ReduceToDomain("WWW.SHOP.CO.EXAMPLE"), "CO.EXAMPLE");
    EXPECT_EQ(ReduceToDomain("x.gov.y"), "x.gov.y");
    EXPECT_EQ(ReduceToDomain("..a.b.c.."), "b.c");
    EXPECT_EQ(ReduceToDomain(".example.com."), ".example.com.");  // two labels: unchanged
    EXPECT_EQ(ReduceToDomain(""), "");
    for (const char* label : {"co", "ac", "gov", "com", "net", "org", "edu"})
        EXPECT_EQ(ReduceToDomain(std::string("w.x.") + label + ".zz"), std::string("x.") + label + ".zz");
    EXPECT_EQ(ReduceToDomain("w.x.info.zz"), "info.zz");
    EXPECT_EQ(ReduceToDomain("w.x.cO.zz"), "cO.zz");
}
