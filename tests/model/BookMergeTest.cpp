#include "book/BookMerge.h"
#include "support/Pages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iterator>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <stdexcept>

using BookMerge::Pages;

namespace {

const std::string kMark = BookMerge::conflictMark;

// A page as "title|text|attribute|update time"; the attribute stands for the
// fields merged as a group (it is the selection start). A title ending in "!"
// carries the conflict mark. Fields left out take a new page's values.
std::unique_ptr<Page> pageOf(const std::string& shorthand) {
    std::vector<std::string> fields;
    std::istringstream in(shorthand);
    for (std::string field; std::getline(in, field, '|');) {
        fields.push_back(field);
    }
    auto page = std::make_unique<Page>();
    if (!fields.empty()) {
        page->title = fields[0];
        if (!page->title.empty() && page->title.back() == '!') {
            page->title.pop_back();
            page->title += kMark;
        }
    }
    page->text = fields.size() > 1 ? fields[1] : "";
    page->selectionStart = fields.size() > 2 ? std::stoi(fields[2]) : 0;
    page->updateTime = fields.size() > 3 ? std::stoi(fields[3]) : -1;
    return page;
}

std::string shorthandOf(const Page& page) {
    std::string title = page.title;
    if (title.size() >= kMark.size() && title.compare(title.size() - kMark.size(), kMark.size(), kMark) == 0) {
        title = title.substr(0, title.size() - kMark.size()) + "!";
    }
    return title + "|" + page.text + "|" + std::to_string(page.selectionStart) + "|" + std::to_string(page.updateTime);
}

std::vector<std::string> wordsOf(const char* list) {
    std::vector<std::string> words;
    std::istringstream in(list);
    for (std::string word; in >> word;) {
        words.push_back(word);
    }
    return words;
}

Pages pagesOf(const char* shorthands) {
    Pages pages;
    for (const std::string& shorthand : wordsOf(shorthands)) {
        pages.push_back(pageOf(shorthand));
    }
    return pages;
}

std::vector<std::string> shorthandsOf(const Pages& pages) {
    std::vector<std::string> shorthands;
    for (const auto& page : pages) {
        shorthands.push_back(shorthandOf(*page));
    }
    return shorthands;
}

std::vector<std::string> normalised(const char* shorthands) {
    return shorthandsOf(pagesOf(shorthands));
}

Pages copyOf(const Pages& pages) {
    Pages copy;
    for (const auto& page : pages) {
        copy.push_back(std::make_unique<Page>(*page));
    }
    return copy;
}

// "0 1 - 2": indices, "-" for none.
std::vector<std::size_t> indicesOf(const char* list) {
    std::vector<std::size_t> indices;
    for (const std::string& word : wordsOf(list)) {
        indices.push_back(word == "-" ? BookMerge::none : std::stoul(word));
    }
    return indices;
}

// What every result must satisfy, whatever the pages: each ours and theirs
// page is continued at most once, "same as ours" and "differs from theirs"
// tell the truth, the bases describe the merged pages and theirs, and each
// conflict is their version followed by our marked copy. Merged again with
// the file, as the program does while its merged book is not yet written,
// the merged book stays as it is.
void checkConsistent(const BookMerge::Result& result, const Pages& ours, const Pages& theirs) {
    ASSERT_EQ(result.oursIndex.size(), result.pages.size());
    ASSERT_EQ(result.theirsIndex.size(), result.pages.size());
    ASSERT_EQ(result.sameAsOurs.size(), result.pages.size());
    std::set<std::size_t> continuedOurs, continuedTheirs;
    for (std::size_t i = 0; i < result.pages.size(); ++i) {
        const std::size_t o = result.oursIndex[i], t = result.theirsIndex[i];
        if (o != BookMerge::none) {
            ASSERT_LT(o, ours.size());
            EXPECT_TRUE(continuedOurs.insert(o).second) << "ours page " << o << " continued twice";
        }
        if (t != BookMerge::none) {
            ASSERT_LT(t, theirs.size());
            EXPECT_TRUE(continuedTheirs.insert(t).second) << "theirs page " << t << " continued twice";
        }
        EXPECT_EQ(result.sameAsOurs[i], o != BookMerge::none && samePage(*result.pages[i], *ours[o])) << i;
    }
    bool sameAsTheirs = result.pages.size() == theirs.size();
    for (std::size_t i = 0; sameAsTheirs && i < theirs.size(); ++i) {
        sameAsTheirs = samePage(*result.pages[i], *theirs[i]);
    }
    EXPECT_EQ(result.differsFromTheirs, !sameAsTheirs);
    EXPECT_TRUE(result.base.pages == BookMerge::baseOf(result.pages).pages);
    EXPECT_TRUE(result.theirsBase.pages == BookMerge::baseOf(theirs).pages);
    for (const auto& conflict : result.conflicts) {
        ASSERT_EQ(conflict.copy, conflict.theirs + 1);
        ASSERT_LT(conflict.copy, result.pages.size());
        EXPECT_EQ(result.pages[conflict.copy]->title, conflict.title + kMark);
        EXPECT_EQ(result.theirsIndex[conflict.copy], BookMerge::none);
    }
    const BookMerge::Result again =
        BookMerge::merge(result.theirsBase, result.pages, copyOf(theirs), &result.theirsIndex);
    EXPECT_EQ(shorthandsOf(again.pages), shorthandsOf(result.pages)) << "merged again";
    EXPECT_TRUE(again.conflicts.empty() && again.differsFromTheirs == result.differsFromTheirs);
}

std::vector<std::string> conflictTitles(const BookMerge::Result& result) {
    std::vector<std::string> titles;
    for (const auto& conflict : result.conflicts) {
        titles.push_back(conflict.title);
    }
    return titles;
}

// Books as pages separated by blanks; index lists as "0 1 - 2" ("-" for none).
struct MergeCase {
    const char* name;
    const char *base, *ours, *theirs;
    const char* oursOrigins; // nullptr: left to the merge
    const char* merged;
    const char* oursIndex;
    const char* theirsIndex;
    const char* conflicts; // their titles
};

} // namespace

// Each field counts in the record hash, in exactly one of title, text and
// attributes, except the update time (only the record: it goes with the text)
// and what the file does not store (a face name after a zero byte). Moving
// bytes between title and text changes the record.
TEST(BookMerge, EachFieldCountsInTheHashesItBelongsTo) {
    enum Hash { Title = 1, Text = 2, Attributes = 4, Record = 8 };
    const std::pair<const char*, std::function<void(Page&)>> changes[] = {
        {"update time", [](Page& p) { p.updateTime = 5; }},
        {"read-only", [](Page& p) { p.readOnly = true; }},
        {"IME", [](Page& p) { p.imeAutoOn = true; }},
        {"selection start", [](Page& p) { p.selectionStart = 1; }},
        {"selection end", [](Page& p) { p.selectionEnd = 1; }},
        {"floating", [](Page& p) { p.floating = true; }},
        {"always on top", [](Page& p) { p.alwaysOnTop = true; }},
        {"fixed size", [](Page& p) { p.fixedSize = true; }},
        {"show title", [](Page& p) { p.showTitle = true; }},
        {"rect left", [](Page& p) { p.floatingRect.left = 0; }},
        {"rect top", [](Page& p) { p.floatingRect.top = 0; }},
        {"rect right", [](Page& p) { p.floatingRect.right = 0; }},
        {"rect bottom", [](Page& p) { p.floatingRect.bottom = 0; }},
        {"frame colour", [](Page& p) { p.format.frameColor = 0; }},
        {"frame style", [](Page& p) { p.format.frameStyle = Sunken; }},
        {"title back colour", [](Page& p) { p.format.titleFormat.backColor = 0; }},
        {"title text colour", [](Page& p) { p.format.titleFormat.textColor = 0; }},
        {"title face", [](Page& p) { p.format.titleFormat.fontFace = "ＭＳ 明朝"; }},
        {"title size", [](Page& p) { p.format.titleFormat.fontSize = 11; }},
        {"editor back colour", [](Page& p) { p.format.editorFormat.backColor = 0; }},
        {"editor text colour", [](Page& p) { p.format.editorFormat.textColor = 0; }},
        {"editor face", [](Page& p) { p.format.editorFormat.fontFace = "ＭＳ 明朝"; }},
        {"editor size", [](Page& p) { p.format.editorFormat.fontSize = 11; }},
        {"title", [](Page& p) { p.title = "xy"; }},
        {"text", [](Page& p) { p.text = "z"; }},
        {"title to text", [](Page& p) { p.title = "a", p.text = "bc"; }},
        {"face after zero", [](Page& p) { p.format.editorFormat.fontFace += std::string("\0x", 2); }},
    };
    const int expected[] = {Record,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Attributes,
                            Record | Title,
                            Record | Text,
                            Record | Title | Text,
                            0};
    static_assert(std::size(changes) == std::size(expected));
    Page original;
    original.title = "ab";
    original.text = "c";
    const BookMerge::PageHashes before = BookMerge::hashPage(original);
    for (std::size_t i = 0; i < std::size(changes); ++i) {
        Page changed = original;
        changes[i].second(changed);
        const BookMerge::PageHashes after = BookMerge::hashPage(changed);
        const int differing = (after.title != before.title ? Title : 0) | (after.text != before.text ? Text : 0) |
                              (after.attributes != before.attributes ? Attributes : 0) |
                              (after.record != before.record ? Record : 0);
        EXPECT_EQ(differing, expected[i]) << changes[i].first;
    }
    const Pages pages = unlikePages();
    const BookMerge::Base base = BookMerge::baseOf(pages);
    ASSERT_EQ(base.pages.size(), pages.size());
    for (std::size_t i = 0; i < pages.size(); ++i) {
        EXPECT_TRUE(base.pages[i] == BookMerge::hashPage(*pages[i])) << i;
    }
}

// Inputs of every length up to 100 bytes, and each single bit flipped in a
// 100-byte input, all hash differently: no byte is left out, whatever its
// place in the words, the lanes and the tail.
TEST(BookMerge, EveryByteOfTheInputCounts) {
    std::string bytes(100, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>(i * 37 + 11);
    }
    std::set<std::uint64_t> seen;
    for (std::size_t length = 0; length <= bytes.size(); ++length) {
        EXPECT_TRUE(seen.insert(BookMerge::hashBytes(bytes.data(), length)).second) << "length " << length;
    }
    for (std::size_t bit = 0; bit < bytes.size() * 8; ++bit) {
        std::string flipped = bytes;
        flipped[bit / 8] = static_cast<char>(flipped[bit / 8] ^ (1 << (bit % 8)));
        EXPECT_TRUE(seen.insert(BookMerge::hashBytes(flipped.data(), flipped.size())).second) << "bit " << bit;
    }
}

// Each rule of the three-way merge, on pages "title|text|attribute|time".
TEST(BookMerge, ThreeWayMergeKeepsWhatEachSideChanged) {
    const MergeCase cases[] = {
        {"nothing changed", "A|a B|b", "A|a B|b", "A|a B|b", nullptr, "A|a B|b", "0 1", "0 1", ""},
        {"ours edits a text", "A|a B|b", "A|a2|0|5 B|b", "A|a B|b", nullptr, "A|a2|0|5 B|b", "0 1", "0 1", ""},
        {"theirs edits a text", "A|a B|b", "A|a B|b", "A|a2 B|b", nullptr, "A|a2 B|b", "0 1", "0 1", ""},
        {"each side edits another page", "A|a B|b", "A|a2 B|b", "A|a B|b2", nullptr, "A|a2 B|b2", "0 1", "0 1", ""},
        {"text changed differently on both sides", "A|a B|b", "A|mine B|b", "A|yours B|b", nullptr,
         "A|yours A!|mine B|b", "- 0 1", "0 - 1", "A"},
        {"title changed differently on both sides", "A|a", "X|a", "Y|a", nullptr, "Y|a X!|a", "- 0", "0 -", "X"},
        {"the same edit on both sides", "A|a B|b", "A|same B|b", "A|same B|b", nullptr, "A|same B|b", "0 1", "0 1", ""},
        {"the same text typed at two times", "A|a|0|1", "A|same|0|100", "A|same|0|200", nullptr, "A|same|0|200", "0",
         "0", ""},
        {"title on one side, text on the other", "A|a", "X|a", "A|z", nullptr, "X|z", "0", "0", ""},
        {"attributes from ours, text and its time from theirs", "A|a|0|1", "A|a|7|1", "A|z|0|9", nullptr, "A|z|7|9",
         "0", "0", ""},
        {"attributes changed on both sides: ours", "A|a|0|1", "A|a|7|1", "A|z|8|9", nullptr, "A|z|7|9", "0", "0", ""},
        {"attributes changed by theirs alone", "A|a|0|1", "A|a2|0|5", "A|a|8|1", nullptr, "A|a2|8|5", "0", "0", ""},
        {"ours deletes an unchanged page", "A|a B|b", "B|b", "A|a B|b", nullptr, "B|b", "0", "1", ""},
        {"theirs deletes an unchanged page", "A|a B|b", "A|a B|b", "B|b", nullptr, "B|b", "1", "0", ""},
        {"ours deletes a page theirs changed", "A|a B|b", "B|b", "A|a2 B|b", nullptr, "A|a2 B|b", "- 0", "0 1", ""},
        {"theirs deletes a page ours changed", "A|a B|b", "A|a2 B|b", "B|b", nullptr, "A|a2 B|b", "0 1", "- 0", ""},
        {"theirs deletes a page ours only floated: deleted", "A|a B|b", "A|a|3 B|b", "B|b", nullptr, "B|b", "1", "0",
         ""},
        {"ours deletes a page theirs only floated: deleted", "A|a B|b", "B|b", "A|a|3 B|b", nullptr, "B|b", "0", "1",
         ""},
        {"both delete a page", "A|a B|b", "B|b", "B|b", nullptr, "B|b", "0", "0", ""},
        {"new pages after the page they followed", "A|a B|b C|c", "A|a N|n B|b C|c", "A|a B|b M|m C|c", nullptr,
         "A|a N|n B|b M|m C|c", "0 1 2 - 3", "0 - 1 2 3", ""},
        {"new pages after the same page: theirs, then ours", "A|a B|b", "A|a N|n B|b", "A|a M|m B|b", nullptr,
         "A|a M|m N|n B|b", "0 - 1 2", "0 1 - 2", ""},
        {"new first pages", "A|a", "N|n A|a", "M|m A|a", nullptr, "M|m N|n A|a", "- 0 1", "0 - 1", ""},
        {"runs of new pages stay together", "A|a B|b", "A|a N|1 N|2 B|b", "A|a M|1 M|2 B|b", nullptr,
         "A|a M|1 M|2 N|1 N|2 B|b", "0 - - 1 2 3", "0 1 2 - - 3", ""},
        {"a move on ours", "A|a B|b C|c", "C|c A|a B|b", "A|a B|b C|c", nullptr, "C|c A|a B|b", "0 1 2", "2 0 1", ""},
        {"a move on theirs and a page new on ours", "A|a B|b C|c", "A|a N|n B|b C|c", "C|c A|a B|b", nullptr,
         "C|c A|a N|n B|b", "3 0 1 2", "0 1 - 2", ""},
        {"following theirs, new pages after one page: theirs, then ours", "A|a B|b", "A|a N|n B|b", "B|b A|a M|m",
         nullptr, "B|b A|a M|m N|n", "2 0 - 1", "0 1 2 -", ""},
        {"both move: ours wins, their new page after its page", "A|a B|b C|c", "B|b A|a C|c", "A|a C|c B|b M|m",
         nullptr, "B|b M|m A|a C|c", "0 - 1 2", "2 3 0 1", ""},
        {"moved and edited on one side", "A|a B|b C|c", "C|c2 A|a B|b", "A|a B|b C|c", nullptr, "C|c2 A|a B|b", "0 1 2",
         "2 0 1", ""},
        {"empty books", "", "", "", nullptr, "", "", "", ""},
        {"a new book on both sides", "", "A|a", "B|b", nullptr, "B|b A|a", "- 0", "0 -", ""},
        {"ours deletes every page", "A|a B|b", "", "A|a B|b", nullptr, "", "", "", ""},
        {"ours deletes every page, theirs changed one", "A|a B|b", "", "A|a2 B|b", nullptr, "A|a2", "-", "0", ""},
        {"equal titles: the nearest page", "M|1 M|2 M|3", "M|1 M|2x M|3x", "M|1 M|2y M|3", nullptr,
         "M|1 M|2y M!|2x M|3x", "0 - 1 2", "0 1 - 2", "M"},
        {"equal titles: one deleted, one edited", "M|1 M|2 M|3", "M|1 M|3x", "M|1 M|2 M|3", nullptr, "M|1 M|3x", "0 1",
         "0 1", ""},
        {"a blank page given a title", "A|a |", "A|a 買い物|", "A|a ||5", nullptr, "A|a 買い物||5", "0 1", "0 1", ""},
        {"two blank pages written in: kept apart", "| |", "|x |y", "||5 |", nullptr, "|x |y", "0 1", "- -", ""},
        {"untitled pages: an edit is not pinned on a guess", "|1 |2", "|1x", "|1 T|2", nullptr, "T|2 |1x", "- 0", "1 -",
         ""},
        {"title and text changed: a new page", "A|a B|b", "X|x B|b", "A|a2 B|b", nullptr, "A|a2 X|x B|b", "- 0 1",
         "0 - 1", ""},
        {"ours tells where its pages came from", "M|1 M|2", "M|2x M|1x", "M|1 M|2y", "1 0", "M|2y M!|2x M|1x", "- 0 1",
         "1 - 0", "M"},
        {"a repeated or unknown origin: a new page", "A|a", "A|a A|a B|b", "A|a", "0 0 7", "A|a A|a B|b", "0 1 2",
         "0 - -", ""},
    };
    for (const MergeCase& row : cases) {
        SCOPED_TRACE(row.name);
        BookMerge::Base base;
        for (const std::string& shorthand : wordsOf(row.base)) {
            base.pages.push_back(BookMerge::hashPage(*pageOf(shorthand))); // the merge sees hashes only
        }
        const Pages ours = pagesOf(row.ours);
        const Pages theirs = pagesOf(row.theirs);
        const std::vector<std::size_t> origins =
            row.oursOrigins ? indicesOf(row.oursOrigins) : std::vector<std::size_t>();
        const BookMerge::Result result =
            BookMerge::merge(base, ours, copyOf(theirs), row.oursOrigins ? &origins : nullptr);
        EXPECT_EQ(shorthandsOf(result.pages), normalised(row.merged));
        EXPECT_EQ(result.oursIndex, indicesOf(row.oursIndex));
        EXPECT_EQ(result.theirsIndex, indicesOf(row.theirsIndex));
        EXPECT_EQ(conflictTitles(result), wordsOf(row.conflicts));
        checkConsistent(result, ours, theirs);
    }
    const std::vector<std::size_t> tooFew;
    EXPECT_THROW(BookMerge::merge(BookMerge::Base(), pagesOf("A|a"), Pages(), &tooFew), std::invalid_argument);
}

// Two books without a base: pages identical in both, or differing only in
// fields nobody types, once; pages sharing their title or their text twice,
// marked; all others from both.
TEST(BookMerge, TwoWayMergeKeepsEveryPageOfBoth) {
    const MergeCase cases[] = {
        {"the same book", "", "A|a B|b", "A|a B|b", nullptr, "A|a B|b", "0 1", "0 1", ""},
        {"a page added on each side", "", "A|a N|n B|b", "A|a B|b M|m", nullptr, "A|a N|n B|b M|m", "0 1 2 -",
         "0 - 1 2", ""},
        {"a page written differently", "", "A|mine B|b", "A|yours B|b", nullptr, "A|yours A!|mine B|b", "- 0 1",
         "0 - 1", "A"},
        {"a page titled differently", "", "X|a", "A|a", nullptr, "A|a X!|a", "- 0", "0 -", "X"},
        {"other fields differ: ours, with the later time", "", "A|a|3|1", "A|a|5|9", nullptr, "A|a|3|9", "0", "0", ""},
        {"ours empty", "", "", "A|a", nullptr, "A|a", "-", "0", ""},
        {"theirs empty", "", "A|a", "", nullptr, "A|a", "0", "-", ""},
        {"another order: ours", "", "B|b A|a", "A|a B|b", nullptr, "B|b A|a", "0 1", "1 0", ""},
        {"nothing in common", "", "A|a", "B|b", nullptr, "B|b A|a", "- 0", "0 -", ""},
    };
    for (const MergeCase& row : cases) {
        SCOPED_TRACE(row.name);
        const Pages ours = pagesOf(row.ours);
        const Pages theirs = pagesOf(row.theirs);
        const BookMerge::Result result = BookMerge::mergeWithoutBase(ours, copyOf(theirs));
        EXPECT_EQ(shorthandsOf(result.pages), normalised(row.merged));
        EXPECT_EQ(result.oursIndex, indicesOf(row.oursIndex));
        EXPECT_EQ(result.theirsIndex, indicesOf(row.theirsIndex));
        EXPECT_EQ(conflictTitles(result), wordsOf(row.conflicts));
        checkConsistent(result, ours, theirs);
    }
}

namespace {

// One side's edits of a random base, and what they did to each base page.
struct EditedSide {
    Pages pages;
    std::vector<std::size_t> origins; // for each page, the base page it came from, or none
};

const char* const kTitles[] = {"", "メモ", "予定", "A"};

EditedSide editRandomly(const Pages& base, std::mt19937& random, const std::string& prefix) {
    EditedSide side;
    side.pages = copyOf(base);
    for (std::size_t i = 0; i < base.size(); ++i) {
        side.origins.push_back(i);
    }
    const auto pick = [&](std::size_t count) { return static_cast<std::size_t>(random() % count); };
    int counter = 0;
    const std::size_t edits = pick(7);
    for (std::size_t e = 0; e < edits; ++e) {
        const std::size_t what = pick(6);
        if (what == 3 || side.pages.empty()) { // a new page, sometimes blank
            auto page = std::make_unique<Page>();
            page->title = kTitles[pick(4)];
            page->text = pick(3) == 0 ? "" : prefix + std::to_string(counter++);
            const std::size_t at = pick(side.pages.size() + 1);
            side.pages.insert(side.pages.begin() + static_cast<std::ptrdiff_t>(at), std::move(page));
            side.origins.insert(side.origins.begin() + static_cast<std::ptrdiff_t>(at), BookMerge::none);
            continue;
        }
        const std::size_t at = pick(side.pages.size());
        Page& page = *side.pages[at];
        if (what == 0) {
            page.text = prefix + std::to_string(counter);
            page.updateTime = counter++;
        } else if (what == 1) {
            page.title = kTitles[pick(4)];
        } else if (what == 2) {
            page.selectionStart = 100 + static_cast<int>(pick(3));
        } else if (what == 4) {
            side.pages.erase(side.pages.begin() + static_cast<std::ptrdiff_t>(at));
            side.origins.erase(side.origins.begin() + static_cast<std::ptrdiff_t>(at));
        } else {
            const std::size_t to = pick(side.pages.size());
            auto moved = std::move(side.pages[at]);
            const std::size_t origin = side.origins[at];
            side.pages.erase(side.pages.begin() + static_cast<std::ptrdiff_t>(at));
            side.origins.erase(side.origins.begin() + static_cast<std::ptrdiff_t>(at));
            side.pages.insert(side.pages.begin() + static_cast<std::ptrdiff_t>(to), std::move(moved));
            side.origins.insert(side.origins.begin() + static_cast<std::ptrdiff_t>(to), origin);
        }
    }
    return side;
}

// What a side did to base page b: kept it as it was, changed it (keeping or
// changing its text), or deleted it.
enum class Fate { Untouched, SameText, NewText, Deleted };

Fate fateOf(const EditedSide& side, const Pages& base, std::size_t b) {
    const auto at = std::find(side.origins.begin(), side.origins.end(), b);
    if (at == side.origins.end()) {
        return Fate::Deleted;
    }
    const Page& page = *side.pages[static_cast<std::size_t>(at - side.origins.begin())];
    if (samePage(page, *base[b])) {
        return Fate::Untouched;
    }
    return page.text == base[b]->text ? Fate::SameText : Fate::NewText;
}

std::map<std::string, int> textCounts(const Pages& pages) {
    std::map<std::string, int> counts;
    for (const auto& page : pages) {
        ++counts[page->text];
    }
    return counts;
}

} // namespace

// Random books edited at random on two sides (texts edited, titles and other
// fields changed, pages added, deleted and moved), merged with and without
// our origins: each text either side wrote is in the merged book exactly
// once; a page untouched on both sides is there once, as it was; a page one
// side left untouched is there with the other side's text, once, or not at all
// when the other side deleted it or changed its text; nothing else comes in.
// A merge without base keeps every text of both books, untouched pages once.
TEST(BookMerge, RandomEditsOnBothSidesLoseAndDuplicateNothing) {
    for (unsigned seed = 1; seed <= 400; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::mt19937 random(seed);
        Pages base;
        const std::size_t count = random() % 12;
        for (std::size_t i = 0; i < count; ++i) {
            auto page = std::make_unique<Page>();
            page->title = kTitles[random() % 4];
            page->text = random() % 6 == 0 ? "" : "b" + std::to_string(i);
            page->selectionStart = static_cast<int>(random() % 3);
            base.push_back(std::move(page));
        }
        const EditedSide ours = editRandomly(base, random, "o");
        const EditedSide theirs = editRandomly(base, random, "t");
        std::set<std::string> known;
        for (const Pages* pages : std::initializer_list<const Pages*>{&base, &ours.pages, &theirs.pages}) {
            for (const auto& page : *pages) {
                known.insert(page->text);
            }
        }

        for (const bool withOrigins : {false, true}) {
            SCOPED_TRACE(withOrigins ? "with our origins" : "guessing our origins");
            const BookMerge::Result result = BookMerge::merge(BookMerge::baseOf(base), ours.pages, copyOf(theirs.pages),
                                                              withOrigins ? &ours.origins : nullptr);
            checkConsistent(result, ours.pages, theirs.pages);
            auto counts = textCounts(result.pages);
            for (const auto& [text, times] : counts) {
                EXPECT_TRUE(known.count(text)) << "a text from nowhere: " << text;
            }
            for (const Pages* side : {&ours.pages, &theirs.pages}) {
                for (const auto& page : *side) {
                    const bool written = !page->text.empty() && page->text[0] != 'b';
                    EXPECT_TRUE(!written || counts[page->text] == 1) << "written text " << page->text;
                }
            }
            for (std::size_t b = 0; b < base.size(); ++b) {
                if (base[b]->text.empty()) {
                    continue;
                }
                const Fate mine = fateOf(ours, base, b), their = fateOf(theirs, base, b);
                const int times = counts[base[b]->text];
                if (mine == Fate::Untouched && their == Fate::Untouched) {
                    const bool whole = std::any_of(result.pages.begin(), result.pages.end(),
                                                   [&](const auto& page) { return samePage(*page, *base[b]); });
                    EXPECT_TRUE(times == 1 && whole) << "untouched page " << b;
                } else if (mine == Fate::Untouched || their == Fate::Untouched) {
                    const Fate other = mine == Fate::Untouched ? their : mine;
                    EXPECT_EQ(times, other == Fate::SameText ? 1 : 0) << "page " << b << " changed on one side";
                }
            }
        }

        const BookMerge::Result twoWay = BookMerge::mergeWithoutBase(ours.pages, copyOf(theirs.pages));
        checkConsistent(twoWay, ours.pages, theirs.pages);
        const auto counts = textCounts(twoWay.pages);
        for (const Pages* side : {&ours.pages, &theirs.pages}) {
            for (const auto& page : *side) {
                EXPECT_TRUE(counts.count(page->text)) << "lost without base: " << page->text;
            }
        }
        for (std::size_t b = 0; b < base.size(); ++b) {
            if (!base[b]->text.empty() && fateOf(ours, base, b) == Fate::Untouched &&
                fateOf(theirs, base, b) == Fate::Untouched) {
                EXPECT_EQ(counts.at(base[b]->text), 1) << "untouched page " << b << " without base";
            }
        }
        for (const auto& [text, times] : counts) {
            EXPECT_TRUE(known.count(text)) << "a text from nowhere without base: " << text;
        }
    }
}
