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

// The dotted-quad cases are in tests/cases/ip_cases.h, run on both platforms.

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
    EXPECT_EQ(ReduceToDomain("w.x.co.zz"), "x.co.zz");
    EXPECT_EQ(ReduceToDomain("w.x.ac.zz"), "x.ac.zz");
    EXPECT_EQ(ReduceToDomain("w.x.gov.zz"), "x.gov.zz");
    EXPECT_EQ(ReduceToDomain("w.x.com.zz"), "x.com.zz");
    EXPECT_EQ(ReduceToDomain("w.x.net.zz"), "x.net.zz");
    EXPECT_EQ(ReduceToDomain("w.x.org.zz"), "x.org.zz");
    EXPECT_EQ(ReduceToDomain("w.x.edu.zz"), "x.edu.zz");
    EXPECT_EQ(ReduceToDomain("w.x.info.zz"), "info.zz");
    EXPECT_EQ(ReduceToDomain("w.x.cO.zz"), "cO.zz");
}
