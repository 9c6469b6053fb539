#include "book/BookMerge.h"

#include "book/BookFile.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <tuple>
#include <unordered_map>
#include <utility>

namespace BookMerge {

namespace {

// Odd 64-bit multipliers with well-spread bits: the golden ratio's fraction,
// splitmix64's two and one more.
constexpr std::uint64_t kMix1 = 0x9E3779B97F4A7C15ull;
constexpr std::uint64_t kMix2 = 0xBF58476D1CE4E5B9ull;
constexpr std::uint64_t kMix3 = 0x94D049BB133111EBull;
constexpr std::uint64_t kMix4 = 0xD6E8FEB86659FD93ull;

inline std::uint64_t rotateLeft(std::uint64_t value, int bits) {
    return value << bits | value >> (64 - bits);
}

// In the host's byte order: hashes are not stored, so only speed matters here.
inline std::uint64_t word64(const unsigned char* bytes) {
    std::uint64_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

inline std::uint32_t word32(const unsigned char* bytes) {
    std::uint32_t value;
    std::memcpy(&value, bytes, sizeof value);
    return value;
}

// One word into one of the four lanes.
inline std::uint64_t absorb(std::uint64_t lane, std::uint64_t word) {
    return rotateLeft(lane + word * kMix2, 31) * kMix1;
}

inline std::uint64_t foldLane(std::uint64_t hash, std::uint64_t lane) {
    return (hash ^ absorb(0, lane)) * kMix1 + kMix4;
}

// Every input bit reaches every output bit.
inline std::uint64_t avalanche(std::uint64_t hash) {
    hash ^= hash >> 31;
    hash *= kMix3;
    hash ^= hash >> 29;
    hash *= kMix2;
    hash ^= hash >> 32;
    return hash;
}

// Hashes pages, reusing one buffer for the records' heads.
class PageHasher {
public:
    PageHashes operator()(const Page& page) {
        head.clear();
        BookFile::appendRecordHead(page, head);
        PageHashes hashes;
        hashes.title = hashBytes(page.title.data(), page.title.size());
        hashes.text = hashBytes(page.text.data(), page.text.size());
        // The head starts with the 4-byte update time and ends with the title
        // and its 4-byte length; the attributes lie between.
        const std::size_t attributesEnd = head.size() - 4 - page.title.size();
        hashes.attributes = hashBytes(head.data() + 4, attributesEnd - 4);
        // The record: the head's bytes, then the text's length and bytes. The
        // text, the record's last field, is hashed once for both hashes.
        const std::uint64_t pieces[3] = {hashBytes(head.data(), head.size()), page.text.size(), hashes.text};
        hashes.record = hashBytes(pieces, sizeof pieces);
        return hashes;
    }

private:
    std::string head;
};

std::vector<PageHashes> hashAll(const Pages& pages) {
    PageHasher hasher;
    std::vector<PageHashes> hashes;
    hashes.reserve(pages.size());
    for (const auto& page : pages) {
        hashes.push_back(hasher(*page));
    }
    return hashes;
}

std::uint64_t emptyHash() {
    static const std::uint64_t empty = hashBytes("", 0);
    return empty;
}

// How a page was paired with a page of the other list.
enum class How : unsigned char {
    Unpaired,
    Exact,     // the same record
    SameTyped, // the same title and text, other fields differ
    Guessed,   // the same title or the same text, or told by the program
};

struct Matching {
    std::vector<std::size_t> targetOf; // for each side page
    std::vector<std::size_t> sideOf;   // for each target page
    std::vector<How> how;              // for each side page

    Matching(std::size_t sideCount, std::size_t targetCount)
        : targetOf(sideCount, none), sideOf(targetCount, none), how(sideCount, How::Unpaired) {}

    void pair(std::size_t side, std::size_t target, How kind) {
        targetOf[side] = target;
        sideOf[target] = side;
        how[side] = kind;
    }
};

// Pairs the pages of one side with the pages of a target (the base, or in a
// merge without base the other side), as merge() describes.
class Matcher {
public:
    Matcher(const std::vector<PageHashes>& sidePages, const std::vector<PageHashes>& targetPages)
        : side(sidePages), target(targetPages), matching(side.size(), target.size()) {}

    Matching run() {
        pairUniqueRecords();
        // Each round may settle pages whose nearest candidates others took;
        // what is left after a few rounds counts as new, which loses nothing.
        for (const Key key : {Key::Record, Key::TitleAndText, Key::Text, Key::Title}) {
            for (int round = 0; round < 4 && pairNearest(key); ++round) {
            }
        }
        pairLastEmpty(&PageHashes::title);
        pairLastEmpty(&PageHashes::text);
        return std::move(matching);
    }

private:
    enum class Key { Record, TitleAndText, Text, Title };

    static bool usable(Key key, const PageHashes& page) {
        switch (key) {
        case Key::Record:
        case Key::TitleAndText:
            return true;
        case Key::Text:
            return page.text != emptyHash();
        case Key::Title:
            return page.title != emptyHash();
        }
        return false;
    }

    static std::uint64_t keyOf(Key key, const PageHashes& page) {
        switch (key) {
        case Key::Record:
            return page.record;
        case Key::TitleAndText:
            return page.title * kMix1 ^ page.text;
        case Key::Text:
            return page.text;
        case Key::Title:
            return page.title;
        }
        return 0;
    }

    // A record found once on each side pairs at once. Records found more
    // often (blank pages, say) are left to pairNearest(), which pairs them by
    // their places.
    void pairUniqueRecords() {
        struct Seen {
            std::size_t sideCount = 0, targetCount = 0, target = none;
        };
        std::unordered_map<std::uint64_t, Seen> seen;
        seen.reserve(target.size());
        for (std::size_t t = 0; t < target.size(); ++t) {
            Seen& entry = seen[target[t].record];
            ++entry.targetCount;
            entry.target = t;
        }
        for (const PageHashes& page : side) {
            const auto it = seen.find(page.record);
            if (it != seen.end()) {
                ++it->second.sideCount;
            }
        }
        for (std::size_t s = 0; s < side.size(); ++s) {
            const auto it = seen.find(side[s].record);
            if (it != seen.end() && it->second.sideCount == 1 && it->second.targetCount == 1) {
                matching.pair(s, it->second.target, How::Exact);
            }
        }
    }

    // Where each side page would stand in the target: as far after the
    // target of the last paired page before it as it stands after that page.
    std::vector<std::size_t> expectedPositions() const {
        std::vector<std::size_t> expected(side.size());
        std::size_t lastPaired = none;
        for (std::size_t s = 0; s < side.size(); ++s) {
            if (matching.targetOf[s] != none) {
                lastPaired = s;
                expected[s] = matching.targetOf[s];
            } else {
                expected[s] = lastPaired == none ? s : matching.targetOf[lastPaired] + (s - lastPaired);
            }
        }
        return expected;
    }

    // Pairs unpaired pages with unpaired target pages of the same key, the
    // nearest pairs first; false when it paired none.
    bool pairNearest(Key key) {
        std::unordered_map<std::uint64_t, std::vector<std::size_t>> buckets;
        for (std::size_t t = 0; t < target.size(); ++t) {
            if (matching.sideOf[t] == none && usable(key, target[t])) {
                buckets[keyOf(key, target[t])].push_back(t);
            }
        }
        if (buckets.empty()) {
            return false;
        }
        struct Candidate {
            std::size_t distance, side, target;
            bool operator<(const Candidate& other) const {
                return std::tie(distance, side, target) < std::tie(other.distance, other.side, other.target);
            }
        };
        std::vector<Candidate> candidates;
        const std::vector<std::size_t> expected = expectedPositions();
        for (std::size_t s = 0; s < side.size(); ++s) {
            if (matching.targetOf[s] != none || !usable(key, side[s])) {
                continue;
            }
            const auto bucket = buckets.find(keyOf(key, side[s]));
            if (bucket == buckets.end()) {
                continue;
            }
            // The two nearest on either side of the expected place.
            const std::vector<std::size_t>& targets = bucket->second;
            const auto at = std::lower_bound(targets.begin(), targets.end(), expected[s]) - targets.begin();
            const auto from = std::max<std::ptrdiff_t>(at - 2, 0);
            const auto to = std::min<std::ptrdiff_t>(at + 2, static_cast<std::ptrdiff_t>(targets.size()));
            for (auto i = from; i < to; ++i) {
                const std::size_t t = targets[static_cast<std::size_t>(i)];
                candidates.push_back({t > expected[s] ? t - expected[s] : expected[s] - t, s, t});
            }
        }
        std::sort(candidates.begin(), candidates.end());
        bool paired = false;
        for (const Candidate& candidate : candidates) {
            if (matching.targetOf[candidate.side] == none && matching.sideOf[candidate.target] == none) {
                matching.pair(candidate.side, candidate.target,
                              key == Key::TitleAndText ? How::SameTyped : How::Guessed);
                paired = true;
            }
        }
        return paired;
    }

    // An empty title (or text) says little: it pairs a page only when it is
    // the one unpaired page on each side with that field empty.
    void pairLastEmpty(std::uint64_t PageHashes::*field) {
        std::size_t sideCount = 0, sideFound = none, targetCount = 0, targetFound = none;
        for (std::size_t s = 0; s < side.size(); ++s) {
            if (matching.targetOf[s] == none && side[s].*field == emptyHash()) {
                ++sideCount;
                sideFound = s;
            }
        }
        for (std::size_t t = 0; t < target.size(); ++t) {
            if (matching.sideOf[t] == none && target[t].*field == emptyHash()) {
                ++targetCount;
                targetFound = t;
            }
        }
        if (sideCount == 1 && targetCount == 1) {
            matching.pair(sideFound, targetFound, How::Guessed);
        }
    }

    const std::vector<PageHashes>& side;
    const std::vector<PageHashes>& target;
    Matching matching;
};

// What one side changed in a page, against its base.
struct Changes {
    bool record = true;
    bool title = true;
    bool text = true;
    bool attributes = true;
};

const Changes kNothingChanged{false, false, false, false};
const Changes kEverythingChanged{};

Changes changesBetween(const PageHashes& page, const PageHashes& base) {
    return {page.record != base.record, page.title != base.title, page.text != base.text,
            page.attributes != base.attributes};
}

// One page of the base (or a page new on one side) and its versions.
struct Unit {
    std::size_t ours = none;
    std::size_t theirs = none;
    Changes oursChanges;
    Changes theirsChanges;
};

std::string markedTitle(const std::string& title) {
    const std::size_t markSize = sizeof conflictMark - 1;
    const bool marked = title.size() >= markSize && title.compare(title.size() - markSize, markSize, conflictMark) == 0;
    return marked ? title : title + conflictMark;
}

// Puts the units in order and lets each give its pages.
class Assembler {
public:
    Assembler(const Pages& oursPages, Pages& theirsPages, const std::vector<PageHashes>& oursPageHashes,
              const std::vector<PageHashes>& theirsPageHashes)
        : ours(oursPages), theirs(theirsPages), oursHashes(oursPageHashes), theirsHashes(theirsPageHashes) {}

    Result run(const std::vector<Unit>& units, bool followTheirs) {
        for (const std::size_t u : order(units, followTheirs)) {
            give(units[u]);
        }
        result.differsFromTheirs = result.pages.size() != theirs.size();
        for (std::size_t i = 0; i < result.pages.size() && !result.differsFromTheirs; ++i) {
            result.differsFromTheirs =
                result.theirsIndex[i] != i || result.base.pages[i].record != theirsHashes[i].record;
        }
        result.theirsBase.pages = theirsHashes;
        return std::move(result);
    }

private:
    // The followed side's units in its order; each unit of the other side
    // alone right after the unit of the page it followed there (a tree
    // walked depth first, so that chains of new pages stay together).
    std::vector<std::size_t> order(const std::vector<Unit>& units, bool followTheirs) const {
        std::vector<std::size_t> unitOfOurs(ours.size(), none), unitOfTheirs(theirs.size(), none);
        for (std::size_t u = 0; u < units.size(); ++u) {
            if (units[u].ours != none) {
                unitOfOurs[units[u].ours] = u;
            }
            if (units[u].theirs != none) {
                unitOfTheirs[units[u].theirs] = u;
            }
        }
        const std::vector<std::size_t>& followed = followTheirs ? unitOfTheirs : unitOfOurs;
        const std::vector<std::size_t>& other = followTheirs ? unitOfOurs : unitOfTheirs;
        std::vector<std::size_t> followedPlace(units.size(), none);
        for (std::size_t i = 0; i < followed.size(); ++i) {
            followedPlace[followed[i]] = i;
        }
        std::vector<std::size_t> first;
        std::vector<std::vector<std::size_t>> after(units.size());
        for (std::size_t i = 0; i < other.size(); ++i) {
            const std::size_t u = other[i];
            if (followedPlace[u] != none) {
                continue;
            }
            if (i == 0) {
                first.push_back(u);
                continue;
            }
            std::size_t anchor = other[i - 1];
            // Following theirs, our new pages come after their new pages
            // that follow the same page, as they do when following ours.
            if (followTheirs && followedPlace[anchor] != none) {
                std::size_t place = followedPlace[anchor];
                while (place + 1 < followed.size() && units[followed[place + 1]].ours == none) {
                    ++place;
                }
                anchor = followed[place];
            }
            after[anchor].push_back(u);
        }
        std::vector<std::size_t> sequence;
        sequence.reserve(units.size());
        std::vector<std::size_t> stack;
        const auto walk = [&](std::size_t root) {
            stack.push_back(root);
            while (!stack.empty()) {
                const std::size_t u = stack.back();
                stack.pop_back();
                sequence.push_back(u);
                stack.insert(stack.end(), after[u].rbegin(), after[u].rend());
            }
        };
        for (const std::size_t u : first) {
            walk(u);
        }
        for (const std::size_t u : followed) {
            walk(u);
        }
        return sequence;
    }

    void give(const Unit& unit) {
        const Changes& oc = unit.oursChanges;
        const Changes& tc = unit.theirsChanges;
        // A deleted page comes back only for what was typed in it on the
        // other side: a caret moved or a note dragged is no reason to undo
        // the deletion.
        if (unit.theirs == none) {
            if (oc.title || oc.text) {
                giveOurs(unit.ours, none);
            }
        } else if (unit.ours == none) {
            if (tc.title || tc.text) {
                giveTheirs(unit.theirs, none);
            }
        } else if (!oc.record || (tc.record && oursHashes[unit.ours].record == theirsHashes[unit.theirs].record)) {
            giveTheirs(unit.theirs, unit.ours);
        } else if (!tc.record) {
            giveOurs(unit.ours, unit.theirs);
        } else {
            giveMerged(unit);
        }
    }

    void add(std::unique_ptr<Page> page, std::size_t o, std::size_t t, const PageHashes& hashes) {
        result.pages.push_back(std::move(page));
        result.oursIndex.push_back(o);
        result.theirsIndex.push_back(t);
        result.sameAsOurs.push_back(o != none && oursHashes[o].record == hashes.record);
        result.base.pages.push_back(hashes);
    }

    void giveTheirs(std::size_t t, std::size_t o) { add(std::move(theirs[t]), o, t, theirsHashes[t]); }

    void giveOurs(std::size_t o, std::size_t t) { add(std::make_unique<Page>(*ours[o]), o, t, oursHashes[o]); }

    bool sameText(std::size_t o, std::size_t t) const {
        return oursHashes[o].text == theirsHashes[t].text && ours[o]->text == theirs[t]->text;
    }

    // Both sides changed the page: field by field, or twice on a conflict.
    void giveMerged(const Unit& unit) {
        const std::size_t o = unit.ours, t = unit.theirs;
        const Changes& oc = unit.oursChanges;
        const Changes& tc = unit.theirsChanges;
        const Page& mine = *ours[o];
        Page& their = *theirs[t];
        if ((oc.title && tc.title && mine.title != their.title) || (oc.text && tc.text && !sameText(o, t))) {
            const std::size_t theirPlace = result.pages.size();
            giveTheirs(t, none);
            auto copy = std::make_unique<Page>(mine);
            copy->title = markedTitle(mine.title);
            const PageHashes copyHashes = hashPage(*copy);
            add(std::move(copy), o, none, copyHashes);
            result.conflicts.push_back({mine.title, theirPlace, theirPlace + 1});
            return;
        }
        // Where only one side changed the text, its text and time; where the
        // texts agree, the later time.
        const bool textFromOurs = oc.text && !tc.text;
        const bool textFromTheirs = tc.text && !oc.text;
        const std::int32_t laterTime = std::max(mine.updateTime, their.updateTime);
        std::unique_ptr<Page> merged;
        if (oc.attributes) {
            merged = std::make_unique<Page>(mine);
            if (!oc.title) {
                merged->title = their.title;
            }
            if (!textFromOurs) {
                merged->text = std::move(their.text);
                merged->updateTime = textFromTheirs ? their.updateTime : laterTime;
            }
        } else {
            merged = std::make_unique<Page>(std::move(their));
            if (oc.title) {
                merged->title = mine.title;
            }
            if (textFromOurs) {
                merged->text = mine.text;
                merged->updateTime = mine.updateTime;
            } else if (!textFromTheirs) {
                merged->updateTime = laterTime;
            }
        }
        const PageHashes hashes = hashPage(*merged);
        add(std::move(merged), o, t, hashes);
    }

    const Pages& ours;
    Pages& theirs;
    const std::vector<PageHashes>& oursHashes;
    const std::vector<PageHashes>& theirsHashes;
    Result result;
};

// The program's own record of where its pages came from.
Matching matchingFromOrigins(const std::vector<std::size_t>& origins, std::size_t baseCount) {
    Matching matching(origins.size(), baseCount);
    for (std::size_t o = 0; o < origins.size(); ++o) {
        const std::size_t b = origins[o];
        if (b < baseCount && matching.sideOf[b] == none) {
            matching.pair(o, b, How::Guessed);
        }
    }
    return matching;
}

// true when the side's pages that stand for base pages are not in the base's order.
bool reordered(const Matching& matching) {
    std::size_t previous = none;
    for (const std::size_t b : matching.targetOf) {
        if (b != none) {
            if (previous != none && b < previous) {
                return true;
            }
            previous = b;
        }
    }
    return false;
}

} // namespace

std::uint64_t hashBytes(const void* data, std::size_t size) {
    const unsigned char* bytes = static_cast<const unsigned char*>(data);
    const unsigned char* const end = bytes + size;
    std::uint64_t hash;
    if (size >= 32) {
        std::uint64_t lanes[4] = {kMix1 + kMix2, kMix2, 0, 0 - kMix1};
        const unsigned char* const lastStripe = end - 32;
        do {
            lanes[0] = absorb(lanes[0], word64(bytes));
            lanes[1] = absorb(lanes[1], word64(bytes + 8));
            lanes[2] = absorb(lanes[2], word64(bytes + 16));
            lanes[3] = absorb(lanes[3], word64(bytes + 24));
            bytes += 32;
        } while (bytes <= lastStripe);
        hash = rotateLeft(lanes[0], 1) + rotateLeft(lanes[1], 7) + rotateLeft(lanes[2], 12) + rotateLeft(lanes[3], 18);
        for (const std::uint64_t lane : lanes) {
            hash = foldLane(hash, lane);
        }
    } else {
        hash = kMix3;
    }
    hash += size;
    for (; end - bytes >= 8; bytes += 8) {
        hash = rotateLeft(hash ^ absorb(0, word64(bytes)), 27) * kMix1 + kMix4;
    }
    if (end - bytes >= 4) {
        hash = rotateLeft(hash ^ word32(bytes) * kMix1, 23) * kMix2 + kMix3;
        bytes += 4;
    }
    for (; bytes < end; ++bytes) {
        hash = rotateLeft(hash ^ *bytes * kMix3, 11) * kMix1;
    }
    return avalanche(hash);
}

PageHashes hashPage(const Page& page) {
    return PageHasher()(page);
}

Base baseOf(const Pages& pages) {
    return Base{hashAll(pages)};
}

Result merge(const Base& base, const Pages& ours, Pages theirs, const std::vector<std::size_t>* oursOrigins) {
    if (oursOrigins && oursOrigins->size() != ours.size()) {
        throw std::invalid_argument("BookMerge::merge: one origin for each of our pages");
    }
    const std::vector<PageHashes> oursHashes = hashAll(ours);
    const std::vector<PageHashes> theirsHashes = hashAll(theirs);
    const std::size_t baseCount = base.pages.size();
    const Matching oursMatching =
        oursOrigins ? matchingFromOrigins(*oursOrigins, baseCount) : Matcher(oursHashes, base.pages).run();
    const Matching theirsMatching = Matcher(theirsHashes, base.pages).run();

    std::vector<Unit> units;
    units.reserve(baseCount + ours.size() + theirs.size());
    for (std::size_t b = 0; b < baseCount; ++b) {
        Unit unit;
        unit.ours = oursMatching.sideOf[b];
        unit.theirs = theirsMatching.sideOf[b];
        if (unit.ours == none && unit.theirs == none) {
            continue; // deleted on both sides
        }
        if (unit.ours != none) {
            unit.oursChanges = changesBetween(oursHashes[unit.ours], base.pages[b]);
        }
        if (unit.theirs != none) {
            unit.theirsChanges = changesBetween(theirsHashes[unit.theirs], base.pages[b]);
        }
        units.push_back(unit);
    }
    for (std::size_t o = 0; o < ours.size(); ++o) {
        if (oursMatching.targetOf[o] == none) {
            units.push_back({o, none, kEverythingChanged, kEverythingChanged});
        }
    }
    for (std::size_t t = 0; t < theirs.size(); ++t) {
        if (theirsMatching.targetOf[t] == none) {
            units.push_back({none, t, kEverythingChanged, kEverythingChanged});
        }
    }
    const bool followTheirs = reordered(theirsMatching) && !reordered(oursMatching);
    return Assembler(ours, theirs, oursHashes, theirsHashes).run(units, followTheirs);
}

Result mergeWithoutBase(const Pages& ours, Pages theirs) {
    const std::vector<PageHashes> oursHashes = hashAll(ours);
    const std::vector<PageHashes> theirsHashes = hashAll(theirs);
    const Matching matching = Matcher(theirsHashes, oursHashes).run();

    std::vector<Unit> units;
    units.reserve(ours.size() + theirs.size());
    for (std::size_t o = 0; o < ours.size(); ++o) {
        Unit unit{o, matching.sideOf[o], kEverythingChanged, kEverythingChanged};
        if (unit.theirs != none) {
            switch (matching.how[unit.theirs]) {
            case How::Exact:
                unit.oursChanges = unit.theirsChanges = kNothingChanged;
                break;
            case How::SameTyped:
                // As if both had changed the other fields of one base page.
                unit.oursChanges = unit.theirsChanges = {
                    true, false, false, oursHashes[o].attributes != theirsHashes[unit.theirs].attributes};
                break;
            default:
                break; // as if both had changed everything: a conflict
            }
        }
        units.push_back(unit);
    }
    for (std::size_t t = 0; t < theirs.size(); ++t) {
        if (matching.targetOf[t] == none) {
            units.push_back({none, t, kEverythingChanged, kEverythingChanged});
        }
    }
    return Assembler(ours, theirs, oursHashes, theirsHashes).run(units, false);
}

} // namespace BookMerge
