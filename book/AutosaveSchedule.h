#pragma once

#include <cstdint>
#include <optional>

// When the running program writes the book: a few seconds after the last
// change, but no later than a fixed time after the first change not yet
// written while changes keep coming; a while after a failed write; never
// while nothing changed. Times are milliseconds of a clock that runs
// steadily and may wrap round (differences are taken unsigned), such as
// GetTickCount.
class AutosaveSchedule {
public:
    using Millis = std::uint32_t;

    // The write comes this long after the last change...
    static constexpr Millis kDelay = 3000;
    // ...but typing without a pause does not put it off beyond this.
    static constexpr Millis kLongestDelay = 5000;
    // A write that failed is tried again after this long...
    static constexpr Millis kRetryDelay = 30000;
    // ...and one that had to wait (the file being rewritten by another
    // program, a dialog in the way) after this long.
    static constexpr Millis kDeferDelay = 1000;

    // The user changed the book at `now`.
    void changed(Millis now);
    // The book differs from its file though the user changed nothing (a
    // sample page made at the first start): written with the next write,
    // but no write is scheduled for it.
    void differsFromFile();
    // The book was just read from its file, or replaced: nothing to write.
    void reset();

    // How long from `now` until the next write is due (0: due now); nothing
    // when no write is scheduled.
    std::optional<Millis> dueIn(Millis now) const;
    // Something is not in the file yet: changes waiting, or taken by a write
    // that has not finished.
    bool unwritten() const { return waiting || inFlight; }
    // A write is under way (it may wait for the user, who may change more).
    bool writing() const { return inFlight; }
    // Writes that failed one after another since the last one that did not.
    int failures() const { return failedWrites; }
    // The user is told once that writes fail, not at every try: until a write
    // succeeds again.
    bool failureTold() const { return told; }
    void tellingFailure() { told = true; }

    // A write begins and takes every change made so far; later changes wait
    // for the next one.
    void beginWrite();
    // The write that began reached the file.
    void writeSucceeded();
    // The write that began failed at `now`: its changes wait again, and the
    // next try comes kRetryDelay later, however much changes meanwhile.
    void writeFailed(Millis now);
    // The write that began could not go ahead at `now`: its changes wait
    // again and the next try comes kDeferDelay later. No failure is counted.
    void writeDeferred(Millis now);

private:
    static Millis until(Millis moment, Millis now);

    bool waiting = false;
    bool inFlight = false;
    bool scheduled = false;
    Millis due = 0;
    Millis firstWaiting = 0;
    std::optional<Millis> retryAt;
    int failedWrites = 0;
    bool told = false;
};
