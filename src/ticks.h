// Elapsed time on the system's 32-bit millisecond tick counter, which wraps about every 49.7 days.
#pragma once
#include <cstdint>

namespace lv {

// Milliseconds from start to now, correct across one wrap of the counter.
std::uint32_t TicksSince(std::uint32_t start, std::uint32_t now);

// True once more than limitMs have passed since start.
bool TicksExceeded(std::uint32_t start, std::uint32_t now, std::uint32_t limitMs);

}  // namespace lv
