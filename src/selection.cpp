// The selection's query: one word out of prose, then the address rules a page's host follows.
#include "selection.h"

#include <cstring>

#include "address.h"
#include "common.h"
#include "nativemsg.h"

namespace lv {

namespace {

// Three-byte UTF-8 characters that count as blanks, by their first two bytes and the range of the
// third: what prose on the web brings along between words, invisible marks included.
struct BlankRun {
    const char* lead;
    unsigned char first, last;
};
const BlankRun kBlankRuns[] = {
    {"\xe2\x80", 0x80, 0x8b},  // U+2000-U+200B: en quad to hair space, zero-width space
    {"\xe2\x80", 0x8e, 0x8f},  // U+200E-U+200F: left-to-right and right-to-left marks
    {"\xe2\x80", 0xa8, 0xaf},  // U+2028-U+202F: line and paragraph separators, embeddings and
                               // overrides, narrow no-break space
    {"\xe2\x81", 0xa6, 0xa9},  // U+2066-U+2069: isolates
    {"\xe3\x80", 0x80, 0x80},  // U+3000: ideographic space
    {"\xef\xbb", 0xbf, 0xbf},  // U+FEFF: byte order mark, zero-width no-break space
};

// Blanks between words, as the length of the one at i (0: none): ASCII spaces and controls (line
// ends among them), next line and no-break space, and the runs above.
std::size_t BlankAt(const std::string& s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c <= ' ') return 1;
    if (s.compare(i, 2, "\xc2\x85") == 0 || s.compare(i, 2, "\xc2\xa0") == 0) return 2;
    if (i + 2 >= s.size()) return 0;
    const unsigned char third = static_cast<unsigned char>(s[i + 2]);
    for (const BlankRun& run : kBlankRuns)
        if (s.compare(i, 2, run.lead) == 0 && third >= run.first && third <= run.last) return 3;
    return 0;
}

std::string FirstWord(const std::string& s) {
    std::size_t i = 0, n;
    while (i < s.size() && (n = BlankAt(s, i)) != 0) i += n;
    std::size_t end = i;
    while (end < s.size() && BlankAt(s, end) == 0) ++end;
    return s.substr(i, end - i);
}

const char* const kQuotes[] = {"\"", "'", "`", "\xe2\x80\x9c", "\xe2\x80\x9d", "\xe2\x80\x98", "\xe2\x80\x99",
                               "\xc2\xab", "\xc2\xbb", "\xe2\x80\x9e", "\xe2\x80\x9a", "\xe2\x80\xb9", "\xe2\x80\xba"};
// Opening and closing brackets: ASCII, full-width (U+FF08, U+FF3B, U+FF5B) and CJK (U+3008 to
// U+3011: angle, double angle, corner, white corner and lenticular brackets).
const char* const kBrackets[][2] = {
    {"(", ")"}, {"[", "]"}, {"{", "}"}, {"<", ">"},
    {"\xef\xbc\x88", "\xef\xbc\x89"}, {"\xef\xbc\xbb", "\xef\xbc\xbd"}, {"\xef\xbd\x9b", "\xef\xbd\x9d"},
    {"\xe3\x80\x88", "\xe3\x80\x89"}, {"\xe3\x80\x8a", "\xe3\x80\x8b"}, {"\xe3\x80\x8c", "\xe3\x80\x8d"},
    {"\xe3\x80\x8e", "\xe3\x80\x8f"}, {"\xe3\x80\x90", "\xe3\x80\x91"},
};
// Punctuation that ends a word in prose: ASCII, then the ideographic full stop, the full-width
// comma, colon, semicolon and full stop, and the ellipsis. A colon is handled on its own.
const char* const kTrailing[] = {".", ",", ";", "\xe3\x80\x82", "\xef\xbc\x8c", "\xef\xbc\x9a", "\xef\xbc\x9b",
                                 "\xef\xbc\x8e", "\xe2\x80\xa6"};

bool StartsWith(const std::string& w, const char* p) { return w.compare(0, std::strlen(p), p) == 0; }
bool EndsWith(const std::string& w, const char* p) {
    const std::size_t n = std::strlen(p);
    return w.size() >= n && w.compare(w.size() - n, n, p) == 0;
}

bool StripQuote(std::string& w, bool atEnd) {
    for (const char* q : kQuotes) {
        if (!(atEnd ? EndsWith(w, q) : StartsWith(w, q))) continue;
        w.erase(atEnd ? w.size() - std::strlen(q) : 0, std::strlen(q));
        return true;
    }
    return false;
}

// What a word's end loses in prose: a trailing punctuation mark, a closing bracket whose opening
// one is not in the word ("http://[::1]" and "Example_(band)" keep theirs), or a single colon (an
// IPv6 address's "::" at the end stays). Its length; 0 when the end is the word's own.
std::size_t ProseAtEnd(const std::string& w) {
    for (const char* p : kTrailing)
        if (EndsWith(w, p)) return std::strlen(p);
    for (const auto& pair : kBrackets)
        if (EndsWith(w, pair[1]) && w.find(pair[0]) == std::string::npos) return std::strlen(pair[1]);
    if (w.back() == ':' && (w.size() < 2 || w[w.size() - 2] != ':')) return 1;
    return 0;
}

// Takes off what surrounds a word in prose, outside in.
std::string StripProse(std::string w) {
    for (bool again = true; again && !w.empty();) {
        again = StripQuote(w, false) || StripQuote(w, true);
        if (again || w.empty()) continue;
        for (const auto& pair : kBrackets) {
            if (!StartsWith(w, pair[0])) continue;
            w.erase(0, std::strlen(pair[0]));
            again = true;
            break;
        }
        if (again) continue;
        const std::size_t n = ProseAtEnd(w);
        w.resize(w.size() - n);
        again = n != 0;
    }
    return w;
}

// At most max characters, never half of one.
std::string CutToChars(const std::string& s, std::size_t max) {
    std::size_t chars = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xc0) != 0x80 && chars++ == max) return s.substr(0, i);
    }
    return s;
}

// The text before the first of the given characters.
std::string Before(const std::string& s, const char* stops) { return s.substr(0, s.find_first_of(stops)); }

}  // namespace

std::string SelectionQuery(const std::string& text) {
    std::string word = StripProse(FirstWord(text));
    if (IsWebAddress(word)) {
        word = ExtractHost(word);
    } else {
        if (word.size() >= 7 && SameTextAscii(word.substr(0, 7), "mailto:")) word.erase(0, 7);
        // A mail link's headers or fragment begin at the first '?' or '#', and may hold addresses
        // of their own: the domain is the part after the last '@' before them.
        word = Before(word, "?#");
        const std::size_t at = word.rfind('@');
        if (at != std::string::npos) word.erase(0, at + 1);
    }
    // With or without a scheme, a host ends where a path, query or fragment begins.
    return CutToChars(Before(word, "/?#"), kEditHoldsChars);
}

}  // namespace lv
