// What a text selected on a web page names, for the query dialog: a host, a domain, an IP address.
#pragma once
#include <cstddef>
#include <string>

namespace lv {

// The most characters the dialog's edit takes from a user: a single-line edit's default limit.
constexpr std::size_t kEditHoldsChars = 32767;

// The query a selection names (UTF-8 in and out): its first word (invisible marks and Unicode line
// ends are blanks too), without the quotes, brackets and trailing punctuation of prose, ASCII,
// full-width or CJK (an IPv6 address keeps its "::"); the host of a web address, cut as for a page;
// the part after the last '@' before any '?' or '#' of an e-mail address (mailto: too); otherwise
// the word itself; each up to the first '/', '?' or '#'; at most kEditHoldsChars characters.
// Blanks only, or an odd word, give what these rules give.
std::string SelectionQuery(const std::string& text);

}  // namespace lv
