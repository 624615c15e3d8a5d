// The dotted-quad table against the C library's inet_addr.
#include <gtest/gtest.h>

#include "../cases/ip_cases.h"
#include "address.h"

TEST(IsIPAddressTable, MatchesOnThisPlatform) {
    for (const auto& c : lvcases::kIpCases) EXPECT_EQ(lv::IsIPAddress(c.text), c.isIp) << '"' << c.text << '"';
}
