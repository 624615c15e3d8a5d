// The browsers' native messaging protocol, as far as a host that answers one request needs it:
// recognising the browser's start, reading the one message, and the replies. Each message is a
// 4-byte length in native byte order followed by that many bytes of UTF-8 JSON.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace lv {

// How a browser starts its host: Chrome and Edge pass the caller's origin and, on Windows, the
// window it came from; Firefox passes the path of the host manifest and the extension's id.
struct HostStart {
    bool isHost = false;
    std::int64_t parentWindow = 0;  // 0: none given, or a background caller
};
HostStart RecogniseHostStart(const std::vector<std::string>& args);

// The most a request may hold; nothing this host is asked needs more.
constexpr std::uint32_t kMaxRequestBytes = 64 * 1024;

// Reads up to size bytes into buffer; the count read, 0 at the end of the input or on an error.
using ReadBytes = std::size_t (*)(void* context, char* buffer, std::size_t size);

enum class RequestStatus {
    Ok,       // url holds the page's address, or text the selected text (isText), as UTF-8
    NoInput,  // the input ended before its first byte: nothing to answer
    Bad,      // code and error say why, for the reply
};
// An error reply's "code": a JSON object with neither "url" nor "text" is a kind of request this
// version does not serve (a later extension's), so that extension can tell the user to update
// lviehlp; anything else wrong is a broken message.
enum class ErrorCode { BadMessage, Unsupported };
struct Request {
    RequestStatus status = RequestStatus::NoInput;
    std::string url;
    std::string text;
    bool isText = false;
    ErrorCode code = ErrorCode::BadMessage;
    std::string error;  // a short English reason
};
// Reads exactly one message and takes its "url" or its "text" string member.
Request ReadRequest(ReadBytes read, void* context);

// The "url" or the "text" member of a message body (never both), or the reason it has neither.
Request ParseRequest(const std::string& body);

// True for the addresses that name a host: http, https and ftp.
bool IsWebAddress(const std::string& url);

// The replies, as JSON text (UTF-8), and one framed for the output. Each names this program's
// version ("version", its FileVersion), so an extension knows which lviehlp answered.
std::string QueriedReply(bool asDomain, const std::string& query);
std::string CancelledReply();
std::string NotRunReply();
std::string ErrorReply(ErrorCode code, const std::string& message);
std::string Frame(const std::string& json);

}  // namespace lv
