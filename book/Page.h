#pragma once

#include <cstdint>
#include <string>

// A colour as Windows stores it: 0x00BBGGRR.
using Color = std::uint32_t;

// The colour is not stored but taken from the system colour scheme when the
// page is shown; each place that draws the colour names its stand-in.
constexpr Color AutoColor = 0xFFFFFFFF;

// Screen rectangle of a floating page window, in pixels.
struct PageRect {
    std::int32_t left;
    std::int32_t top;
    std::int32_t right;
    std::int32_t bottom;

    bool operator==(const PageRect& other) const {
        return left == other.left && top == other.top && right == other.right && bottom == other.bottom;
    }
};

// Stored in the book file as the index of the settings sheet's style list.
enum FrameStyle : std::int32_t {
    Raised = 0,
    Flat = 1,
    Sunken = 2,
};

struct TextFormat {
    Color backColor = AutoColor;
    Color textColor = AutoColor;
    std::string fontFace = "ＭＳ ゴシック";
    std::int32_t fontSize = 10; // points

    bool operator==(const TextFormat& other) const {
        return backColor == other.backColor && textColor == other.textColor && fontFace == other.fontFace &&
               fontSize == other.fontSize;
    }
};

struct PageFormat {
    Color frameColor = AutoColor;
    std::int32_t frameStyle = Flat;
    TextFormat titleFormat;
    TextFormat editorFormat;

    bool operator==(const PageFormat& other) const {
        return frameColor == other.frameColor && frameStyle == other.frameStyle && titleFormat == other.titleFormat &&
               editorFormat == other.editorFormat;
    }
};

// One memo page. Strings hold code page 932 bytes; the text keeps the
// CR LF line breaks the edit control gives it.
class Page {
public:
    // Seconds since 1970-01-01 UTC of the last change of the text; -1 = never.
    std::int32_t updateTime = -1;
    bool readOnly = false;
    bool imeAutoOn = false;
    bool floating = false;
    bool alwaysOnTop = false;
    bool fixedSize = false;
    bool showTitle = false;
    std::string title;
    std::string text;
    PageFormat format;
    std::int32_t selectionStart = 0;
    std::int32_t selectionEnd = 0;
    PageRect floatingRect{10, 10, 110, 110};

    // Replaces the text and stamps updateTime with the current time, even
    // when the new text equals the old one.
    void setText(std::string newText);
};
