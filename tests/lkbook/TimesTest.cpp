#include "tools/lkbook/Times.h"

#include <gtest/gtest.h>

#include <climits>

// Formatting and parsing agree across the whole 32-bit range: a stride prime
// to 86400 lands on ever different seconds, minutes, hours and days. 2000 is
// a leap year.
TEST(Times, UtcTimesFormatAndParseBack) {
    EXPECT_EQ(Times::formatUtc(951782400) + " " + Times::formatUtc(-2), "2000-02-29T00:00:00Z 1969-12-31T23:59:58Z");
    std::int32_t parsed = 0;
    EXPECT_TRUE(Times::parseUtc("2000-02-29T00:00:00Z", parsed) && parsed == 951782400);
    for (std::int64_t value = INT_MIN; value <= INT_MAX; value += 7919 * 1009) {
        ASSERT_TRUE(Times::parseUtc(Times::formatUtc(static_cast<std::int32_t>(value)), parsed)) << value;
        ASSERT_EQ(parsed, value);
    }
}
