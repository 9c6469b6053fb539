#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

using nlohmann::json;

// A dump builds the same book byte for byte, from a file or from standard
// input; the empty book too. The executable writes the same bytes: its
// streams must not translate line breaks. The dump shows the fields in the
// forms a person reads and writes: UTF-8 text, UTC times or null for never,
// "#RRGGBB", "auto" or "0xAABBGGRR" colours, frame style names or the integer,
// and the bytes of a string that UTF-8 would not bring back unchanged.
TEST(DumpBuild, RoundTripGivesTheSameBytesThroughReadableJson) {
    TempFolder folder;
    const std::string original = folder.file("original.bok");
    for (const bool empty : {true, false}) {
        saveBook(empty ? std::vector<std::unique_ptr<Page>>() : unlikePages(), original);
        const RunResult dumped = lkbook({"dump", original});
        writeText(folder.file("book.json"), dumped.out);
        EXPECT_TRUE(executableSucceeds("dump \"" + original + "\" >\"" + folder.file("out.json") + "\""));
        EXPECT_EQ(readText(folder.file("out.json")), dumped.out);
        EXPECT_EQ(lkbook({"build", folder.file("book.json"), folder.file("file.bok")}).code, 0);
        EXPECT_EQ(lkbook({"build", "-", folder.file("piped.bok")}, dumped.out).code, 0);
        for (const char* built : {"file.bok", "piped.bok"}) {
            EXPECT_EQ(readAll(folder.file(built)), readAll(original)) << built;
        }
    }
    const json pages = json::parse(readText(folder.file("book.json"))).at("pages");
    const std::pair<const char*, json> fields[] = {{"/0/updateTime", "2003-01-01T00:05:07Z"},
                                                   {"/0/format/frameColor", "#563412"},
                                                   {"/0/format/frameStyle", "sunken"},
                                                   {"/1/updateTime", nullptr},
                                                   {"/1/format/titleFormat/backColor", "auto"},
                                                   {"/2/format/frameColor", "0x80123456"},
                                                   {"/3/format/frameStyle", 7},
                                                   {"/3/text", {{"cp932Bytes", "8790ed4020812020656e64"}}}};
    for (const auto& [pointer, value] : fields) {
        EXPECT_EQ(pages.at(json::json_pointer(pointer)), value) << pointer;
    }
}

// A document that is not a book, or a sound dump with one field spoilt, is
// refused naming the page and the field; the book that was there stays as
// it was, and no temporary file is left.
TEST(DumpBuild, MistakesAreRefusedAndNothingIsWritten) {
    TempFolder folder;
    const std::string existing = folder.file("book.bok");
    saveBook(unlikePages(), existing);
    const Bytes before = readAll(existing);
    const json sound = json::parse(lkbook({"dump", existing}).out);
    std::vector<std::pair<std::string, std::string>> cases = {{"", "not JSON"}, {"{}", R"("pages")"}};
    const char* const spoilt[][3] = {
        // where, what, and what the complaint names
        {"/pages/1/text", R"("a\u0000b")", "page 1, text"},
        {"/pages/1/text", "\"abc\xED\x95\x9C\"", "page 1, text: character 4 (U+D55C)"},
        {"/pages/1/format/frameColor", R"("#GG0000")", "page 1, format.frameColor"},
        {"/pages/1/format/editorFormat/fontSize", "2147483648", "page 1, format.editorFormat.fontSize"},
        {"/pages/1/selection/end", "-2147483649", "page 1, selection.end"},
        {"/pages/1/format/titleFormat/fontFace", R"({"cp932Bytes": "4100"})", "page 1, format.titleFormat.fontFace"},
        {"/pages/1/floatingRect/width", "10", "page 1, floatingRect.width"},
        {"/pages/1/updateTime", R"("1969-12-31T23:59:59Z")", "page 1, updateTime"},
        {"/pages/1", "[]", "page 1"},
    };
    for (const auto& [pointer, value, mentions] : spoilt) {
        json document = sound;
        document[json::json_pointer(pointer)] = json::parse(value);
        cases.emplace_back(document.dump(), mentions);
    }
    for (const auto& [input, mentions] : cases) {
        const RunResult result = lkbook({"build", "-", existing}, input);
        EXPECT_TRUE(result.code == 1 && contains(result.err, mentions)) << mentions << ": " << result.err;
        EXPECT_EQ(readAll(existing), before) << mentions;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}
