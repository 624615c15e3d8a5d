// The native messaging host's request reader on arbitrary input, handed over in uneven pieces:
// it never reads past the one message, answers every input, and what it accepts is what the
// message said; an error is "unsupported" only for an object of another kind; a selection's query
// is one word of the selection, of bounded length.
#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "fuzzcheck.h"
#include "nativemsg.h"
#include "selection.h"

namespace {

struct Input {
    const std::uint8_t* data;
    std::size_t size, at, chunk;
};

std::size_t ReadInput(void* context, char* buffer, std::size_t size) {
    Input& in = *static_cast<Input*>(context);
    const std::size_t n = std::min({size, in.chunk, in.size - in.at});
    std::memcpy(buffer, in.data + in.at, n);
    in.at += n;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // The first byte sets how much one read hands over; the rest is the input.
    Input in{data + 1, size - 1, 0, static_cast<std::size_t>(data[0] % 7) + 1};
    const lv::Request r = lv::ReadRequest(ReadInput, &in);

    std::uint32_t length = 0;
    if (in.size >= 4) std::memcpy(&length, in.data, 4);
    const bool lengthOk = length >= 1 && length <= lv::kMaxRequestBytes;
    const bool whole = lengthOk && in.size - 4 >= length;
    FUZZ_CHECK(in.at <= 4u + (lengthOk ? length : 0u));  // nothing past the one message
    FUZZ_CHECK((r.status == lv::RequestStatus::NoInput) == (in.size == 0));
    if (r.status == lv::RequestStatus::Ok) {
        FUZZ_CHECK(whole);
        const auto message = nlohmann::json::parse(in.data + 4, in.data + 4 + length, nullptr, false);
        FUZZ_CHECK(message.is_object() && message.contains("url") != message.contains("text"));
        FUZZ_CHECK(r.isText ? message["text"] == r.text && r.url.empty() : message["url"] == r.url && r.text.empty());
        const std::string& got = r.isText ? r.text : r.url;
        const auto reply = nlohmann::json::parse(lv::QueriedReply(true, got), nullptr, false);
        FUZZ_CHECK(reply.is_object() && reply["query"] == got);
    }
    if (r.isText) {
        const std::string query = lv::SelectionQuery(r.text);
        FUZZ_CHECK(r.text.find(query) != std::string::npos);
        std::size_t chars = 0;
        for (char c : query) {
            FUZZ_CHECK(static_cast<unsigned char>(c) > ' ');
            chars += (static_cast<unsigned char>(c) & 0xc0) != 0x80;
        }
        FUZZ_CHECK(chars <= lv::kEditHoldsChars);
    }
    if (r.status == lv::RequestStatus::Bad) {
        FUZZ_CHECK(!r.error.empty() && r.url.empty() && r.text.empty());
        FUZZ_CHECK(!nlohmann::json::parse(lv::ErrorReply(r.code, r.error), nullptr, false).is_discarded());
        // "unsupported" only for a whole JSON object that has neither member: another kind of request.
        const auto message = whole ? nlohmann::json::parse(in.data + 4, in.data + 4 + length, nullptr, false) : nullptr;
        FUZZ_CHECK((r.code == lv::ErrorCode::Unsupported) ==
                   (message.is_object() && !message.contains("url") && !message.contains("text")));
    }
    return 0;
}
