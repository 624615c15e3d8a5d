// Domain reduction: with three or more labels the result is the input's last two or three
// labels joined by single dots (three exactly when the second-level label is in the expected list).
#include <cstdint>
#include <vector>

#include "../cases/expected.h"
#include "address.h"
#include "fuzzcheck.h"

namespace {
std::vector<std::string> Labels(const std::string& s) {
    std::vector<std::string> out;
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t dot = s.find('.', i);
        if (dot == std::string::npos) dot = s.size();
        if (dot > i) out.push_back(s.substr(i, dot - i));
        i = dot + 1;
    }
    return out;
}
bool Listed(const std::string& label) {
    for (const char* l : expected::kThreeLabelSecondLevels)
        if (label == l) return true;
    return false;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string host = fuzz::Bytes(data, size);
    const std::string domain = lv::ReduceToDomain(host);
    const std::vector<std::string> in = Labels(host);
    if (in.size() < 3) {
        FUZZ_CHECK(domain == host);
        return 0;
    }
    const std::vector<std::string> out = Labels(domain);
    const std::size_t keep = Listed(in[in.size() - 2]) ? 3 : 2;
    FUZZ_CHECK(out.size() == keep);
    std::string joined;
    for (std::size_t k = 0; k < keep; ++k) {
        FUZZ_CHECK(out[k] == in[in.size() - keep + k]);
        joined += (k ? "." : "") + out[k];
    }
    FUZZ_CHECK(domain == joined);
    FUZZ_CHECK(domain.size() <= host.size());
    // The result is a fixed point.
    FUZZ_CHECK(lv::ReduceToDomain(domain) == domain);
    return 0;
}
