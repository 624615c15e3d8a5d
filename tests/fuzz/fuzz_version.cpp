// The signed 32-bit parse against a strtoll/strtoull reference with explicit form checks.
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "browserver.h"
#include "fuzzcheck.h"

namespace {

bool AllOf(const std::string& s, const char* allowed) {
    return !s.empty() && s.find_first_not_of(allowed) == std::string::npos;
}

bool Reference(const std::string& text, std::int32_t& value) {
    std::size_t i = text.find_first_not_of(' ');
    if (i == std::string::npos) return false;
    std::string rest = text.substr(i);
    std::string hex;
    if (rest.compare(0, 2, "0x") == 0 || rest.compare(0, 2, "0X") == 0) hex = rest.substr(2);
    else if (rest[0] == '$' || rest[0] == 'x' || rest[0] == 'X') hex = rest.substr(1);
    else {
        std::string digits = (rest[0] == '+' || rest[0] == '-') ? rest.substr(1) : rest;
        if (!AllOf(digits, "0123456789")) return false;
        errno = 0;
        long long v = std::strtoll(rest.c_str(), nullptr, 10);
        if (errno == ERANGE || v < INT32_MIN || v > INT32_MAX) return false;
        value = static_cast<std::int32_t>(v);
        return true;
    }
    if (!AllOf(hex, "0123456789abcdefABCDEF")) return false;
    errno = 0;
    unsigned long long v = std::strtoull(hex.c_str(), nullptr, 16);
    if (errno == ERANGE || v > 0xFFFFFFFFull) return false;
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text = fuzz::Bytes(data, size);
    std::int32_t got = 0, want = 0;
    const bool ok = lv::ParseInt32(text, got);
    FUZZ_CHECK(ok == Reference(text, want));
    if (ok) FUZZ_CHECK(got == want);

    // The icon choice reads only what stands before the first dot.
    const std::size_t dot = text.find('.');
    bool modern = false;
    if (dot != std::string::npos && dot > 0) {
        std::int32_t major = 0;
        modern = Reference(text.substr(0, dot), major) && major >= 6;
    }
    FUZZ_CHECK(lv::IsModernVersion(text) == modern);
    return 0;
}
