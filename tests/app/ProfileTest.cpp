#include "app/Profile.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// The book file path is read through a buffer that grows in steps: lengths
// around each step, and a path whose "表" ends in the byte 0x5C, come back
// whole.
TEST(ProfileFile, StringsOfEveryLengthAroundTheBufferStepAreReadWhole) {
    const TempFolder folder;
    const std::string path = folder.file("test.ini");
    std::vector<std::string> values{"C:\\メモ\\表示.bok"};
    for (std::size_t length : {0u, 1u, 253u, 254u, 255u, 256u, 257u, 509u, 510u, 511u, 1000u, 5000u}) {
        values.emplace_back(length, 'x');
        for (std::size_t i = 0; i < length; i += 7) {
            values.back()[i] = static_cast<char>('a' + i % 26);
        }
    }
    for (const std::string& value : values) {
        ASSERT_TRUE(writeProfileString("Option", "Save File", value, path));
        std::string read = "old";
        readProfileString("Option", "Save File", "", read, path);
        EXPECT_EQ(read, value) << "length " << value.size();
    }
}
