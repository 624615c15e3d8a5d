// The native messaging host's protocol: how a browser's start is told apart, the one request and
// its bounds, and the replies as the browser reads them.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "nativemsg.h"
#include "selection.h"

using namespace lv;

namespace {

struct Input {
    std::string bytes;
    std::size_t at = 0;
    std::size_t chunk;  // the most one read returns, as a pipe may hand over less than asked
};

std::size_t ReadInput(void* context, char* buffer, std::size_t size) {
    Input& in = *static_cast<Input*>(context);
    const std::size_t n = std::min({size, in.chunk, in.bytes.size() - in.at});
    std::memcpy(buffer, in.bytes.data() + in.at, n);
    in.at += n;
    return n;
}

Request Read(const std::string& bytes, std::size_t chunk = 4096) {
    Input in{bytes, 0, chunk};
    return ReadRequest(ReadInput, &in);
}

std::string Length(std::uint32_t n) { return std::string(reinterpret_cast<const char*>(&n), 4); }
std::string Message(const std::string& body) { return Length(static_cast<std::uint32_t>(body.size())) + body; }

}  // namespace

TEST(NativeMessaging, HostStartsAreToldFromOtherCommandLines) {
    using Args = std::vector<std::string>;
    const struct {
        Args args;
        bool isHost;
        std::int64_t parent;
    } cases[] = {
        {{"chrome-extension://abcdefghijklmnopabcdefghijklmnop/"}, true, 0},
        {{"chrome-extension://abcdefghijklmnopabcdefghijklmnop/", "--parent-window=459018"}, true, 459018},
        {{"chrome-extension://x/", "--parent-window=0"}, true, 0},
        {{"chrome-extension://x/", "--parent-window=12a"}, true, 0},
        {{"chrome-extension://x/", "--parent-window=-5"}, true, 0},
        {{"C:\\Program Files\\Lorvane\\lviehlp-firefox.json", "lviehlp@lorvane.com"}, true, 0},
        {{"C:\\x\\HOST.JSON", "id"}, true, 0},
        {{"C:\\x\\host.json"}, false, 0},  // Firefox always names the extension
        {{"C:\\x\\host.jsonx", "id"}, false, 0},
        {{"install"}, false, 0},
        {{"Chrome-Extension://x/"}, false, 0},
        {{}, false, 0},
    };
    for (const auto& c : cases) {
        const HostStart start = RecogniseHostStart(c.args);
        EXPECT_EQ(start.isHost, c.isHost) << (c.args.empty() ? "" : c.args[0]);
        EXPECT_EQ(start.parentWindow, c.parent) << (c.args.empty() ? "" : c.args[0]);
    }
}

TEST(NativeMessaging, OneRequestIsReadWhateverTheChunks) {
    const std::string body = R"({"url":"http://www.shop.co.example/index.html","extra":[1,2]})";
    for (std::size_t chunk : {1u, 3u, 4096u}) {
        const Request r = Read(Message(body) + "trailing bytes", chunk);
        EXPECT_EQ(r.status, RequestStatus::Ok);
        EXPECT_EQ(r.url, "http://www.shop.co.example/index.html");
    }
    EXPECT_EQ(Read(Message(R"({"url":"a\u00e9"})")).url, "a\xc3\xa9");
    EXPECT_EQ(Read(Message(R"({"text":" (a\u00e9).\n"})")).text, " (a\xc3\xa9).\n");  // as selected, unaltered
    EXPECT_EQ(Read("").status, RequestStatus::NoInput);
}

TEST(NativeMessaging, MalformedRequestsGetAReason) {
    const std::string big(64 * 1024 + 1, ' ');
    const struct {
        std::string bytes;
        const char* reason;
        ErrorCode code = ErrorCode::BadMessage;
    } cases[] = {
        {Length(0), "the message is empty"},
        {Length(64 * 1024 + 1) + big, "the message is too long"},
        {"\x05\x00", "the message was cut short"},
        {Length(20) + R"({"url":"x"})", "the message was cut short"},
        {Message("{\"url\":\"x"), "the message is not JSON"},
        {Message("{\"url\":\xff}"), "the message is not JSON"},
        {Message(R"(["url","x"])"), "the message is not a JSON object"},
        {Message(R"({"url":1})"), "the message has no \"url\" or \"text\" string"},
        {Message(R"({"URL":"x"})"), "the message has no \"url\" or \"text\" string", ErrorCode::Unsupported},
        {Message(R"({"text":null})"), "the message has no \"url\" or \"text\" string"},
        {Message(R"({"url":"http://a/","text":"a"})"), "the message has both \"url\" and \"text\""},
    };
    for (const auto& c : cases) {
        const Request r = Read(c.bytes);
        EXPECT_EQ(r.status, RequestStatus::Bad) << c.reason;
        EXPECT_EQ(r.error, c.reason);
        EXPECT_EQ(r.code, c.code) << c.reason;
    }
    // At the bound exactly, the text is read and judged.
    const std::string atBound = R"({"url":")" + std::string(64 * 1024 - 10, 'a') + R"("})";
    EXPECT_EQ(Read(Message(atBound)).status, RequestStatus::Ok);
}

TEST(NativeMessaging, OnlyWebAddressesNameAHost) {
    for (const char* url : {"http://a/", "https://a/", "ftp://a/", "HTTPS://a/"}) EXPECT_TRUE(IsWebAddress(url)) << url;
    for (const char* url : {"about:blank", "file:///C:/x.html", "data:text/plain,http://a/", "chrome://settings/",
                            "moz-extension://id/page.html", "www.example.com", "httpx://a/", ""})
        EXPECT_FALSE(IsWebAddress(url)) << url;
}

TEST(NativeMessaging, ASelectionIsQueriedByTheAddressItsFirstWordNames) {
    const std::string paragraph = "ns1.example.net answers for the zone.\nIts " + std::string(70000, 'x');
    const struct {
        std::string text;
        std::string query;
    } cases[] = {
        {"https://user:pw@www.example.com:8443/a?b", "www.example.com:8443"},
        {"a@b@mail.example.org,", "mail.example.org"},
        {"MAILTO:hostmaster@example.org?cc=abuse@example.net", "example.org"},
        {"(192.0.2.7).", "192.0.2.7"},
        {"fe80::", "fe80::"},
        {"(2001:db8::).", "2001:db8::"},
        {"https://www.example.com?ref=x", "www.example.com"},
        {"www.example.com/about", "www.example.com"},
        {"example.org#top", "example.org"},
        {"\xe2\x80\x8e" "example.com\xe2\x80\x8e", "example.com"},
        {"\xef\xbb\xbf\xe2\x80\x8b\xe2\x81\xa7" "example.com\xe2\x80\xa9x", "example.com"},
        {"\xe2\x80\xae" "example.com\xc2\x85x", "example.com"},
        {"\xef\xbc\x88" "example.com\xef\xbc\x89", "example.com"},
        {"example.com\xe3\x80\x82", "example.com"},
        {"example.com\xe2\x80\xa6", "example.com"},
        {"example.com\xe2\x80\xa8second.example", "example.com"},
        {"\"www.example.com\",", "www.example.com"},
        {"\xe2\x80\x9c" "example.com\xe2\x80\x9d;", "example.com"},
        {"<http://[2001:db8::1]>", "[2001:db8::1]"},
        {"\xc2\xab\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80.\xd1\x80\xd1\x84\xc2\xbb",
         "\xd0\xbf\xd1\x80\xd0\xb8\xd0\xbc\xd0\xb5\xd1\x80.\xd1\x80\xd1\x84"},
        {"\xc2\xa0 example.org\xc2\xa0is", "example.org"},
        {paragraph, "ns1.example.net"},
        {" \t\r\n ", ""},
        {std::string(40000, 'a') + " b", std::string(32767, 'a')},
        {std::string(32766, 'a') + "\xc3\xa9\xc3\xa9", std::string(32766, 'a') + "\xc3\xa9"},
    };
    for (const auto& c : cases) EXPECT_EQ(SelectionQuery(c.text), c.query) << c.text.substr(0, 40);
}

TEST(NativeMessaging, RepliesAsTheBrowserReadsThem) {
    EXPECT_EQ(QueriedReply(true, "shop.co.example"),
              R"({"result":"queried","as":"domain","query":"shop.co.example","version":"1.0.0.4"})");
    EXPECT_EQ(QueriedReply(false, "a\"b\\"), R"({"result":"queried","as":"host","query":"a\"b\\","version":"1.0.0.4"})");
    EXPECT_EQ(CancelledReply(), R"({"result":"cancelled","version":"1.0.0.4"})");
    EXPECT_EQ(NotRunReply(), R"({"result":"not-run","version":"1.0.0.4"})");
    EXPECT_EQ(ErrorReply(ErrorCode::BadMessage, "the message is empty"),
              R"({"result":"error","message":"the message is empty","code":"bad-message","version":"1.0.0.4"})");
    EXPECT_EQ(ErrorReply(ErrorCode::Unsupported, "x"), R"({"result":"error","message":"x","code":"unsupported","version":"1.0.0.4"})");
    EXPECT_EQ(QueriedReply(false, "\xff"),
              "{\"result\":\"queried\",\"as\":\"host\",\"query\":\"\xef\xbf\xbd\",\"version\":\"1.0.0.4\"}");
    EXPECT_EQ(Frame("{}"), std::string("\x02\x00\x00\x00{}", 6));
}
