#include "pagewindows/ImeSwitch.h"

#include <gtest/gtest.h>

namespace {

struct ToggleCase {
    bool imeAutoOn;
    DWORD openStatus;
    bool toggles;
};

// The open status is a BOOL; a value other than 0 and 1 is not a state the
// toggle is known to change the right way, so it is left alone.
constexpr ToggleCase kCases[] = {
    {true, 0, true},   // wanted on, closed: switch it on
    {true, 1, false},  // wanted on, already open
    {false, 1, true},  // wanted off, open: switch it off
    {false, 0, false}, // wanted off, already closed
    {false, 2, false}, {true, 2, false},
};

} // namespace

TEST(ImeSwitch, TogglesOnlyWhenTheInputMethodIsInTheOtherState) {
    for (const ToggleCase& c : kCases) {
        EXPECT_EQ(imeNeedsToggle(c.imeAutoOn, c.openStatus), c.toggles)
            << "imeAutoOn " << c.imeAutoOn << ", status " << c.openStatus;
    }
}
