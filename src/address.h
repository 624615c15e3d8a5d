// Address analysis: host out of a URL, the dotted-quad test and the domain heuristic.
// Byte strings throughout; only IsIPAddress touches the platform (the classic inet_addr).
#pragma once
#include <string>

namespace lv {

// Everything between the first "//" and the next "/", user information dropped;
// text without "//" comes back unchanged.
std::string ExtractHost(const std::string& url);

// True only for a dotted quad with exactly four parts, no leading "0" and not 255.255.255.255.
bool IsIPAddress(const std::string& text);

// The last two labels, or the last three when the second-level label is one of
// co, ac, gov, com, net, org, edu. Fewer than three labels come back unchanged.
std::string ReduceToDomain(const std::string& host);

}  // namespace lv
