// StripBlanks and DirectoryPart: results are cut from the input at the right places,
// with and without a double-byte rule.
#include <cstdint>

#include "common.h"
#include "fuzzcheck.h"

namespace {
bool Blank(char c) { return static_cast<unsigned char>(c) <= 32; }
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const bool dbcs = data[0] & 1;
    const std::string s = fuzz::Bytes(data + 1, size - 1);

    // StripBlanks: input = blanks + result + blanks, result neither starts nor ends with one.
    const std::string t = lv::StripBlanks(s);
    const std::size_t at = s.find(t);
    FUZZ_CHECK(at != std::string::npos);
    if (!t.empty()) FUZZ_CHECK(!Blank(t.front()) && !Blank(t.back()));
    for (std::size_t i = 0; i < s.size(); ++i)
        if (t.empty() || i < at || i >= at + t.size()) FUZZ_CHECK(Blank(s[i]));
    FUZZ_CHECK(lv::StripBlanks(t) == t);

    // DirectoryPart: a prefix ending at a separator that starts a character; no such separator later.
    const std::string dir = lv::DirectoryPart(s, dbcs ? fuzz::SjisLead : lv::NoLeadBytes);
    FUZZ_CHECK(s.compare(0, dir.size(), dir) == 0);
    std::size_t lastSep = 0;
    bool boundaryAtDirEnd = dir.empty();
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (i == dir.size()) boundaryAtDirEnd = true;
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (dbcs && fuzz::SjisLead(c) && i + 1 < s.size()) { ++i; continue; }
        if (c == '\\' || c == ':') lastSep = i + 1;
    }
    if (dir.size() == s.size()) boundaryAtDirEnd = true;
    FUZZ_CHECK(boundaryAtDirEnd);
    FUZZ_CHECK(dir.size() == lastSep);
    if (!dir.empty()) FUZZ_CHECK(dir.back() == '\\' || dir.back() == ':');
    return 0;
}
