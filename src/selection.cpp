// The selection's query: one word out of prose, then the address rules a page's host follows.
#include "selection.h"

#include <cstring>

#include "address.h"
#include "common.h"
#include "nativemsg.h"

namespace lv {

namespace {

// Blanks between words: ASCII spaces and controls, and the spaces prose on the web brings along
// (no-break, en to hair, narrow no-break, ideographic), as their UTF-8 bytes.
std::size_t BlankAt(const std::string& s, std::size_t i) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (c <= ' ') return 1;
    const char* const wide[] = {"\xc2\xa0", "\xe2\x80\xaf", "\xe3\x80\x80"};
    for (const char* b : wide)
        if (s.compare(i, std::strlen(b), b) == 0) return std::strlen(b);
    // U+2000 to U+200A
    if (s.compare(i, 2, "\xe2\x80") == 0 && i + 2 < s.size() && static_cast<unsigned char>(s[i + 2]) <= 0x8a)
        return 3;
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
const char kOpeners[] = "([{<";
const char kClosers[] = ")]}>";

bool StripQuote(std::string& w, bool atEnd) {
    for (const char* q : kQuotes) {
        const std::size_t n = std::strlen(q);
        if (w.size() < n || w.compare(atEnd ? w.size() - n : 0, n, q) != 0) continue;
        w.erase(atEnd ? w.size() - n : 0, n);
        return true;
    }
    return false;
}

// Takes off what surrounds a word in prose, outside in. A closing bracket whose opening one is
// still in the word belongs to it ("http://[::1]", "Example_(band)") and stays.
std::string StripProse(std::string w) {
    for (bool again = true; again && !w.empty();) {
        again = StripQuote(w, false) || StripQuote(w, true);
        if (again || w.empty()) continue;
        if (std::strchr(kOpeners, w.front())) {
            w.erase(0, 1);
            again = true;
            continue;
        }
        const char last = w.back();
        const char* closer = std::strchr(kClosers, last);
        if (std::strchr(".,:;", last) || (closer && w.find(kOpeners[closer - kClosers]) == std::string::npos)) {
            w.pop_back();
            again = true;
        }
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

}  // namespace

std::string SelectionQuery(const std::string& text) {
    std::string word = StripProse(FirstWord(text));
    if (IsWebAddress(word)) {
        word = ExtractHost(word);
    } else {
        if (word.size() >= 7 && SameTextAscii(word.substr(0, 7), "mailto:")) word.erase(0, 7);
        const std::size_t at = word.rfind('@');
        // An address's domain ends where a mail link's headers or fragment begin.
        if (at != std::string::npos) word = word.substr(at + 1, word.find_first_of("?#", at) - at - 1);
    }
    return CutToChars(word, kEditHoldsChars);
}

}  // namespace lv
