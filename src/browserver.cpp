// Version parse for the toolbar icon choice.
#include "browserver.h"

namespace lv {

namespace {
int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
}  // namespace

bool ParseInt32(const std::string& text, std::int32_t& value) {
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    std::size_t hexStart = 0;
    if (i < text.size() && (text[i] == '$' || text[i] == 'x' || text[i] == 'X'))
        hexStart = i + 1;
    else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X'))
        hexStart = i + 2;

    if (hexStart != 0) {
        if (hexStart >= text.size()) return false;
        std::uint64_t v = 0;
        for (std::size_t j = hexStart; j < text.size(); ++j) {
            int d = HexDigit(text[j]);
            if (d < 0) return false;
            v = v * 16 + static_cast<unsigned>(d);
            if (v > 0xFFFFFFFFull) return false;
        }
        value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
        return true;
    }

    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i >= text.size()) return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL) return false;
    }
    if (negative) v = -v;
    if (v > 2147483647LL) return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

bool IsModernVersion(const std::string& version) {
    std::size_t dot = version.find('.');
    if (dot == std::string::npos || dot == 0) return false;
    std::int32_t major = 0;
    return ParseInt32(version.substr(0, dot), major) && major >= 6;
}

ButtonIcons ButtonIconsFor(bool modern) {
    return modern ? ButtonIcons{"2", "3"} : ButtonIcons{"0", "1"};
}

}  // namespace lv
