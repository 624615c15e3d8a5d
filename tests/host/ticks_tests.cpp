// Elapsed ticks across the 32-bit wrap of the tick counter.
#include <gtest/gtest.h>

#include <cstdint>

#include "ticks.h"

using namespace lv;

TEST(Ticks, ElapsedIsTheUnsignedDistance) {
    EXPECT_EQ(TicksSince(1000, 1000), 0u);
    EXPECT_EQ(TicksSince(1000, 41000), 40000u);
    EXPECT_EQ(TicksSince(0xFFFFFF00u, 0x00000100u), 0x200u);  // wrapped in between
    EXPECT_EQ(TicksSince(0xFFFFFFFFu, 0u), 1u);
    EXPECT_EQ(TicksSince(0u, 0xFFFFFFFFu), 0xFFFFFFFFu);
}

TEST(Ticks, LimitIsExceededOnlyPastIt) {
    EXPECT_FALSE(TicksExceeded(5000, 45000, 40000));  // exactly at the limit: still waiting
    EXPECT_TRUE(TicksExceeded(5000, 45001, 40000));
    // A start just before the wrap: a signed or naive comparison would end the wait at once
    // (now < start) or never.
    const std::uint32_t start = 0xFFFFF000u;
    EXPECT_FALSE(TicksExceeded(start, 0x00000010u, 40000));
    EXPECT_FALSE(TicksExceeded(start, start + 40000u, 40000));
    EXPECT_TRUE(TicksExceeded(start, start + 40001u, 40000));
}
