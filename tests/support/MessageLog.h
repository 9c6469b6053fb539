#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Records the messages a window procedure receives, in the manner of Wine's
// message tests.
struct RecordedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

class MessageLog {
public:
    void add(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        entries.push_back({hwnd, message, wParam, lParam});
    }
    void clear() { entries.clear(); }
    const std::vector<RecordedMessage>& all() const { return entries; }
    // The recorded messages with this number, in order.
    std::vector<RecordedMessage> only(UINT message) const;
    bool contains(UINT message) const { return !only(message).empty(); }

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
