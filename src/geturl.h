// The host of the page shown in the foremost browser window.
#pragma once
#include <string>

namespace lv {

// Host of the foremost "IEFrame" window's URL, or "" on any failure.
std::string GetBrowserURL();

}  // namespace lv
