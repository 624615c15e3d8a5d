// Tick arithmetic for the start-up wait.
#include "ticks.h"

namespace lv {

// Unsigned subtraction is modulo 2^32, so a counter that wrapped still gives the true distance.
std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now) { return now - start; }

bool TicksExceeded(std::uint32_t start, std::uint32_t now, std::uint32_t limitMs) {
    return TicksSince(start, now) > limitMs;
}

}  // namespace lv
