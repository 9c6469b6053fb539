#include "LkbookTestSupport.h"

#include "book/BookFile.h"
#include "tools/lkbook/BookJson.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace {

using nlohmann::json;

json dumpOf(const std::string& bookPath) {
    const RunResult dumped = lkbook({"dump", bookPath});
    EXPECT_EQ(dumped.code, 0) << dumped.err;
    return json::parse(dumped.out);
}

TEST(DumpBuild, RoundTripGivesTheSameBytes) {
    TempFolder folder;
    const std::string original = folder.file("original.bok");
    saveBook(unlikePages(), original);

    const RunResult dumped = lkbook({"dump", original});
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_EQ(dumped.err, "");
    writeText(folder.file("book.json"), dumped.out);

    const RunResult built = lkbook({"build", folder.file("book.json"), folder.file("rebuilt.bok")});
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(readAll(folder.file("rebuilt.bok")), readAll(original));

    // The same through standard input.
    const RunResult piped = lkbook({"build", "-", folder.file("piped.bok")}, dumped.out);
    ASSERT_EQ(piped.code, 0) << piped.err;
    EXPECT_EQ(readAll(folder.file("piped.bok")), readAll(original));

    // An empty book too.
    saveBook({}, folder.file("empty.bok"));
    const RunResult emptyDump = lkbook({"dump", folder.file("empty.bok")});
    ASSERT_EQ(emptyDump.code, 0);
    EXPECT_EQ(json::parse(emptyDump.out), json::parse(R"({"pages": []})"));
    ASSERT_EQ(lkbook({"build", "-", folder.file("empty2.bok")}, emptyDump.out).code, 0);
    EXPECT_EQ(readAll(folder.file("empty2.bok")), readAll(folder.file("empty.bok")));
}

TEST(DumpBuild, DumpWritesEveryFieldInItsReadableForm) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    const json document = dumpOf(folder.file("book.bok"));
    ASSERT_EQ(document["pages"].size(), 4u);
    const json& first = document["pages"][0];
    EXPECT_EQ(first["title"], u8"予定");
    EXPECT_EQ(first["updateTime"], "2003-01-01T00:05:07Z");
    for (const char* flag : {"readOnly", "imeAutoOn", "floating", "alwaysOnTop", "fixedSize", "showTitle"}) {
        EXPECT_EQ(first[flag], true) << flag;
    }
    EXPECT_EQ(first["selection"], json::parse(R"({"start": 3, "end": 17})"));
    EXPECT_EQ(first["floatingRect"], json::parse(R"({"left": -1200, "top": -30, "right": -900, "bottom": 250})"));
    EXPECT_EQ(first["format"]["frameColor"], "#563412");
    EXPECT_EQ(first["format"]["frameStyle"], "sunken");
    EXPECT_EQ(first["format"]["titleFormat"],
              json::parse(u8R"({"backColor": "#0000FF", "textColor": "#00FF00", "fontFace": "ＭＳ 明朝",
                                "fontSize": 14})"));
    EXPECT_EQ(first["format"]["editorFormat"]["backColor"], "#000000");
    EXPECT_EQ(first["format"]["editorFormat"]["textColor"], "#FFFFFF");
    const std::string text = first["text"];
    const std::string firstLine = u8"会議は十時から。表計算ソフトの\\記号 ~ ｱｲｳ\r\n";
    EXPECT_EQ(text.size(), 2000 * firstLine.size());
    EXPECT_EQ(text.substr(0, firstLine.size()), firstLine);

    const json& second = document["pages"][1];
    EXPECT_TRUE(second["updateTime"].is_null());
    EXPECT_EQ(second["format"]["frameColor"], "auto");
    EXPECT_EQ(second["format"]["frameStyle"], "flat");
    EXPECT_EQ(second["format"]["titleFormat"]["fontFace"], u8"ＭＳ ゴシック");

    const json& third = document["pages"][2];
    EXPECT_EQ(third["updateTime"], "1901-12-13T20:45:52Z");
    EXPECT_EQ(third["title"], "");
    EXPECT_EQ(third["format"]["frameColor"], "0x80123456");
    EXPECT_EQ(third["format"]["titleFormat"]["backColor"], "0xFF000000");
    EXPECT_EQ(third["format"]["frameStyle"], "raised");

    const json& fourth = document["pages"][3];
    EXPECT_EQ(fourth["format"]["frameStyle"], 7);
    EXPECT_EQ(fourth["title"], u8"ｱｲ\\");
    EXPECT_EQ(fourth["text"], json::parse(R"({"cp932Bytes": "8790ed4020812020656e64"})"));
    EXPECT_EQ(fourth["format"]["editorFormat"]["fontFace"], u8"\uE000");
}

TEST(DumpBuild, ColoursAndStyleNamesAreReadInEitherCase) {
    for (const auto& [text, value] : {std::pair<const char*, Color>{"#abcdef", 0x00EFCDABu}, {"#ABCDEF", 0x00EFCDABu},
                                      {"0x8000ff00", 0x8000FF00u}, {"AUTO", AutoColor}}) {
        Color color = 0;
        EXPECT_TRUE(BookJson::parseColor(text, color));
        EXPECT_EQ(color, value) << text;
    }
    for (Color value : {0x00000000u, 0x00010203u, 0x00FFFFFFu, 0x01000000u, 0xFF000000u, 0xFFFFFFFEu, AutoColor}) {
        Color parsed = 1;
        EXPECT_TRUE(BookJson::parseColor(BookJson::formatColor(value), parsed)) << value;
        EXPECT_EQ(parsed, value);
    }

    TempFolder folder;
    const RunResult built = lkbook({"build", "-", folder.file("book.bok")}, R"({"pages": [
        {"format": {"frameColor": "#aBcDeF", "frameStyle": "SUNKEN",
                    "titleFormat": {"backColor": "0XFFFFFFFF", "textColor": "#102030"}}}]})");
    ASSERT_EQ(built.code, 0) << built.err;
    Book book;
    ASSERT_TRUE(book.load(folder.file("book.bok")));
    ASSERT_EQ(book.count(), 1u);
    EXPECT_EQ(book.at(0)->format.frameColor, 0x00EFCDABu);
    EXPECT_EQ(book.at(0)->format.frameStyle, Sunken);
    EXPECT_EQ(book.at(0)->format.titleFormat.backColor, AutoColor);
    EXPECT_EQ(book.at(0)->format.titleFormat.textColor, 0x00302010u);
}

TEST(DumpBuild, FieldsLeftOutKeepTheValuesOfANewPage) {
    TempFolder folder;
    std::vector<std::unique_ptr<Page>> expected;
    expected.push_back(std::make_unique<Page>());
    expected.push_back(std::make_unique<Page>());
    expected.back()->title = "題";
    expected.back()->format.editorFormat.fontSize = 20;
    saveBook(expected, folder.file("expected.bok"));

    const RunResult built =
        lkbook({"build", "-", folder.file("built.bok")},
               u8R"({"pages": [{}, {"title": "題", "format": {"editorFormat": {"fontSize": 20}}}]})");
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(readAll(folder.file("built.bok")), readAll(folder.file("expected.bok")));
}

// Each case spoils one field of page 1 of a sound dump.
struct Spoiled {
    const char* pointer;
    const char* value; // JSON
    const char* mentions;
};

TEST(DumpBuild, MistakesAreRefusedNamingPageAndFieldAndNothingIsWritten) {
    const Spoiled cases[] = {
        {"/pages/1/readOnly", "1", "page 1, readOnly"},
        {"/pages/1/floating", "\"yes\"", "page 1, floating"},
        {"/pages/1/title", "5", "page 1, title"},
        {"/pages/1/text", "null", "page 1, text"},
        {"/pages/1/format/frameStyle", "\"bevelled\"", "page 1, format.frameStyle"},
        {"/pages/1/format/frameStyle", "1.5", "page 1, format.frameStyle"},
        {"/pages/1/format/frameColor", "\"#12345\"", "page 1, format.frameColor"},
        {"/pages/1/format/frameColor", "\"#GG0000\"", "page 1, format.frameColor"},
        {"/pages/1/format/frameColor", "\"red\"", "page 1, format.frameColor"},
        {"/pages/1/format/frameColor", "\"0x1234567\"", "page 1, format.frameColor"},
        {"/pages/1/format/frameColor", "255", "page 1, format.frameColor"},
        {"/pages/1/format/titleFormat/backColor", "\"#1234567\"", "page 1, format.titleFormat.backColor"},
        {"/pages/1/format/editorFormat/textColor", "\"\"", "page 1, format.editorFormat.textColor"},
        {"/pages/1/format/editorFormat/fontSize", "2147483648", "page 1, format.editorFormat.fontSize"},
        {"/pages/1/format/editorFormat/fontSize", "12.5", "page 1, format.editorFormat.fontSize"},
        {"/pages/1/format/titleFormat/fontFace", "{\"cp932Bytes\": \"8g\"}", "page 1, format.titleFormat.fontFace"},
        {"/pages/1/format/titleFormat/fontFace", "{\"cp932Bytes\": \"828\"}", "page 1, format.titleFormat.fontFace"},
        {"/pages/1/format/titleFormat/fontFace", "{\"cp932Bytes\": \"4100\"}", "page 1, format.titleFormat.fontFace"},
        {"/pages/1/format/titleFormat/fontFace", "{\"bytes\": \"41\"}", "page 1, format.titleFormat.fontFace"},
        {"/pages/1/format/titleFormat", "[]", "page 1, format.titleFormat"},
        {"/pages/1/format/titleFormat/fontName", "\"Arial\"", "page 1, format.titleFormat.fontName"},
        {"/pages/1/selection/start", "\"3\"", "page 1, selection.start"},
        {"/pages/1/selection/end", "-2147483649", "page 1, selection.end"},
        {"/pages/1/floatingRect/left", "true", "page 1, floatingRect.left"},
        {"/pages/1/floatingRect/width", "10", "page 1, floatingRect.width"},
        {"/pages/1/updateTime", "\"2003-01-01 00:05:07\"", "page 1, updateTime"},
        {"/pages/1/updateTime", "1041379507", "page 1, updateTime"},
        {"/pages/1/updateTime", "\"1969-12-31T23:59:59Z\"", "page 1, updateTime"},
        {"/pages/1/colour", "\"#FFFFFF\"", "page 1, colour"},
        {"/pages/1/text", "\"a\\u0000b\"", "page 1, text"},
        {"/pages/1", "[]", "page 1"},
        {"/pages/1/title", "\"\xF0\x9F\x98\x80\"", "U+1F600"},
        {"/pages/1/text", "\"abc\xED\x95\x9C\"", "page 1, text: character 4 (U+D55C)"},
        {"/pages/1/format/editorFormat/fontFace", "\"\xC2\xA5\"", "U+00A5"},
        {"/pages", "{}", "pages"},
        {"/extra", "1", "extra"},
    };

    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    const json sound = dumpOf(folder.file("book.bok"));
    const std::string existing = folder.file("existing.bok");
    saveBook({}, existing);
    const Bytes before = readAll(existing);

    for (const Spoiled& c : cases) {
        SCOPED_TRACE(std::string(c.pointer) + " = " + c.value);
        json spoiled = sound;
        spoiled[json::json_pointer(c.pointer)] = json::parse(c.value);
        const std::string input = spoiled.dump();

        const RunResult overwrite = lkbook({"build", "-", existing}, input);
        EXPECT_EQ(overwrite.code, 1);
        EXPECT_NE(overwrite.err.find(c.mentions), std::string::npos) << overwrite.err;
        EXPECT_NE(overwrite.err.find("no book was written"), std::string::npos) << overwrite.err;
        EXPECT_EQ(readAll(existing), before);

        const std::string fresh = folder.file("fresh.bok");
        EXPECT_EQ(lkbook({"build", "-", fresh}, input).code, 1);
        EXPECT_FALSE(std::filesystem::exists(fresh));
    }
    // Nothing else was left behind: no temporary files.
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2u);
}

TEST(DumpBuild, InputThatIsNotABookDocumentIsRefused) {
    TempFolder folder;
    const std::string target = folder.file("book.bok");
    const struct {
        const char* input;
        const char* mentions;
    } cases[] = {
        {"", "not JSON"},
        {"{\"pages\": [", "not JSON"},
        {"{\"pages\": []} trailing", "not JSON"},
        {"\"\xFF\"", "not JSON"},
        {"[]", "\"pages\""},
        {"{}", "\"pages\""},
        {"{\"pages\": [1]}", "page 0"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        const RunResult result = lkbook({"build", "-", target}, c.input);
        EXPECT_EQ(result.code, 1);
        EXPECT_NE(result.err.find(c.mentions), std::string::npos) << result.err;
        EXPECT_FALSE(std::filesystem::exists(target));
    }
    const RunResult missing = lkbook({"build", folder.file("missing.json"), target});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot read"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(DumpBuild, DamagedBooksAreNotDumped) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    Bytes bytes = readAll(folder.file("book.bok"));
    bytes.resize(bytes.size() - 1);
    writeAll(folder.file("cut.bok"), bytes);
    const RunResult result = lkbook({"dump", folder.file("cut.bok")});
    EXPECT_EQ(result.code, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_NE(result.err.find("damaged book"), std::string::npos);
    EXPECT_NE(result.err.find("page 3"), std::string::npos) << result.err;

    const RunResult missing = lkbook({"dump", folder.file("missing.bok")});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("cannot open"), std::string::npos);
}

} // namespace
