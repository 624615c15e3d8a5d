// The dotted-quad test: what it accepts has the shape of a four-part address, and every plain
// decimal quad (not starting with 0, not the broadcast value) is accepted, blanks around or not.
#include <arpa/inet.h>

#include <cstdint>
#include <string>

#include "address.h"
#include "common.h"
#include "fuzzcheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Bytes(data, size);
    if (lv::IsIPAddress(text)) {
        const std::string t = lv::StripBlanks(text);
        FUZZ_CHECK(!t.empty() && t[0] != '0');
        FUZZ_CHECK(t.find("..") == std::string::npos);
        FUZZ_CHECK(t.find(' ') == std::string::npos);
        std::size_t dots = 0;
        for (char c : t) dots += c == '.';
        FUZZ_CHECK(dots == 3);
        FUZZ_CHECK(inet_addr(t.c_str()) != INADDR_NONE);
        // The four parts are numbers: digits, or hex digits after "0x".
        const std::string head = t.substr(0, t.find_first_of(std::string(" \t\n\v\f\r\0", 7)));
        FUZZ_CHECK(head.find_first_not_of("0123456789abcdefABCDEFxX.") == std::string::npos);
        FUZZ_CHECK(head.front() >= '1' && head.front() <= '9');
    }

    // The first four bytes as a decimal quad, with the rest as surrounding blanks.
    if (size >= 4) {
        const unsigned a = data[0], b = data[1], c = data[2], d = data[3];
        std::string quad = std::to_string(a) + "." + std::to_string(b) + "." + std::to_string(c) + "." +
                           std::to_string(d);
        const bool valid = a != 0 && !(a == 255 && b == 255 && c == 255 && d == 255);
        std::string padded;
        for (std::size_t i = 4; i < size && i < 8; ++i) padded += static_cast<char>(data[i] % 33);
        padded += quad;
        for (std::size_t i = 8; i < size && i < 12; ++i) padded += static_cast<char>(data[i] % 33);
        FUZZ_CHECK(lv::IsIPAddress(quad) == valid);
        FUZZ_CHECK(lv::IsIPAddress(padded) == valid);
    }
    return 0;
}
