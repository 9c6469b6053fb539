#include "tools/lkbook/Lkbook.h"

#include "book/Book.h"
#include "book/BookFile.h"
#include "book/TextSearch.h"
#include "book/BookMerge.h"
#include "tools/lkbook/BookJson.h"
#include "tools/lkbook/CodePage.h"
#include "tools/lkbook/Export.h"
#include "tools/lkbook/Files.h"
#include "tools/lkbook/Salvage.h"
#include "tools/lkbook/Times.h"

#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <istream>
#include <iterator>
#include <ostream>

namespace Lkbook {

namespace {

using Pages = std::vector<std::unique_ptr<Page>>;

const char* const kCommands[] = {"check", "list", "grep", "dump", "build", "export", "salvage", "merge"};

std::string quoted(const std::string& path) {
    return "'" + Files::forDisplay(path) + "'";
}

std::string pagesWord(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " page" : " pages");
}

std::string bytesWord(std::uint64_t count) {
    return std::to_string(count) + (count == 1 ? " byte" : " bytes");
}

// "the 1 byte ... is", "the 2 bytes ... are".
const char* agreeing(std::uint64_t count, const char* one, const char* many) {
    return count == 1 ? one : many;
}

void cannotOpen(const std::string& path, std::ostream& err) {
    err << "lkbook: cannot open " << quoted(path) << ": there is no such file, or it is a folder\n";
}

// Reads a book for the commands that need all of it.
bool readSoundBook(const std::string& path, Pages& pages, std::ostream& err) {
    BookFileDamage damage;
    if (!BookFile::inspect(path, pages, damage)) {
        cannotOpen(path, err);
        return false;
    }
    if (!damage.sound()) {
        err << "lkbook: " << quoted(path) << " is a damaged book: " << damage.describe() << "\n"
            << "lkbook: 'lkbook salvage' copies the pages that can be read whole into a new book\n";
        return false;
    }
    if (damage.trailingBytes > 0) {
        err << "lkbook: note: the " << bytesWord(damage.trailingBytes) << " after the last page of " << quoted(path)
            << agreeing(damage.trailingBytes, " is", " are") << " not part of the book and left out\n";
    }
    return true;
}

int check(const std::string& path, std::ostream& out, std::ostream& err) {
    Pages pages;
    BookFileDamage damage;
    if (!BookFile::inspect(path, pages, damage)) {
        cannotOpen(path, err);
        return Refused;
    }
    if (damage.sound() && damage.trailingBytes > 0) {
        // Leafkeeper refuses such a file: its page count probably shrank.
        out << "damaged book: " << pagesWord(damage.pagesRead) << " can be read whole, but the file goes on for "
            << bytesWord(damage.trailingBytes) << " after the last page (the page count may be damaged); "
            << "'lkbook salvage' copies the whole pages into a new book\n";
        return Refused;
    }
    if (damage.sound()) {
        out << "sound book: " << pagesWord(damage.pagesRead) << "\n";
        return Success;
    }
    out << "damaged book: " << damage.describe() << "\n";
    if (damage.pagesRead > 0) {
        out << damage.pagesRead << " of " << pagesWord(damage.declaredCount)
            << " can be read whole; 'lkbook salvage' copies them into a new book\n";
    } else if (damage.kind == BookFileDamage::Kind::RecordEndsEarly ||
               damage.kind == BookFileDamage::Kind::LengthTooLarge) {
        out << "no page can be read whole\n";
    }
    return Refused;
}

// Titles and page text for a terminal: no tabs or line breaks inside a field.
std::string oneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

int list(const std::string& path, std::ostream& out, std::ostream& err) {
    Pages pages;
    if (!readSoundBook(path, pages, err)) {
        return Refused;
    }
    for (std::size_t i = 0; i < pages.size(); ++i) {
        const Page& page = *pages[i];
        out << i << '\t' << page.text.size() << '\t' << Times::formatLocal(page.updateTime) << '\t'
            << (page.floating ? "floating" : "-") << '\t' << oneLine(CodePage::toUtf8Lossy(page.title)) << '\n';
    }
    return Success;
}

// The line of `text` from `start` to the line break, without the CR of a CR LF.
std::string lineFrom(const std::string& text, std::size_t start, std::size_t end) {
    if (end > start && text[end - 1] == '\r') {
        --end;
    }
    return text.substr(start, end - start);
}

// Prints the page's index and title, then each line of its text that holds a
// match of any word, with its number counted from 1.
void printMatchingPage(std::size_t index, const Page& page, const TextMatcher& matcher, std::ostream& out) {
    out << index << '\t' << oneLine(CodePage::toUtf8Lossy(page.title)) << '\n';
    const std::string& text = page.text;
    std::size_t lineStart = 0;
    std::size_t lineNumber = 1;
    TextMatch match;
    // A line break is never part of a double-byte character.
    while (lineStart <= text.size() && matcher.findNext(text, lineStart, match)) {
        for (std::size_t lineEnd; (lineEnd = text.find('\n', lineStart)) < match.begin;) {
            lineStart = lineEnd + 1;
            ++lineNumber;
        }
        const std::size_t lineEnd = std::min(text.find('\n', match.begin), text.size());
        out << '\t' << lineNumber << '\t' << oneLine(CodePage::toUtf8Lossy(lineFrom(text, lineStart, lineEnd))) << '\n';
        lineStart = lineEnd + 1;
        ++lineNumber;
    }
}

int grep(const std::vector<std::string>& words, const std::string& path, std::ostream& out, std::ostream& err) {
    std::string query;
    for (const std::string& word : words) {
        std::string converted;
        CodePage::EncodeFailure failure;
        if (!CodePage::fromArgument(word, converted, &failure)) {
            err << "lkbook: cannot search for '" << Files::forDisplay(word) << "': ";
            if (failure.codePoint == 0xFFFFFFFF) {
                err << "it is not text in the encoding of the command line\n";
            } else {
                err << "character " << failure.position + 1 << " (" << CodePage::describeCodePoint(failure.codePoint)
                    << ") has no code in code page 932\n";
            }
            return UsageError;
        }
        query += converted;
        query += ' ';
    }
    const TextMatcher matcher(query);
    if (matcher.empty()) {
        err << "lkbook: WORDS hold nothing but blanks\nRun 'lkbook grep --help' for more information.\n";
        return UsageError;
    }
    Pages pages;
    if (!readSoundBook(path, pages, err)) {
        return Refused;
    }
    bool found = false;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (matcher.matchesAll(pages[i]->title, pages[i]->text)) {
            printMatchingPage(i, *pages[i], matcher, out);
            found = true;
        }
    }
    if (!found) {
        err << "lkbook: no page of " << quoted(path) << " holds "
            << (matcher.words().size() == 1 ? "the word" : "every word") << "\n";
        return Refused;
    }
    return Success;
}

int dump(const std::string& path, std::ostream& out, std::ostream& err) {
    Pages pages;
    if (!readSoundBook(path, pages, err)) {
        return Refused;
    }
    out << BookJson::toJson(pages).dump(2) << '\n';
    return Success;
}

// nlohmann's messages begin with "[json.exception.parse_error.101] ".
std::string withoutExceptionTag(const std::string& message) {
    const auto end = message.find("] ");
    return message.rfind("[json.", 0) == 0 && end != std::string::npos ? message.substr(end + 2) : message;
}

int build(const std::string& jsonPath, const std::string& bookPath, std::istream& in, std::ostream& out,
          std::ostream& err) {
    std::string text;
    const bool fromInput = jsonPath == "-";
    if (fromInput) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } else if (!Files::readWhole(jsonPath, text)) {
        err << "lkbook: cannot read " << quoted(jsonPath) << "\n";
        return Refused;
    }
    const std::string source = fromInput ? std::string("standard input") : quoted(jsonPath);
    Pages pages;
    try {
        pages = BookJson::fromJson(nlohmann::json::parse(text));
    } catch (const nlohmann::json::exception& error) {
        err << "lkbook: " << source << " is not JSON: " << withoutExceptionTag(error.what())
            << "\nlkbook: no book was written\n";
        return Refused;
    } catch (const BookJson::InputError& error) {
        err << "lkbook: " << source << ": " << error.what() << "\nlkbook: no book was written\n";
        return Refused;
    }
    Book book;
    for (auto& page : pages) {
        book.append(std::move(page));
    }
    if (!book.save(bookPath)) {
        err << "lkbook: cannot write " << quoted(bookPath) << "; a file that was there is unchanged\n";
        return Refused;
    }
    out << "wrote " << pagesWord(book.count()) << " to " << quoted(bookPath) << "\n";
    return Success;
}

int exportPages(const std::string& path, const std::string& folder, std::ostream& out, std::ostream& err) {
    Pages pages;
    if (!readSoundBook(path, pages, err)) {
        return Refused;
    }
    const auto folderPath = Files::fromArgument(folder);
    if (!Files::makeFolder(folderPath)) {
        err << "lkbook: cannot create the folder " << quoted(folder) << "\n";
        return Refused;
    }
    const auto count = static_cast<unsigned>(pages.size());
    for (unsigned i = 0; i < count; ++i) {
        const Page& page = *pages[i];
        const std::string name = Export::fileName(i, count, CodePage::toUtf8Lossy(page.title));
        bool lossless = true;
        const std::string text = Export::text(page.text, lossless);
        if (!Files::writeWhole(Files::child(folderPath, name), text)) {
            err << "lkbook: cannot write '" << name << "' in " << quoted(folder) << "\n";
            return Refused;
        }
        if (!lossless) {
            err << "lkbook: warning: the text of page " << i
                << " holds bytes that are not code page 932; they were written as U+FFFD\n";
        }
    }
    out << "wrote " << pagesWord(count) << " to " << quoted(folder) << "\n";
    return Success;
}

int salvage(const std::string& path, const std::string& outPath, std::ostream& out, std::ostream& err) {
    if (Files::sameFile(path, outPath)) {
        err << "lkbook: OUT must be another file than FILE: salvage never writes over the damaged book\n";
        return UsageError;
    }
    Pages pages;
    BookFileDamage damage;
    if (!BookFile::inspect(path, pages, damage)) {
        cannotOpen(path, err);
        return Refused;
    }
    if (!damage.sound()) {
        out << "damage: " << damage.describe() << "\n";
    }
    if (pages.empty() && !damage.sound()) {
        out << "no page can be read whole; nothing was written\n";
        return Refused;
    }
    const auto saved = static_cast<std::uint32_t>(pages.size());
    Book book;
    for (auto& page : pages) {
        book.append(std::move(page));
    }
    if (!book.save(outPath)) {
        err << "lkbook: cannot write " << quoted(outPath) << "; a file that was there is unchanged\n";
        return Refused;
    }
    if (damage.sound()) {
        out << "the book is sound: all " << pagesWord(saved) << " written to " << quoted(outPath);
        if (damage.trailingBytes > 0) {
            out << "; the " << bytesWord(damage.trailingBytes) << " after the last page "
                << agreeing(damage.trailingBytes, "was", "were") << " not copied";
        }
        out << "\n";
        return Success;
    }
    out << "salvaged " << saved << " of " << pagesWord(damage.declaredCount) << " into " << quoted(outPath) << "\n";
    out << "lost: page " << saved;
    if (damage.declaredCount > saved + 1) {
        out << " to page " << damage.declaredCount - 1 << " (" << pagesWord(damage.declaredCount - saved) << ")";
    }
    out << ": the record of page " << saved
        << " is damaged, and records after a damaged one cannot be found reliably\n";
    const std::uint64_t end = Salvage::endOfRecords(path, saved);
    if (end > 0 && end < damage.fileSize) {
        out << "lost: the last " << bytesWord(damage.fileSize - end) << " of the file, from byte offset " << end << ", "
            << agreeing(damage.fileSize - end, "was", "were") << " not recovered\n";
    }
    return Success;
}

int merge(const std::string& oursPath, const std::string& theirsPath, const std::string* basePath,
          const std::string& outPath, std::ostream& out, std::ostream& err) {
    for (const std::string* input : {&oursPath, &theirsPath, basePath}) {
        if (input && Files::sameFile(*input, outPath)) {
            err << "lkbook: OUT must be another file than A, B and BASE: merge never writes over a book it reads\n";
            return UsageError;
        }
    }
    Pages ours, theirs, base;
    if (!readSoundBook(oursPath, ours, err) || !readSoundBook(theirsPath, theirs, err) ||
        (basePath && !readSoundBook(*basePath, base, err))) {
        err << "lkbook: no book was written\n";
        return Refused;
    }
    BookMerge::Result merged = basePath ? BookMerge::merge(BookMerge::baseOf(base), ours, std::move(theirs))
                                        : BookMerge::mergeWithoutBase(ours, std::move(theirs));
    Book book;
    book.replacePages(std::move(merged.pages));
    if (!book.save(outPath)) {
        err << "lkbook: cannot write " << quoted(outPath) << "; a file that was there is unchanged\n";
        return Refused;
    }
    out << "wrote " << pagesWord(book.count()) << " to " << quoted(outPath);
    const std::size_t conflicts = merged.conflicts.size();
    if (conflicts == 0) {
        out << ", no conflicts\n";
        return Success;
    }
    out << ", " << conflicts << (conflicts == 1 ? " conflict" : " conflicts")
        << " kept twice (B's version, then A's with " << CodePage::toUtf8Lossy(BookMerge::conflictMark)
        << " after its title):";
    for (std::size_t i = 0; i < conflicts; ++i) {
        out << (i == 0 ? " \"" : ", \"") << oneLine(CodePage::toUtf8Lossy(merged.conflicts[i].title)) << '"';
    }
    out << "\n";
    return Success;
}

const char kExitCodes[] = "Exit codes: 0 success; 1 a damaged or unreadable input, or an output that could\n"
                          "not be written, or for grep no page that matched; 2 a mistake in the command\n"
                          "line.";

} // namespace

int run(const std::vector<std::string>& arguments, std::istream& in, std::ostream& out, std::ostream& err) {
    CLI::App app("Checks, lists, searches, converts and rescues Leafkeeper book files.", "lkbook");
    app.require_subcommand(1);
    app.footer(std::string("Run 'lkbook COMMAND --help' for the details of a command.\n") + kExitCodes + "\n");

    std::string file;
    std::string second;
    std::vector<std::string> words;

    auto* checkCommand = app.add_subcommand("check", "Tell whether FILE is a sound book");
    checkCommand->add_option("FILE", file, "the book file")->required()->type_name("");
    checkCommand->footer("Prints \"sound book: N pages\" and exits with 0 for a sound book. Describes the\n"
                         "damage with its byte offset and exits with 1 for a damaged book, which includes\n"
                         "a book that goes on after its last page (its page count may have shrunk, and\n"
                         "Leafkeeper refuses to open it). Exits with 1 when FILE cannot be opened.\n");

    auto* listCommand = app.add_subcommand("list", "List the pages of FILE, one line per page");
    listCommand->add_option("FILE", file, "the book file")->required()->type_name("");
    listCommand->footer("Each line holds five fields separated by tabs: the page index (from 0), the\n"
                        "size of the text in bytes, the update time in local time\n"
                        "(\"2003-01-01T09:05:07\", or \"-\" for never), \"floating\" or \"-\", and the title in\n"
                        "UTF-8. A damaged book is refused with exit code 1.\n");

    auto* grepCommand = app.add_subcommand("grep", "Print the pages of FILE that hold every one of WORDS");
    grepCommand->positionals_at_end();
    grepCommand->add_option("WORDS", words, "the words to look for")->required()->type_name("");
    grepCommand->add_option("FILE", file, "the book file")->required()->type_name("");
    grepCommand->footer("A page matches when each word is in its title or its text. For each such page\n"
                        "a line holds its index (from 0), a tab and its title; then each line of its\n"
                        "text that holds any of the words follows as a tab, the line number (from 1),\n"
                        "a tab and the line. All is UTF-8; tabs and line breaks inside a title or a\n"
                        "line become blanks. Words are split at blanks, within an argument too. A\n"
                        "match ignores the differences between full-width and half-width forms\n"
                        u8"(ＡＢＣ and ABC, ｶﾞｲﾄﾞ and ガイド), hiragana and katakana, and upper and\n"
                        "lower case; it never begins inside a character. A first word that begins\n"
                        "with '-' follows '--'.\n"
                        "Exit codes: 0 when a page matched; 1 when none did, or FILE is a damaged book\n"
                        "or cannot be opened (the message says which); 2 for a mistake in the command\n"
                        "line, such as a word with a character that code page 932 cannot hold.\n");

    auto* dumpCommand = app.add_subcommand("dump", "Write the whole book FILE as JSON to standard output");
    dumpCommand->add_option("FILE", file, "the book file")->required()->type_name("");
    dumpCommand->footer("The JSON is UTF-8: {\"pages\": [...]} with every field of every page. Colours\n"
                        "are \"auto\" or \"#RRGGBB\" (\"0xAABBGGRR\" for the rare value with a non-zero top\n"
                        "byte), frame styles \"raised\", \"flat\" or \"sunken\" (an integer for any other\n"
                        "value), update times UTC such as \"2003-01-01T00:05:07Z\" or null for never. A\n"
                        "string whose code page 932 bytes would not convert back unchanged is written\n"
                        "as {\"cp932Bytes\": \"<hex>\"}. 'lkbook build' makes the same file again, byte for\n"
                        "byte. A damaged book is refused with exit code 1.\n");

    auto* buildCommand = app.add_subcommand("build", "Make the book FILE from JSON as 'lkbook dump' writes it");
    buildCommand->add_option("JSON", second, "the JSON file, or - for standard input")->required()->type_name("");
    buildCommand->add_option("FILE", file, "the book file to write")->required()->type_name("");
    buildCommand->footer("Fields a page leaves out take the values of a new page; unknown fields, wrong\n"
                         "types, malformed colours, times and frame styles, and characters that code\n"
                         "page 932 cannot hold are refused with exit code 1 and a message naming the\n"
                         "page (from 0) and the field, and then no file is written. The book is written\n"
                         "as safely as Leafkeeper saves: a file that was there stays intact unless the\n"
                         "new one was written completely.\n");

    auto* exportCommand = app.add_subcommand("export", "Write each page of FILE as a UTF-8 text file into DIR");
    exportCommand->add_option("FILE", file, "the book file")->required()->type_name("");
    exportCommand->add_option("DIR", second, "the folder for the text files; created when missing")
        ->required()
        ->type_name("");
    exportCommand->footer("Files are named by page index and title, such as \"003 Plans.txt\"; characters\n"
                          "that file names cannot hold become \"_\". Line breaks are LF. Files of the same\n"
                          "names are replaced, other files in DIR are left alone. Bytes that are not code\n"
                          "page 932 are written as U+FFFD with a warning. A damaged book is refused with\n"
                          "exit code 1.\n");

    auto* salvageCommand =
        app.add_subcommand("salvage", "Copy every page of a damaged FILE that can be read whole into OUT");
    salvageCommand->add_option("FILE", file, "the damaged book file")->required()->type_name("");
    salvageCommand->add_option("OUT", second, "the new book file; must not be FILE")->required()->type_name("");
    salvageCommand->footer("Reports the damage, the pages lost and the bytes not recovered. The pages\n"
                           "before the damaged record are kept; later records cannot be found reliably and\n"
                           "are lost. Exits with 0 when OUT was written (also for a sound FILE, which is\n"
                           "copied whole), with 1 when no page could be read (OUT is then not written) or\n"
                           "OUT cannot be written, and with 2 when OUT is FILE itself.\n");

    std::string outPath;
    std::string basePath;
    auto* mergeCommand = app.add_subcommand("merge", "Merge two versions A and B of a book into OUT");
    mergeCommand->add_option("A", file, "one version of the book (ours)")->required()->type_name("");
    mergeCommand->add_option("B", second, "the other version (theirs)")->required()->type_name("");
    mergeCommand->add_option("-o,--output", outPath, "the merged book to write; must not be A, B or BASE")
        ->required()
        ->type_name("OUT");
    auto* baseOption =
        mergeCommand->add_option("--base", basePath, "the version both were made from")->type_name("BASE");
    mergeCommand->footer(std::string("Without --base, A and B are two versions of one book that both changed, such\n"
                                     "as a book and the copy a synchronising service made of it: a page found in\n"
                                     "both is written once (with A's other fields when only those differ), every\n"
                                     "other page of both is kept, in A's order, B's own pages after the page they\n"
                                     "followed in B. With --base, BASE is the version both were made from: a page\n"
                                     "changed in one of A and B only is taken from there; a page deleted in one is\n"
                                     "left out when the other left it unchanged and kept when the other changed\n"
                                     "it; a page changed in both takes its title and its text each from where it\n"
                                     "changed, its other fields from A when both changed them. A page whose title\n"
                                     "or text A and B changed differently (without --base: that differs between\n"
                                     "them) is kept twice, B's version and then A's with \"") +
                         CodePage::toUtf8Lossy(BookMerge::conflictMark) +
                         "\"\n"
                         "after its title; the summary names these pages. OUT is written as safely as\n"
                         "Leafkeeper saves. Exits with 1 for a damaged or unreadable input (nothing is\n"
                         "then written) or an OUT that cannot be written, and with 2 when OUT is A, B\n"
                         "or BASE.\n");

    app.failure_message([](const CLI::App*, const CLI::Error& error) {
        return std::string("lkbook: ") + error.what() + "\nRun 'lkbook --help' for more information.\n";
    });

    // A missing or unknown command deserves plainer words than CLI11's
    // "A subcommand is required" and "arguments were not expected".
    const char* const commandList = "the commands are check, list, grep, dump, build, export, salvage and merge";
    if (arguments.empty()) {
        err << "lkbook: a command is required; " << commandList << "\nRun 'lkbook --help' for more information.\n";
        return UsageError;
    }
    const std::string& first = arguments.front();
    if (first.size() > 1 && first[0] == '-' && first != "-h" && first != "--help") {
        err << "lkbook: unknown option '" << first << "'; " << commandList
            << "\nRun 'lkbook --help' for more information.\n";
        return UsageError;
    }
    if (!first.empty() && first[0] != '-' &&
        std::find(std::begin(kCommands), std::end(kCommands), first) == std::end(kCommands)) {
        err << "lkbook: unknown command '" << first << "'; " << commandList
            << "\nRun 'lkbook --help' for more information.\n";
        return UsageError;
    }

    // grep takes no options; CLI11 would complain only of a missing FILE.
    if (first == "grep" && arguments.size() > 1 && arguments[1].size() > 1 && arguments[1][0] == '-' &&
        arguments[1] != "--" && arguments[1] != "-h" && arguments[1] != "--help") {
        err << "lkbook: unknown option '" << arguments[1] << "'; a first word that begins with '-' follows '--'"
            << "\nRun 'lkbook grep --help' for more information.\n";
        return UsageError;
    }

    std::vector<std::string> reversed(arguments.rbegin(), arguments.rend());
    try {
        app.parse(reversed);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? Success : UsageError;
    }

    if (*checkCommand) {
        return check(file, out, err);
    }
    if (*listCommand) {
        return list(file, out, err);
    }
    if (*grepCommand) {
        return grep(words, file, out, err);
    }
    if (*dumpCommand) {
        return dump(file, out, err);
    }
    if (*buildCommand) {
        return build(second, file, in, out, err);
    }
    if (*exportCommand) {
        return exportPages(file, second, out, err);
    }
    if (*salvageCommand) {
        return salvage(file, second, out, err);
    }
    if (*mergeCommand) {
        return merge(file, second, *baseOption ? &basePath : nullptr, outPath, out, err);
    }
    return UsageError;
}

} // namespace Lkbook
