// Delimited words against a naive split: counts, start positions and copies agree.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzzcheck.h"
#include "rxStrUtils.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    // First byte: how many of the following bytes make up the delimiter set (at most 8).
    const std::size_t setSize = data[0] % 9;
    if (size < 1 + setSize) return 0;
    lv::CharSet set;
    bool member[256] = {};
    for (std::size_t i = 0; i < setSize; ++i) {
        set.Add(data[1 + i]);
        member[data[1 + i]] = true;
    }
    const std::string s = fuzz::Bytes(data + 1 + setSize, size - 1 - setSize);

    std::vector<std::string> words;
    std::vector<int> starts;
    for (std::size_t i = 0; i < s.size();) {
        if (member[static_cast<unsigned char>(s[i])]) { ++i; continue; }
        std::size_t j = i;
        while (j < s.size() && !member[static_cast<unsigned char>(s[j])]) ++j;
        words.push_back(s.substr(i, j - i));
        starts.push_back(static_cast<int>(i) + 1);
        i = j;
    }
    const int count = static_cast<int>(words.size());
    FUZZ_CHECK(lv::CountWords(s, set) == count);
    // Every word of short texts; the first and last eight of long ones (each look-up is linear).
    for (int n = 1; n <= count; n = (count > 64 && n == 8) ? std::max(9, count - 8) : n + 1) {
        FUZZ_CHECK(lv::FindWordStart(n, s, set) == starts[n - 1]);
        FUZZ_CHECK(lv::GetWord(n, s, set) == words[n - 1]);
    }
    for (int n : {count + 1, 0, -1, INT32_MIN}) {
        FUZZ_CHECK(lv::FindWordStart(n, s, set) == 0);
        FUZZ_CHECK(lv::GetWord(n, s, set).empty());
    }
    for (int b = 0; b < 256; ++b) FUZZ_CHECK(set.Has(static_cast<unsigned char>(b)) == member[b]);
    return 0;
}
