// Address analysis: host extraction, the dotted-quad test and the domain heuristic.
#include <gtest/gtest.h>

#include "address.h"

using namespace lv;

namespace {

struct Case {
    const char* in;
    const char* out;
};

void ExpectAll(std::string (*f)(const std::string&), std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(f(c.in), c.out) << "input \"" << c.in << "\"";
}

}  // namespace

TEST(ExtractHost, CutsBetweenDoubleSlashAndNextSlash) {
    ExpectAll(ExtractHost, {
        {"http://www.example.com/path/x.html", "www.example.com"},
        {"http://host:8080/", "host:8080"},
        {"https://a.example.org?q=1", "a.example.org?q=1"},
        {"http://www.example.com", "www.example.com"},
        {"www.example.com/path", "www.example.com/path"},
        {"", ""},
        {"file:///C:/dir/page.htm", ""},
        {"//", ""},
        {"a//b//c/d", "b"},
    });
}

TEST(ExtractHost, DropsUserInformation) {
    ExpectAll(ExtractHost, {
        {"http://user:pw@www.example.com/", "www.example.com"},
        {"http://a@b@host:81/", "host:81"},
        {"http://user@", ""},
        // An "@" after the start of a query or fragment is not user information.
        {"https://a.example.org?mail=x@y.example", "a.example.org?mail=x@y.example"},
        {"http://host#frag@x.example", "host#frag@x.example"},
        {"http://u@host#frag@x", "host#frag@x"},
        {"http://host#top", "host#top"},
        // Behind the first "/" nothing counts.
        {"http://host/a@b", "host"},
    });
}

// The dotted-quad cases are in tests/cases/ip_cases.h, run on both platforms.

TEST(ReduceToDomain, LastTwoOrThreeLabels) {
    ExpectAll(ReduceToDomain, {
        {"www.example.com", "example.com"},
        {"news.shop.co.example", "shop.co.example"},
        {"a.b.com.example", "b.com.example"},
        {"example.com", "example.com"},
        {"localhost", "localhost"},
        {"WWW.SHOP.CO.EXAMPLE", "CO.EXAMPLE"},
        {"x.gov.y", "x.gov.y"},
        {"..a.b.c..", "b.c"},
        {".example.com.", ".example.com."},  // two labels: unchanged
        {"", ""},
        {"w.x.co.zz", "x.co.zz"},
        {"w.x.ac.zz", "x.ac.zz"},
        {"w.x.gov.zz", "x.gov.zz"},
        {"w.x.com.zz", "x.com.zz"},
        {"w.x.net.zz", "x.net.zz"},
        {"w.x.org.zz", "x.org.zz"},
        {"w.x.edu.zz", "x.edu.zz"},
        {"w.x.info.zz", "info.zz"},
        {"w.x.cO.zz", "cO.zz"},
    });
}
