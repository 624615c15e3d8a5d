// Shared byte-string helpers; no platform headers here so they build and test anywhere.
#include "common.h"

namespace lv {

bool NoLeadBytes(unsigned char) { return false; }

std::size_t Pos(const std::string& needle, const std::string& s) {
    if (needle.empty()) return 0;
    std::size_t at = s.find(needle);
    return at == std::string::npos ? 0 : at + 1;
}

static bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string StripBlanks(const std::string& s) {
    std::size_t first = 0, last = s.size();
    while (first < last && IsBlank(s[first])) ++first;
    while (last > first && IsBlank(s[last - 1])) --last;
    return s.substr(first, last - first);
}

bool SameTextAscii(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x >= 'a' && x <= 'z') x -= 32;
        if (y >= 'a' && y <= 'z') y -= 32;
        if (x != y) return false;
    }
    return true;
}

std::string DirectoryPart(const std::string& path, LeadByteRule isLead) {
    std::size_t end = 0;  // bytes to keep
    for (std::size_t i = 0; i < path.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(path[i]);
        if (isLead(c) && i + 1 < path.size()) {
            ++i;  // the trail byte may look like '\' but belongs to the character
            continue;
        }
        if (c == '\\' || c == ':') end = i + 1;
    }
    return path.substr(0, end);
}

std::wstring DirectoryPart(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L"\\:");
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

}  // namespace lv
