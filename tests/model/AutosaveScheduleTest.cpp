#include "book/AutosaveSchedule.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using Millis = AutosaveSchedule::Millis;

// The moment the write falls due, on the schedule's own clock; nothing when
// no write is scheduled.
std::optional<Millis> dueAt(const AutosaveSchedule& schedule, Millis now) {
    const auto wait = schedule.dueIn(now);
    return wait ? std::optional<Millis>(now + *wait) : std::nullopt;
}

} // namespace

// A change is written three seconds after the last one; typing without a
// pause is written no later than five seconds after its first key, wherever
// the clock stands (also across its wrap round after 49 days).
TEST(AutosaveSchedule, TheWriteComesAfterAPauseButNoLaterThanTheCap) {
    struct Case {
        const char* name;
        std::vector<Millis> changes; // offsets from the start
        Millis dueOffset;
    };
    const Case cases[] = {
        {"one change", {0}, 3000},
        {"changes with pauses under the cap", {0, 1000, 1500}, 4500},
        {"typing every 200 ms for 10 s",
         {0, 200, 400, 600, 800, 1000, 1200, 1400, 1600, 1800, 2000, 2200, 2400, 2600, 2800, 3000, 4000, 9000},
         5000},
        {"a change exactly at the cap's edge", {0, 2000}, 5000},
    };
    for (const Millis start : {Millis(1000), Millis(0xFFFFF000u)}) {
        for (const Case& test : cases) {
            AutosaveSchedule schedule;
            Millis dueSeen = 0;
            for (const Millis offset : test.changes) {
                const Millis now = start + offset;
                if (schedule.dueIn(now) == Millis(0)) {
                    break; // the timer fires before this key
                }
                schedule.changed(now);
                dueSeen = *dueAt(schedule, now);
            }
            EXPECT_EQ(Millis(dueSeen - start), test.dueOffset) << test.name << " from " << start;
            EXPECT_EQ(schedule.dueIn(start + test.dueOffset), Millis(0)) << test.name;
        }
    }
}

// Nothing is scheduled while nothing changed, nor for a book that only
// differs from its file; a write takes what waited, and changes made while it
// runs (the user typing while a failure is reported) wait for the next one.
TEST(AutosaveSchedule, OnlyChangesAreWrittenAndNoneIsLostAroundAWrite) {
    AutosaveSchedule schedule;
    EXPECT_FALSE(schedule.dueIn(0));
    EXPECT_FALSE(schedule.unwritten());
    schedule.differsFromFile();
    EXPECT_FALSE(schedule.dueIn(0));
    EXPECT_TRUE(schedule.unwritten());

    schedule.changed(100);
    schedule.beginWrite();
    EXPECT_TRUE(schedule.writing());
    EXPECT_FALSE(schedule.dueIn(10000)) << "no second write while one runs";
    schedule.changed(200);
    schedule.writeSucceeded();
    EXPECT_TRUE(schedule.unwritten());
    EXPECT_EQ(dueAt(schedule, 300), Millis(3200));
    schedule.beginWrite();
    schedule.writeSucceeded();
    EXPECT_FALSE(schedule.unwritten());
    EXPECT_FALSE(schedule.dueIn(4000));
    schedule.changed(5000);
    schedule.reset();
    EXPECT_FALSE(schedule.unwritten());
    EXPECT_FALSE(schedule.dueIn(5000));
}

// A failed write keeps its changes waiting and is tried again thirty seconds
// later, not sooner for more typing; the failures are counted until a write
// succeeds.
TEST(AutosaveSchedule, AFailedWriteIsTriedAgainLaterWithEverythingItHeld) {
    AutosaveSchedule schedule;
    schedule.changed(0);
    schedule.beginWrite();
    schedule.writeFailed(3000);
    EXPECT_TRUE(schedule.unwritten());
    EXPECT_EQ(schedule.failures(), 1);
    EXPECT_EQ(dueAt(schedule, 3000), Millis(33000));
    schedule.changed(4000);
    EXPECT_EQ(dueAt(schedule, 4000), Millis(33000));
    schedule.beginWrite();
    schedule.writeFailed(33000);
    EXPECT_EQ(schedule.failures(), 2);
    EXPECT_EQ(dueAt(schedule, 33000), Millis(63000));
    schedule.beginWrite();
    schedule.writeSucceeded();
    EXPECT_EQ(schedule.failures(), 0);
    EXPECT_FALSE(schedule.unwritten());
    schedule.changed(70000);
    EXPECT_EQ(dueAt(schedule, 70000), Millis(73000)) << "back to the usual delay";
}

// A write that had to wait is tried again a second later, keeping what it
// held, and counts as no failure.
TEST(AutosaveSchedule, AWriteThatHadToWaitIsTriedAgainSoon) {
    AutosaveSchedule schedule;
    schedule.changed(0);
    schedule.beginWrite();
    schedule.writeDeferred(3000);
    EXPECT_TRUE(schedule.unwritten());
    EXPECT_EQ(schedule.failures(), 0);
    EXPECT_EQ(dueAt(schedule, 3000), Millis(4000));
    schedule.beginWrite();
    schedule.writeSucceeded();
    EXPECT_FALSE(schedule.unwritten());
}
