#include "book/SharedBook.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

SharedBook::SharedBook(Book& target) : book(target) {}

void SharedBook::remember(const FileStamp& stamp, std::int64_t now) {
    base = BookMerge::baseOf(book.allPages());
    owners.clear();
    for (const auto& page : book.allPages()) {
        owners.push_back(page.get());
    }
    fileStamp = stamp;
    rememberedAt = now;
    unsure = stamp.kind == FileStamp::Kind::File && now - stamp.modified < kUnsureFor;
}

void SharedBook::forget(const Page* page) {
    std::replace(owners.begin(), owners.end(), page, static_cast<const Page*>(nullptr));
}

SharedBook::Look SharedBook::look(const FileStamp& current, std::int64_t now) const {
    if (current != fileStamp) {
        return Look::Changed;
    }
    return unsure && now - rememberedAt >= kUnsureFor ? Look::Unsure : Look::Unchanged;
}

void SharedBook::confirm() {
    unsure = false;
}

bool SharedBook::holdsRemembered(const BookMerge::Pages& theirs) const {
    return BookMerge::baseOf(theirs).pages == base.pages;
}

std::vector<std::size_t> SharedBook::origins() const {
    std::unordered_map<const Page*, std::size_t> baseIndexOf;
    for (std::size_t b = 0; b < owners.size(); ++b) {
        if (owners[b]) {
            baseIndexOf.emplace(owners[b], b);
        }
    }
    std::vector<std::size_t> result;
    for (const auto& page : book.allPages()) {
        const auto found = baseIndexOf.find(page.get());
        result.push_back(found == baseIndexOf.end() ? BookMerge::none : found->second);
    }
    return result;
}

BookMerge::Result SharedBook::merge(BookMerge::Pages theirs) const {
    const std::vector<std::size_t> ours = origins();
    return BookMerge::merge(base, book.allPages(), std::move(theirs), &ours);
}

BookMerge::Pages SharedBook::apply(BookMerge::Result& result, const FileStamp& stamp, std::int64_t now) {
    BookMerge::Pages ours = book.takePages();
    BookMerge::Pages merged;
    merged.reserve(result.pages.size());
    for (std::size_t i = 0; i < result.pages.size(); ++i) {
        const std::size_t o = result.oursIndex[i];
        // Our marked copy of a conflicting page continues our page too; the
        // first merged page that continues it keeps the object.
        if (o != BookMerge::none && ours[o]) {
            if (!result.sameAsOurs[i]) {
                *ours[o] = *result.pages[i];
            }
            merged.push_back(std::move(ours[o]));
        } else {
            merged.push_back(std::move(result.pages[i]));
        }
    }
    BookMerge::Pages left;
    for (auto& page : ours) {
        if (page) {
            left.push_back(std::move(page));
        }
    }
    book.replacePages(std::move(merged));
    // Until the merged book is written the file holds theirs: its pages are
    // continued by the merged pages that came from them.
    base = result.theirsBase;
    owners.assign(base.pages.size(), nullptr);
    for (std::size_t i = 0; i < result.theirsIndex.size(); ++i) {
        if (result.theirsIndex[i] != BookMerge::none) {
            owners[result.theirsIndex[i]] = book.at(static_cast<unsigned>(i));
        }
    }
    fileStamp = stamp;
    rememberedAt = now;
    unsure = stamp.kind == FileStamp::Kind::File && now - stamp.modified < kUnsureFor;
    return left;
}
