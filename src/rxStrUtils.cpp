// Delimited-word scanning used by the address analysis.
#include "rxStrUtils.h"

namespace lv {

namespace {
// Index helpers over 0-based storage; the public API speaks 1-based positions.
std::size_t SkipIn(const std::string& s, std::size_t i, const CharSet& d) {
    while (i < s.size() && d.Has(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}
std::size_t SkipOut(const std::string& s, std::size_t i, const CharSet& d) {
    while (i < s.size() && !d.Has(static_cast<unsigned char>(s[i]))) ++i;
    return i;
}
}  // namespace

int CountWords(const std::string& s, const CharSet& delims) {
    int count = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        i = SkipIn(s, i, delims);
        if (i < s.size()) ++count;
        i = SkipOut(s, i, delims);
    }
    return count;
}

int FindWordStart(int n, const std::string& s, const CharSet& delims) {
    if (n <= 0) return 0;
    int count = 0;
    std::size_t i = 0;
    while (i < s.size()) {
        i = SkipIn(s, i, delims);
        if (i < s.size() && ++count == n) return static_cast<int>(i) + 1;
        i = SkipOut(s, i, delims);
    }
    return 0;
}

std::string GetWord(int n, const std::string& s, const CharSet& delims) {
    int start = FindWordStart(n, s, delims);
    if (start == 0) return std::string();
    std::size_t from = static_cast<std::size_t>(start) - 1;
    return s.substr(from, SkipOut(s, from, delims) - from);
}

}  // namespace lv
