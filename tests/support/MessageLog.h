#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

// Records the messages a window procedure receives and compares them with an
// expected sequence written as data, in the manner of Wine's message tests.
struct RecordedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

struct ExpectedMessage {
    enum Check : unsigned { MessageOnly = 0, WParam = 1, LParam = 2, Both = 3, Optional = 4 };
    UINT message;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    unsigned check = MessageOnly;
};

class MessageLog {
public:
    void add(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) { entries.push_back({hwnd, message, wParam, lParam}); }
    void clear() { entries.clear(); }
    const std::vector<RecordedMessage>& all() const { return entries; }
    // The recorded messages with this number, in order.
    std::vector<RecordedMessage> only(UINT message) const;
    bool contains(UINT message) const { return !only(message).empty(); }

    // Checks that the recorded messages, restricted to those whose numbers
    // appear in `expected`, follow `expected` in order; optional entries may
    // be missing. On a mismatch the message shows both sequences.
    ::testing::AssertionResult matches(std::initializer_list<ExpectedMessage> expected) const;

private:
    std::vector<RecordedMessage> entries;
};

std::string messageName(UINT message);

// A window procedure usable as a window's previous procedure: records every
// message into `recordingLog` and answers `recordingAnswer` when it is set
// (without any default processing), otherwise what DefWindowProcA answers.
extern MessageLog recordingLog;
extern bool recordingAnswerSet;
extern LRESULT recordingAnswer;
LRESULT CALLBACK recordingProcedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
