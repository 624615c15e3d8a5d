// Address analysis shared by the URL capture and the query dialog.
#include "address.h"

#include "common.h"
#include "rxStrUtils.h"

#ifdef _WIN32
// ws2_32's parser, declared here so this file stays free of the Windows headers.
extern "C" unsigned long __stdcall inet_addr(const char* cp);
#else
#include <arpa/inet.h>
#endif

namespace lv {

namespace {

// User information ends at the last '@' before any query or fragment; it never
// reaches the dialog or the main application.
std::string DropUserInfo(const std::string& host) {
    std::size_t authorityEnd = host.find_first_of("?#");
    std::size_t at = host.rfind('@', authorityEnd == std::string::npos ? std::string::npos : authorityEnd);
    if (at == std::string::npos || (authorityEnd != std::string::npos && at > authorityEnd)) return host;
    return host.substr(at + 1);
}

const char* const kSecondLevelLabels[] = {"co", "ac", "gov", "com", "net", "org", "edu"};

}  // namespace

std::string ExtractHost(const std::string& url) {
    std::size_t p = Pos("//", url);
    if (p == 0) return url;
    std::string rest = url.substr(p + 1);
    std::size_t slash = rest.find('/');
    if (slash != std::string::npos) rest.resize(slash);
    return DropUserInfo(rest);
}

bool IsIPAddress(const std::string& text) {
    const std::string t = StripBlanks(text);
    if (inet_addr(t.c_str()) == 0xFFFFFFFFul) return false;
    if (t.empty()) return false;
    if (t[0] == '0') return false;
    if (t.find(' ') != std::string::npos) return false;
    if (t.find("..") != std::string::npos) return false;
    int dots = 0;
    for (char c : t) dots += (c == '.');
    return dots == 3;
}

std::string ReduceToDomain(const std::string& host) {
    const CharSet dot(".");
    const int n = CountWords(host, dot);
    if (n < 3) return host;
    const std::string second = GetWord(n - 1, host, dot);
    std::string tail = second + "." + GetWord(n, host, dot);
    for (const char* label : kSecondLevelLabels) {
        if (second == label) return GetWord(n - 2, host, dot) + "." + tail;
    }
    return tail;
}

}  // namespace lv
