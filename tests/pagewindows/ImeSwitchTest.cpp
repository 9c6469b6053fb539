#include "pagewindows/ImeSwitch.h"

#include <gtest/gtest.h>

#include <vector>

// The toggle is pressed only when the input method is in the other state; an
// open status other than 0 and 1 is no state the toggle is known to change the
// right way, so it is left alone.
TEST(ImeSwitch, TogglesOnlyWhenTheInputMethodIsInTheOtherState) {
    EXPECT_EQ((std::vector<bool>{imeNeedsToggle(true, 0), imeNeedsToggle(true, 1), imeNeedsToggle(true, 2),
                                 imeNeedsToggle(false, 1), imeNeedsToggle(false, 0), imeNeedsToggle(false, 2)}),
              (std::vector<bool>{true, false, false, true, false, false}));
}
