// The real lviehlp.exe installing and uninstalling its two extension keys.
#include <gtest/gtest.h>

#include "testutil.h"

TEST(Install, Placeholder) { EXPECT_EQ(lvtest::RunProcess("\"" + lvtest::DistFile("lviehlp.exe") + "\" bogus"), 0); }
