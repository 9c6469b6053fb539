#include "LkbookTestSupport.h"

#include <gtest/gtest.h>

namespace {

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(CommandLine, EveryCommandHasHelp) {
    const RunResult top = lkbook({"--help"});
    EXPECT_EQ(top.code, 0);
    EXPECT_EQ(top.err, "");
    for (const char* command : {"check", "list", "dump", "build", "export", "salvage"}) {
        SCOPED_TRACE(command);
        EXPECT_TRUE(contains(top.out, command));
        for (const char* flag : {"--help", "-h"}) {
            const RunResult help = lkbook({command, flag});
            EXPECT_EQ(help.code, 0);
            EXPECT_EQ(help.err, "");
            EXPECT_TRUE(contains(help.out, std::string("Usage: lkbook ") + command)) << help.out;
        }
    }
}

TEST(CommandLine, MistakesExitWithTwoAndSayWhy) {
    const struct {
        std::vector<std::string> arguments;
        const char* mentions;
    } cases[] = {
        {{}, "a command is required"},
        {{"frobnicate", "book.bok"}, "unknown command 'frobnicate'"},
        {{"Check", "book.bok"}, "unknown command 'Check'"},
        {{"--verbose"}, "--verbose"},
        {{"check"}, "FILE is required"},
        {{"check", "a.bok", "b.bok"}, "b.bok"},
        {{"list"}, "FILE is required"},
        {{"dump", "--pretty", "a.bok"}, "--pretty"},
        {{"build", "book.json"}, "FILE is required"},
        {{"export", "book.bok"}, "DIR is required"},
        {{"salvage", "book.bok"}, "OUT is required"},
    };
    for (const auto& c : cases) {
        std::string line;
        for (const auto& argument : c.arguments) {
            line += argument + " ";
        }
        SCOPED_TRACE(line);
        const RunResult result = lkbook(c.arguments);
        EXPECT_EQ(result.code, 2);
        EXPECT_EQ(result.out, "");
        EXPECT_TRUE(contains(result.err, c.mentions)) << result.err;
        EXPECT_TRUE(contains(result.err, "--help")) << result.err;
    }
}

// The executable itself: exit codes as a shell sees them, and the bytes of
// standard output and input (no CR LF translation on Windows).
TEST(Executable, ExitCodesAndStreams) {
    TempFolder folder;
    saveBook(unlikePages(), folder.file("book.bok"));
    Bytes cut = readAll(folder.file("book.bok"));
    cut.resize(cut.size() / 2);
    writeAll(folder.file("cut.bok"), cut);

    const RunResult help = runExecutable({"salvage", "--help"}, folder);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(contains(help.out, "Usage: lkbook salvage")) << help.out;

    EXPECT_EQ(runExecutable({}, folder).code, 2);
    const RunResult unknown = runExecutable({"frobnicate"}, folder);
    EXPECT_EQ(unknown.code, 2);
    EXPECT_TRUE(contains(unknown.err, "unknown command")) << unknown.err;
    EXPECT_EQ(runExecutable({"export", folder.file("book.bok")}, folder).code, 2);

    const RunResult sound = runExecutable({"check", folder.file("book.bok")}, folder);
    EXPECT_EQ(sound.code, 0);
    EXPECT_EQ(sound.out, "sound book: 4 pages\n");
    EXPECT_EQ(runExecutable({"check", folder.file("cut.bok")}, folder).code, 1);
    EXPECT_EQ(runExecutable({"check", folder.file("missing.bok")}, folder).code, 1);

    const RunResult dumped = runExecutable({"dump", folder.file("book.bok")}, folder);
    ASSERT_EQ(dumped.code, 0) << dumped.err;
    EXPECT_EQ(dumped.out, lkbook({"dump", folder.file("book.bok")}).out);
    EXPECT_TRUE(contains(dumped.out, u8"\"title\": \"予定\",\n")) << dumped.out.substr(0, 200);
    writeText(folder.file("book.json"), dumped.out);

    const RunResult built = runExecutable({"build", "-", folder.file("rebuilt.bok")}, folder, folder.file("book.json"));
    ASSERT_EQ(built.code, 0) << built.err;
    EXPECT_EQ(readAll(folder.file("rebuilt.bok")), readAll(folder.file("book.bok")));

    const RunResult listed = runExecutable({"list", folder.file("book.bok")}, folder);
    EXPECT_EQ(listed.code, 0);
    EXPECT_TRUE(contains(listed.out, u8"\tfloating\t予定\n")) << listed.out;
    EXPECT_FALSE(contains(listed.out, "\r"));
}

} // namespace
