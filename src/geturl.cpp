// Browser URL capture (built in a later step).
#include "geturl.h"

namespace lv {

std::string GetBrowserURL() { return std::string(); }

}  // namespace lv
