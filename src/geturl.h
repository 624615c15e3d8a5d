// The host of the page shown in the foremost browser window.
#pragma once
#include <string>

namespace lv {

// Host of the foremost "IEFrame" window's URL, or "" on any failure.
std::string GetBrowserURL();

// The host of a URL as the dialog shows it: the ANSI code page's bytes, or the host name's ASCII
// form where the code page cannot hold it.
std::string HostOf(const std::wstring& url);

// A host (or any word) as the dialog shows it: the ANSI code page's bytes, or, where the code page
// cannot hold it, the name's ASCII form with a port or query after it kept; "" when neither works.
std::string ShownHost(const std::wstring& host);

}  // namespace lv
