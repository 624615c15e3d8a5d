// Native messaging: the host start, the one request and the replies. The JSON library parses
// without exceptions; its text output replaces invalid UTF-8 rather than throwing.
#include "nativemsg.h"

#include <nlohmann/json.hpp>

#include <cstring>

#include "common.h"
#include "version.h"

namespace lv {

namespace {

// One instantiation of the library for reading and writing; ordered, so that the replies keep
// their members in the order the protocol lists them.
using Json = nlohmann::ordered_json;

bool StartsWith(const std::string& s, const char* prefix) { return s.compare(0, std::strlen(prefix), prefix) == 0; }

bool EndsWithJson(const std::string& s) { return s.size() >= 5 && SameTextAscii(s.substr(s.size() - 5), ".json"); }

// "--parent-window=N" with N a decimal window handle; 0 for anything else.
std::int64_t ParentWindow(const std::string& arg) {
    const char prefix[] = "--parent-window=";
    if (!StartsWith(arg, prefix)) return 0;
    const std::string digits = arg.substr(sizeof prefix - 1);
    if (digits.empty() || digits.size() > 18) return 0;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return 0;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Reads exactly size bytes; false at an early end.
bool ReadExactly(ReadBytes read, void* context, char* buffer, std::size_t size, std::size_t& got) {
    got = 0;
    while (got < size) {
        const std::size_t n = read(context, buffer + got, size - got);
        if (n == 0) return false;
        got += n;
    }
    return true;
}

Request Bad(const char* reason, ErrorCode code = ErrorCode::BadMessage) {
    Request r;
    r.status = RequestStatus::Bad;
    r.code = code;
    r.error = reason;
    return r;
}

// A reply's text: its members, then the version that wrote it.
std::string Dump(Json j) {
    j["version"] = LV_VERSION_TEXT;
    return j.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

HostStart RecogniseHostStart(const std::vector<std::string>& args) {
    HostStart start;
    if (args.empty()) return start;
    if (StartsWith(args[0], "chrome-extension://")) {
        start.isHost = true;
        if (args.size() > 1) start.parentWindow = ParentWindow(args[1]);
    } else if (args.size() > 1 && EndsWithJson(args[0])) {
        start.isHost = true;
    }
    return start;
}

Request ReadRequest(ReadBytes read, void* context) {
    unsigned char length[4];
    std::size_t got;
    if (!ReadExactly(read, context, reinterpret_cast<char*>(length), sizeof length, got))
        return got == 0 ? Request() : Bad("the message was cut short");
    std::uint32_t size;
    std::memcpy(&size, length, sizeof size);  // native byte order, as the browser wrote it
    if (size == 0) return Bad("the message is empty");
    if (size > kMaxRequestBytes) return Bad("the message is too long");
    std::string body(size, '\0');
    if (!ReadExactly(read, context, &body[0], size, got)) return Bad("the message was cut short");
    return ParseRequest(body);
}

Request ParseRequest(const std::string& body) {
    const Json message = Json::parse(body, nullptr, false);
    if (message.is_discarded()) return Bad("the message is not JSON");
    if (!message.is_object()) return Bad("the message is not a JSON object");
    const auto url = message.find("url");
    const auto text = message.find("text");
    // A page and a selection at once is a request nobody sent: which of them to show is unknown.
    if (url != message.end() && text != message.end()) return Bad("the message has both \"url\" and \"text\"");
    const auto member = url != message.end() ? url : text;
    // Neither member: another kind of request, one a later version may serve.
    if (member == message.end() || !member->is_string())
        return Bad("the message has no \"url\" or \"text\" string",
                   member == message.end() ? ErrorCode::Unsupported : ErrorCode::BadMessage);
    Request r;
    r.status = RequestStatus::Ok;
    r.isText = member == text;
    (r.isText ? r.text : r.url) = member->get_ref<const std::string&>();
    return r;
}

bool IsWebAddress(const std::string& url) {
    const std::size_t colon = url.find(':');
    if (colon == std::string::npos) return false;
    const std::string scheme = url.substr(0, colon);
    return SameTextAscii(scheme, "http") || SameTextAscii(scheme, "https") || SameTextAscii(scheme, "ftp");
}

std::string QueriedReply(bool asDomain, const std::string& query) {
    return Dump(Json{{"result", "queried"}, {"as", asDomain ? "domain" : "host"}, {"query", query}});
}

std::string CancelledReply() { return Dump(Json{{"result", "cancelled"}}); }
std::string NotRunReply() { return Dump(Json{{"result", "not-run"}}); }
std::string ErrorReply(ErrorCode code, const std::string& message) {
    return Dump(Json{{"result", "error"},
                     {"message", message},
                     {"code", code == ErrorCode::Unsupported ? "unsupported" : "bad-message"}});
}

std::string Frame(const std::string& json) {
    const std::uint32_t size = static_cast<std::uint32_t>(json.size());
    std::string framed(sizeof size, '\0');
    std::memcpy(&framed[0], &size, sizeof size);
    return framed + json;
}

}  // namespace lv
