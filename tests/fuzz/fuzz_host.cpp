// Host extraction: the result is cut out of the input, stops at the first "/" and carries no
// user information; text without "//" is returned as it came.
#include <cstdint>

#include "address.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string url = fuzz::Bytes(data, size);
    const std::string host = lv::ExtractHost(url);
    const std::size_t slashes = url.find("//");
    if (slashes == std::string::npos) {
        FUZZ_CHECK(host == url);
        return 0;
    }
    const std::string after = url.substr(slashes + 2);
    const std::string authority = after.substr(0, after.find('/'));
    // A tail of the text between the first "//" and the next "/".
    FUZZ_CHECK(host.size() <= authority.size());
    FUZZ_CHECK(authority.compare(authority.size() - host.size(), host.size(), host) == 0);
    FUZZ_CHECK(host.find('/') == std::string::npos);
    // Whatever was dropped ends in "@" and comes before any query or fragment.
    if (host.size() < authority.size()) {
        const std::string dropped = authority.substr(0, authority.size() - host.size());
        FUZZ_CHECK(dropped.back() == '@');
        FUZZ_CHECK(dropped.find_first_of("?#") == std::string::npos);
    }
    FUZZ_CHECK(host.substr(0, host.find_first_of("?#")).find('@') == std::string::npos);
    // Nothing is left to cut a second time.
    FUZZ_CHECK(lv::ExtractHost(host) == host);
    return 0;
}
