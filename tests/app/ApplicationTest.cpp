#include "app/Application.h"

#include <gtest/gtest.h>

#include <string>

// The strings (in this executable's own resource script) are longer and
// shorter than the loader's first buffer of 256 bytes, and Japanese; a
// string that fills the first buffer used to come back cut.
TEST(StringLoading, LengthsAroundTheFirstBufferComeBackWhole) {
    const auto alphabet = [](std::size_t length, char first) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) {
            text.push_back(static_cast<char>(first + i % 26));
        }
        return text;
    };
    const std::pair<UINT, std::string> strings[] = {
        {9001, alphabet(255, 'a')}, {9002, alphabet(254, 'a')}, {9003, alphabet(600, 'A')}, {9004, "日本語のメモ～"}};
    for (const auto& [id, expected] : strings) {
        std::string text;
        EXPECT_TRUE(application().loadString(id, text));
        EXPECT_EQ(text, expected);
    }
    std::string text = "unchanged";
    EXPECT_FALSE(application().loadString(8999, text));
    EXPECT_EQ(text, "unchanged");
}
