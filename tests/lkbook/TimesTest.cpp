#include "tools/lkbook/Times.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <ctime>
#include <regex>

namespace {

TEST(Times, UtcFormatCoversTheWholeThirtyTwoBitRange) {
    EXPECT_EQ(Times::formatUtc(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(Times::formatUtc(1041379507), "2003-01-01T00:05:07Z");
    EXPECT_EQ(Times::formatUtc(951782400), "2000-02-29T00:00:00Z");
    EXPECT_EQ(Times::formatUtc(INT_MAX), "2038-01-19T03:14:07Z");
    EXPECT_EQ(Times::formatUtc(INT_MIN), "1901-12-13T20:45:52Z");
    EXPECT_EQ(Times::formatUtc(-2), "1969-12-31T23:59:58Z");
    EXPECT_EQ(Times::formatUtc(-86400), "1969-12-31T00:00:00Z");
}

TEST(Times, ParsingReadsBackEveryFormattedTime) {
    // A stride prime to 86400 lands on ever other seconds, minutes, hours
    // and days across the range.
    for (std::int64_t value = INT_MIN; value <= INT_MAX; value += 7919 * 1009) {
        const auto seconds = static_cast<std::int32_t>(value);
        if (seconds == Times::Never) {
            continue;
        }
        std::int32_t parsed = 0;
        ASSERT_TRUE(Times::parseUtc(Times::formatUtc(seconds), parsed)) << Times::formatUtc(seconds);
        ASSERT_EQ(parsed, seconds);
    }
    std::int32_t parsed = 0;
    ASSERT_TRUE(Times::parseUtc("2038-01-19T03:14:07Z", parsed));
    EXPECT_EQ(parsed, INT_MAX);
    ASSERT_TRUE(Times::parseUtc("1901-12-13T20:45:52Z", parsed));
    EXPECT_EQ(parsed, INT_MIN);
}

TEST(Times, ParsingRefusesOtherFormsAndTimesABookCannotHold) {
    for (const char* text :
         {"2003-01-01 00:05:07Z", "2003-01-01T00:05:07", "2003-01-01T00:05:07+09:00", "2003-1-01T00:05:07Z",
          "2003-02-29T00:00:00Z", "2000-02-30T00:00:00Z", "2003-13-01T00:00:00Z", "2003-00-01T00:00:00Z",
          "2003-01-01T24:00:00Z", "2003-01-01T00:60:00Z", "2003-01-01T00:00:60Z", "2038-01-19T03:14:08Z",
          "1901-12-13T20:45:51Z", "1969-12-31T23:59:59Z", "２００３-01-01T00:05:07Z", ""}) {
        std::int32_t parsed = 12345;
        EXPECT_FALSE(Times::parseUtc(text, parsed)) << text;
        EXPECT_EQ(parsed, 12345) << text;
    }
}

TEST(Times, LocalTimeIsWithoutZoneAndNeverIsADash) {
    EXPECT_EQ(Times::formatLocal(Times::Never), "-");
#ifdef _WIN32
    // The zone is the system's; only the form can be checked.
    const std::regex form("\\d{4}-\\d{2}-\\d{2}T\\d{2}:\\d{2}:\\d{2}");
    EXPECT_TRUE(std::regex_match(Times::formatLocal(1041379507), form));
    EXPECT_TRUE(std::regex_match(Times::formatLocal(INT_MIN), form));
#else
    const char* previous = std::getenv("TZ");
    const std::string saved = previous ? previous : "";
    setenv("TZ", "JST-9", 1);
    tzset();
    EXPECT_EQ(Times::formatLocal(1041379507), "2003-01-01T09:05:07");
    EXPECT_EQ(Times::formatLocal(-2), "1970-01-01T08:59:58");
    if (previous) {
        setenv("TZ", saved.c_str(), 1);
    } else {
        unsetenv("TZ");
    }
    tzset();
#endif
}

} // namespace
