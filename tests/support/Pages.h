#pragma once

// Pages for the book file's tests, platform-free. Literals are code page 932.

#include "book/Page.h"

#include <gtest/gtest.h>

#include <climits>
#include <memory>
#include <vector>

// Pages that between them give every field a value unlike a new page's, and
// the extremes the file format allows.
inline std::vector<std::unique_ptr<Page>> unlikePages() {
    std::vector<std::unique_ptr<Page>> pages;
    auto first = std::make_unique<Page>();
    first->updateTime = 1041379507; // 2003-01-01T00:05:07Z
    first->readOnly = first->imeAutoOn = first->floating = first->alwaysOnTop = first->fixedSize = true;
    first->showTitle = true;
    first->title = "予定";
    for (int i = 0; i < 2000; ++i) {
        first->text += "会議は十時から。表計算ソフトの\\記号 ~ ｱｲｳ\r\n";
    }
    first->selectionStart = 3;
    first->selectionEnd = 17;
    first->floatingRect = {-1200, -30, -900, 250};
    first->format.frameColor = 0x00123456;
    first->format.frameStyle = Sunken;
    first->format.titleFormat = {0x00FF0000, 0x0000FF00, "ＭＳ 明朝", 14};
    first->format.editorFormat = {0x00000000, 0x00FFFFFF, "IPAゴシック", 72};
    pages.push_back(std::move(first));

    pages.push_back(std::make_unique<Page>()); // a new page: never updated, automatic colours

    auto third = std::make_unique<Page>();
    third->updateTime = INT_MIN;
    third->format.titleFormat.fontFace = "";
    third->format.editorFormat.fontFace = "";
    third->format.frameStyle = Raised;
    third->format.frameColor = 0x80123456; // not expressible as #RRGGBB
    third->format.titleFormat.backColor = 0xFF000000;
    third->format.titleFormat.fontSize = -5;
    third->format.editorFormat.fontSize = INT_MAX;
    third->selectionStart = INT_MAX;
    third->selectionEnd = INT_MIN;
    third->floatingRect = {INT_MIN, INT_MAX, 0, -1};
    pages.push_back(std::move(third));

    auto fourth = std::make_unique<Page>();
    fourth->updateTime = INT_MAX;
    fourth->format.frameStyle = 7;  // no entry of the settings sheet
    fourth->title = "\xB1\xB2\x5C"; // half-width katakana and a backslash
    // NEC row 13 and NEC-selected IBM codes convert back to other codes;
    // 0x81 0x20 is no character at all.
    fourth->text = "\x87\x90\xED\x40 \x81\x20 end";
    fourth->format.editorFormat.fontFace = "\xF0\x40"; // user-defined area
    pages.push_back(std::move(fourth));
    return pages;
}

// Every field of two pages; the failure names the first one that differs.
inline ::testing::AssertionResult samePage(const Page& a, const Page& b) {
    const std::pair<const char*, bool> fields[] = {
        {"updateTime", a.updateTime == b.updateTime},
        {"flags", a.readOnly == b.readOnly && a.imeAutoOn == b.imeAutoOn && a.floating == b.floating &&
                      a.alwaysOnTop == b.alwaysOnTop && a.fixedSize == b.fixedSize && a.showTitle == b.showTitle},
        {"title", a.title == b.title},
        {"text", a.text == b.text},
        {"format", a.format == b.format},
        {"selection", a.selectionStart == b.selectionStart && a.selectionEnd == b.selectionEnd},
        {"floatingRect", a.floatingRect == b.floatingRect},
    };
    for (const auto& [name, same] : fields) {
        if (!same) {
            return ::testing::AssertionFailure() << "the pages differ in " << name;
        }
    }
    return ::testing::AssertionSuccess();
}
