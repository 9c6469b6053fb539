#include "book/AutosaveSchedule.h"

#include <algorithm>

void AutosaveSchedule::changed(Millis now) {
    if (!waiting || !scheduled) {
        firstWaiting = now;
    }
    waiting = true;
    scheduled = true;
    if (retryAt) {
        due = *retryAt;
        return;
    }
    // The earlier of the pause and the cap, counted from the first change
    // still waiting; unsigned differences keep this right across a wrap.
    const Millis pauseEnds = now + kDelay;
    const Millis capEnds = firstWaiting + kLongestDelay;
    due = (pauseEnds - firstWaiting) < (capEnds - firstWaiting) ? pauseEnds : capEnds;
}

void AutosaveSchedule::differsFromFile() {
    waiting = true;
}

void AutosaveSchedule::reset() {
    *this = AutosaveSchedule();
}

std::optional<AutosaveSchedule::Millis> AutosaveSchedule::dueIn(Millis now) const {
    if (!scheduled || inFlight) {
        return std::nullopt;
    }
    return until(due, now);
}

// 0 once `moment` has come; a moment more than half the clock's range ahead
// is taken as past.
AutosaveSchedule::Millis AutosaveSchedule::until(Millis moment, Millis now) {
    const Millis ahead = moment - now;
    return ahead > 0x7FFFFFFFu ? 0 : ahead;
}

void AutosaveSchedule::beginWrite() {
    inFlight = waiting || inFlight;
    waiting = false;
    scheduled = false;
}

void AutosaveSchedule::writeSucceeded() {
    inFlight = false;
    retryAt.reset();
    failedWrites = 0;
    told = false;
    // Changes made while the write ran keep the schedule they were given.
    scheduled = waiting;
}

void AutosaveSchedule::writeFailed(Millis now) {
    if (inFlight) {
        if (!waiting) {
            firstWaiting = now;
        }
        waiting = true;
    }
    inFlight = false;
    ++failedWrites;
    retryAt = now + kRetryDelay;
    due = *retryAt;
    scheduled = waiting;
}

void AutosaveSchedule::writeDeferred(Millis now) {
    if (inFlight && !waiting) {
        firstWaiting = now;
    }
    waiting = waiting || inFlight;
    inFlight = false;
    scheduled = waiting;
    due = now + kDeferDelay;
}
