// The dotted-quad table against wsock32's inet_addr.
#include <gtest/gtest.h>

#include "../cases/ip_cases.h"
#include "address.h"

TEST(IsIPAddressTable, MatchesOnWindows) {
    for (const auto& c : lvcases::kIpCases) EXPECT_EQ(lv::IsIPAddress(c.text), c.isIp) << '"' << c.text << '"';
}
