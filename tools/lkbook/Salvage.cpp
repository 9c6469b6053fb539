#include "tools/lkbook/Salvage.h"

#include "book/FileSystem.h"

#include <cstdio>

namespace Salvage {

namespace {

// Magic and page count.
constexpr std::uint64_t kHeaderSize = 13;
// From the update time to the frame style: 4 + 1 + 1 + 4 + 4 + 1 + 1 + 1 + 1 + 16 + 4 + 4.
constexpr std::uint64_t kFixedFieldsSize = 42;
// Background colour, text colour and font size of a text format.
constexpr std::uint64_t kFormatNumbersSize = 12;

class Walker {
public:
    Walker(std::FILE* input, std::uint64_t fileSize) : file(input), size(fileSize) {}

    bool skip(std::uint64_t count) {
        if (count > size - offset) {
            return false;
        }
        offset += count;
        return true;
    }

    // A length field and the bytes it counts.
    bool skipString() {
        unsigned char bytes[4];
        if (size - offset < 4 || std::fseek(file, static_cast<long>(offset), SEEK_SET) != 0 ||
            std::fread(bytes, 1, 4, file) != 4) {
            return false;
        }
        offset += 4;
        const std::uint32_t length = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                                     std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
        return skip(length);
    }

    bool skipRecord() {
        return skip(kFixedFieldsSize) && skip(kFormatNumbersSize) && skipString() && skip(kFormatNumbersSize) &&
               skipString() && skipString() && skipString();
    }

    std::uint64_t position() const { return offset; }

private:
    std::FILE* file;
    std::uint64_t size;
    std::uint64_t offset = kHeaderSize;
};

} // namespace

std::uint64_t endOfRecords(const std::string& path, std::uint32_t count) {
    std::FILE* file = FileSystem::openForReading(path);
    if (!file) {
        return 0;
    }
    std::uint64_t size = 0;
    std::uint64_t end = 0;
    if (FileSystem::fileSize(file, size) && size >= kHeaderSize) {
        Walker walker(file, size);
        std::uint32_t walked = 0;
        while (walked < count && walker.skipRecord()) {
            ++walked;
        }
        end = walked == count ? walker.position() : 0;
    }
    std::fclose(file);
    return end;
}

} // namespace Salvage
