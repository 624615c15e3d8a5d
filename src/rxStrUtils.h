// Words of a byte string separated by runs of delimiter bytes (positions 1-based, 0 = none).
#pragma once
#include <cstdint>
#include <string>

namespace lv {

// A set over all 256 byte values, one bit each.
class CharSet {
public:
    CharSet() = default;
    explicit CharSet(const char* members) {
        for (; *members; ++members) Add(static_cast<unsigned char>(*members));
    }
    void Add(unsigned char b) { bits_[b >> 3] = static_cast<std::uint8_t>(bits_[b >> 3] | (1u << (b & 7))); }
    bool Has(unsigned char b) const { return (bits_[b >> 3] >> (b & 7)) & 1u; }

private:
    std::uint8_t bits_[32] = {};
};

int CountWords(const std::string& s, const CharSet& delims);
int FindWordStart(int n, const std::string& s, const CharSet& delims);
std::string GetWord(int n, const std::string& s, const CharSet& delims);

}  // namespace lv
