#pragma once

#include "book/Page.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Merging two versions of one book page by page, for a book kept on two
// computers: the running program merges its pages ("ours") with the file that
// changed under it ("theirs"), and lkbook merges two book files. The book
// file gives pages no identifier, so pages are recognised by hashes of their
// records. Whatever was typed on either side is kept: a page changed on one
// side only is taken from that side, a title or text changed differently on
// both sides is kept twice.
namespace BookMerge {

using Pages = std::vector<std::unique_ptr<Page>>;

// "No page" in the index lists below.
constexpr std::size_t none = static_cast<std::size_t>(-1);

// Appended to the title of our version of a page that both sides changed
// differently; it stands right after their version. A title that ends with
// it already is not marked twice. Code page 932.
inline constexpr char conflictMark[] = "（競合コピー）";

// A 64-bit hash of the bytes, read a word at a time. Hashes are compared
// within one run of a program and are not stored.
std::uint64_t hashBytes(const void* data, std::size_t size);

// What a merge needs to know of one page record.
struct PageHashes {
    std::uint64_t record = 0;     // every field, as the book file stores the record
    std::uint64_t title = 0;      // the title's bytes
    std::uint64_t text = 0;       // the text's bytes
    std::uint64_t attributes = 0; // every other field but the update time, which belongs with the text

    bool operator==(const PageHashes& other) const {
        return record == other.record && title == other.title && text == other.text && attributes == other.attributes;
    }
    bool operator!=(const PageHashes& other) const { return !(*this == other); }
};

PageHashes hashPage(const Page& page);

// What the program remembers of the book as it last read or wrote the file:
// the hashes of each page record, in book order.
struct Base {
    std::vector<PageHashes> pages;
};

Base baseOf(const Pages& pages);

// A page both sides changed differently, kept twice.
struct Conflict {
    std::string title;  // the title of our version, without the mark
    std::size_t theirs; // index of their version in the merged pages
    std::size_t copy;   // index of our marked copy, right after it
};

struct Result {
    // The merged book.
    Pages pages;
    // For each merged page, the index of the ours page it continues, or
    // `none` for a page ours did not have. Our marked copy of a conflicting
    // page continues that ours page; their version of it is new to ours.
    std::vector<std::size_t> oursIndex;
    // For each merged page, true when it holds exactly the values of the ours
    // page it continues (false for `none`): the program need not copy it.
    std::vector<bool> sameAsOurs;
    // For each merged page, the index of the theirs page it continues, or
    // `none`; our marked copy of a conflicting page continues none.
    std::vector<std::size_t> theirsIndex;
    std::vector<Conflict> conflicts;
    // false when the merged book is theirs page for page, byte for byte: the
    // file then needs no writing.
    bool differsFromTheirs = false;
    // The hashes of `pages`: the base to remember once they are in the file,
    // with each page's own index as its origin.
    Base base;
    // The hashes of theirs: the base to remember while the file still holds
    // theirs (the merged book not yet written), with `theirsIndex` as the
    // merged pages' origins.
    Base theirsBase;
};

// Merges ours and theirs, two versions of the book that `base` describes.
//
// Pages are recognised as follows (each side against the base on its own):
// - A page whose whole record equals a base page's is that page, unchanged.
//   Equal records found more than once pair by their places, nearest first.
// - Every other page is changed or new. The fallback pairs it with a base
//   page that no unchanged page claimed, in this order: the same title and
//   text (other fields changed), the same non-empty text (title changed), the
//   same non-empty title (text changed); among several candidates the one
//   nearest to where the page stands (counted from the last recognised page
//   before it) wins, and a page left without a candidate when many pages
//   compete counts as new. An empty title or text identifies a page only when
//   exactly one page on each side is left that could match that way (a new
//   blank page that was given a title or a text). A page that changed both
//   its title and its text is not recognised: it counts as new, and its base
//   page as deleted on that side.
// A wrong guess never loses typing: a page recognised wrongly still counts as
// changed, so it is kept; at worst a page appears twice, or a change from the
// other side (a new title, say) lands on a neighbouring page with the same
// title or text. `oursOrigins`, when given, replaces the guessing on our
// side: for each ours page the index of the base page it came from, or `none`
// for a new page (an index out of range, or one claimed before, counts as
// `none`). It must have an entry per ours page, else std::invalid_argument is
// thrown.
//
// A page changed on one side only is taken from that side. Changed on both:
// - title and text are each taken from the side that changed them; when both
//   changed the title, or both the text, to different values, the page is
//   kept twice: their version, and ours right after it with conflictMark
//   after its title. The same change on both sides is kept once.
// - the update time goes with the text (the later one when the texts agree);
// - all other fields go as one group: from ours when ours changed any of
//   them, else from theirs.
// A page deleted on one side is deleted unless the other side changed its
// title or text: then it is kept from that side. Other changes (the caret, a
// note moved, a colour) do not bring a deleted page back.
//
// Order: when only theirs moved pages (the base pages it keeps stand in
// another order than in the base) the merged book follows theirs' order,
// otherwise ours' order; when both moved pages, ours' order wins (their
// moves are undone, none of their pages is lost). Pages the followed side lacks
// (new on the other side, or deleted on the followed side but kept) stand
// right after the page they followed on their side, or first when they were
// first. Pages new on both sides after the same page: theirs, then ours.
//
// Their pages are moved into the result; ours are only read. The time is
// linear in the pages and their bytes (each side's pages are hashed once),
// apart from sorting the pages the fallback looks at.
Result merge(const Base& base, const Pages& ours, Pages theirs, const std::vector<std::size_t>* oursOrigins = nullptr);

// Merges two versions of a book without a base, such as a book and the copy
// a synchronising service made when both computers changed it. A page found
// on both sides is kept once: with the same record, or with the same title
// and text (the other fields from ours, the later update time). Pages that
// share only their title or their text (found as by merge()'s fallback) are
// kept twice, theirs and then ours marked, and listed as conflicts. All other
// pages are kept, in ours' order; theirs' own pages come right after the
// page they followed in theirs.
Result mergeWithoutBase(const Pages& ours, Pages theirs);

} // namespace BookMerge
