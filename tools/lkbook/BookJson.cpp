#include "tools/lkbook/BookJson.h"

#include "tools/lkbook/CodePage.h"
#include "tools/lkbook/Times.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <limits>

namespace BookJson {

namespace {

using Json = nlohmann::json;
using OrderedJson = nlohmann::ordered_json;

const char* const kFrameStyleNames[] = {"raised", "flat", "sunken"};
const char kBytesKey[] = "cp932Bytes";

std::string lowered(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool parseHexNumber(const std::string& digits, std::uint32_t& value) {
    value = 0;
    for (char c : digits) {
        const int digit = hexValue(c);
        if (digit < 0) {
            return false;
        }
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return !digits.empty();
}

std::string toHex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (unsigned char byte : bytes) {
        hex += digits[byte >> 4];
        hex += digits[byte & 0xF];
    }
    return hex;
}

OrderedJson stringToJson(const std::string& cp932) {
    std::string utf8;
    if (CodePage::toUtf8(cp932, utf8)) {
        return utf8;
    }
    return OrderedJson{{kBytesKey, toHex(cp932)}};
}

OrderedJson textFormatToJson(const TextFormat& format) {
    OrderedJson object;
    object["backColor"] = formatColor(format.backColor);
    object["textColor"] = formatColor(format.textColor);
    object["fontFace"] = stringToJson(format.fontFace);
    object["fontSize"] = format.fontSize;
    return object;
}

OrderedJson frameStyleToJson(std::int32_t style) {
    if (style >= 0 && style < 3) {
        return kFrameStyleNames[style];
    }
    return style; // a value the settings sheet does not offer, kept as it is
}

OrderedJson pageToJson(const Page& page) {
    OrderedJson object;
    object["title"] = stringToJson(page.title);
    object["updateTime"] =
        page.updateTime == Times::Never ? OrderedJson(nullptr) : OrderedJson(Times::formatUtc(page.updateTime));
    object["readOnly"] = page.readOnly;
    object["imeAutoOn"] = page.imeAutoOn;
    object["floating"] = page.floating;
    object["alwaysOnTop"] = page.alwaysOnTop;
    object["fixedSize"] = page.fixedSize;
    object["showTitle"] = page.showTitle;
    object["selection"] = {{"start", page.selectionStart}, {"end", page.selectionEnd}};
    object["floatingRect"] = {{"left", page.floatingRect.left},
                              {"top", page.floatingRect.top},
                              {"right", page.floatingRect.right},
                              {"bottom", page.floatingRect.bottom}};
    OrderedJson format;
    format["frameColor"] = formatColor(page.format.frameColor);
    format["frameStyle"] = frameStyleToJson(page.format.frameStyle);
    format["titleFormat"] = textFormatToJson(page.format.titleFormat);
    format["editorFormat"] = textFormatToJson(page.format.editorFormat);
    object["format"] = format;
    object["text"] = stringToJson(page.text);
    return object;
}

// Reads one page object, naming the page and the field in every complaint.
class PageReader {
public:
    explicit PageReader(std::size_t pageIndex) : index(pageIndex) {}

    void read(const Json& object, Page& page) {
        if (!object.is_object()) {
            throw InputError("page " + std::to_string(index) + ": " + "must be an object, not " + typeOf(object));
        }
        checkFields(object, "",
                    {"title", "updateTime", "readOnly", "imeAutoOn", "floating", "alwaysOnTop", "fixedSize",
                     "showTitle", "selection", "floatingRect", "format", "text"});
        readString(object, "", "title", page.title);
        readTime(object, "updateTime", page.updateTime);
        readBool(object, "readOnly", page.readOnly);
        readBool(object, "imeAutoOn", page.imeAutoOn);
        readBool(object, "floating", page.floating);
        readBool(object, "alwaysOnTop", page.alwaysOnTop);
        readBool(object, "fixedSize", page.fixedSize);
        readBool(object, "showTitle", page.showTitle);
        if (const Json* selection = member(object, "selection")) {
            checkObject(*selection, "selection", {"start", "end"});
            readInt(*selection, "selection.", "start", page.selectionStart);
            readInt(*selection, "selection.", "end", page.selectionEnd);
        }
        if (const Json* rect = member(object, "floatingRect")) {
            checkObject(*rect, "floatingRect", {"left", "top", "right", "bottom"});
            readInt(*rect, "floatingRect.", "left", page.floatingRect.left);
            readInt(*rect, "floatingRect.", "top", page.floatingRect.top);
            readInt(*rect, "floatingRect.", "right", page.floatingRect.right);
            readInt(*rect, "floatingRect.", "bottom", page.floatingRect.bottom);
        }
        if (const Json* format = member(object, "format")) {
            checkObject(*format, "format", {"frameColor", "frameStyle", "titleFormat", "editorFormat"});
            readColor(*format, "format.", "frameColor", page.format.frameColor);
            readFrameStyle(*format, page.format.frameStyle);
            readTextFormat(*format, "titleFormat", page.format.titleFormat);
            readTextFormat(*format, "editorFormat", page.format.editorFormat);
        }
        readString(object, "", "text", page.text);
    }

private:
    [[noreturn]] void fail(const std::string& field, const std::string& problem) const {
        throw InputError("page " + std::to_string(index) + ", " + field + ": " + problem);
    }

    static std::string typeOf(const Json& value) {
        if (value.is_number_integer()) {
            return "an integer";
        }
        if (value.is_number()) {
            return "a fraction";
        }
        if (value.is_null()) {
            return "null";
        }
        const std::string name = value.type_name();
        return (name == "object" || name == "array" ? "an " : "a ") + name;
    }

    static const Json* member(const Json& object, const char* name) {
        const auto found = object.find(name);
        return found == object.end() ? nullptr : &*found;
    }

    void checkFields(const Json& object, const std::string& prefix, std::initializer_list<const char*> known) const {
        for (const auto& item : object.items()) {
            const bool isKnown =
                std::any_of(known.begin(), known.end(), [&](const char* name) { return item.key() == name; });
            if (!isKnown) {
                fail(prefix + item.key(), "is not a known field");
            }
        }
    }

    void checkObject(const Json& value, const std::string& field, std::initializer_list<const char*> known) const {
        if (!value.is_object()) {
            fail(field, "must be an object, not " + typeOf(value));
        }
        checkFields(value, field + ".", known);
    }

    void readBool(const Json& object, const char* name, bool& value) const {
        if (const Json* item = member(object, name)) {
            if (!item->is_boolean()) {
                fail(name, "must be true or false, not " + typeOf(*item));
            }
            value = item->get<bool>();
        }
    }

    void readInt(const Json& object, const std::string& prefix, const char* name, std::int32_t& value) const {
        const Json* item = member(object, name);
        if (!item) {
            return;
        }
        const std::string field = prefix + name;
        if (!item->is_number_integer()) {
            fail(field, "must be an integer, not " + typeOf(*item));
        }
        const bool fits = item->is_number_unsigned()
                              ? item->get<std::uint64_t>() <= std::uint64_t(std::numeric_limits<std::int32_t>::max())
                              : item->get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
                                    item->get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max();
        if (!fits) {
            fail(field, item->dump() + " does not fit in 32 bits");
        }
        value = static_cast<std::int32_t>(item->get<std::int64_t>());
    }

    void readString(const Json& object, const std::string& prefix, const char* name, std::string& value) const {
        const Json* item = member(object, name);
        if (!item) {
            return;
        }
        const std::string field = prefix + name;
        if (item->is_object()) {
            value = bytesFrom(*item, field);
            return;
        }
        if (!item->is_string()) {
            fail(field, "must be a string, not " + typeOf(*item));
        }
        const std::string& utf8 = item->get_ref<const std::string&>();
        if (utf8.find('\0') != std::string::npos) {
            fail(field, "holds the character U+0000, which a book cannot store");
        }
        CodePage::EncodeFailure failure;
        if (!CodePage::fromUtf8(utf8, value, &failure)) {
            fail(field, "character " + std::to_string(failure.position + 1) + " (" +
                            CodePage::describeCodePoint(failure.codePoint) + ") cannot be stored in code page 932");
        }
    }

    // {"cp932Bytes": "<hex>"}: the bytes exactly as the book stores them.
    std::string bytesFrom(const Json& object, const std::string& field) const {
        checkFields(object, field + ".", {kBytesKey});
        const Json* hex = member(object, kBytesKey);
        if (!hex || !hex->is_string()) {
            fail(field,
                 std::string("an object in place of a string must hold \"") + kBytesKey + "\" with hexadecimal bytes");
        }
        const std::string& digits = hex->get_ref<const std::string&>();
        std::string bytes;
        for (std::size_t i = 0; i + 1 < digits.size(); i += 2) {
            const int high = hexValue(digits[i]);
            const int low = hexValue(digits[i + 1]);
            if (high < 0 || low < 0) {
                break;
            }
            bytes += static_cast<char>(high << 4 | low);
        }
        if (bytes.size() * 2 != digits.size()) {
            fail(field + "." + kBytesKey, "must be pairs of hexadecimal digits");
        }
        if (bytes.find('\0') != std::string::npos) {
            fail(field + "." + kBytesKey, "holds a zero byte, which a book cannot store");
        }
        return bytes;
    }

    void readTime(const Json& object, const char* name, std::int32_t& value) const {
        const Json* item = member(object, name);
        if (!item) {
            return;
        }
        if (item->is_null()) {
            value = Times::Never;
            return;
        }
        if (!item->is_string()) {
            fail(name, "must be a time such as \"2003-01-01T00:05:07Z\" or null, not " + typeOf(*item));
        }
        if (!Times::parseUtc(item->get<std::string>(), value)) {
            fail(name, item->dump() +
                           " is not a UTC time of the form \"2003-01-01T00:05:07Z\" between 1901-12-13T20:45:52Z and "
                           "2038-01-19T03:14:07Z (1969-12-31T23:59:59Z stands for never: write null)");
        }
    }

    void readColor(const Json& object, const std::string& prefix, const char* name, Color& value) const {
        const Json* item = member(object, name);
        if (!item) {
            return;
        }
        const std::string field = prefix + name;
        if (!item->is_string() || !parseColor(item->get<std::string>(), value)) {
            fail(field, item->dump() + " is not a colour: write \"auto\", \"#RRGGBB\" or \"0xAABBGGRR\"");
        }
    }

    void readFrameStyle(const Json& format, std::int32_t& value) const {
        const Json* item = member(format, "frameStyle");
        if (!item) {
            return;
        }
        if (item->is_string()) {
            const std::string name = lowered(item->get<std::string>());
            for (std::int32_t style = 0; style < 3; ++style) {
                if (name == kFrameStyleNames[style]) {
                    value = style;
                    return;
                }
            }
            fail("format.frameStyle", item->dump() + " is not a frame style: write \"raised\", \"flat\" or \"sunken\"");
        }
        if (!item->is_number_integer()) {
            fail("format.frameStyle", "must be \"raised\", \"flat\", \"sunken\" or an integer, not " + typeOf(*item));
        }
        readInt(format, "format.", "frameStyle", value);
    }

    void readTextFormat(const Json& format, const char* name, TextFormat& value) const {
        const Json* item = member(format, name);
        if (!item) {
            return;
        }
        const std::string prefix = std::string("format.") + name;
        checkObject(*item, prefix, {"backColor", "textColor", "fontFace", "fontSize"});
        readColor(*item, prefix + ".", "backColor", value.backColor);
        readColor(*item, prefix + ".", "textColor", value.textColor);
        readString(*item, prefix + ".", "fontFace", value.fontFace);
        readInt(*item, prefix + ".", "fontSize", value.fontSize);
    }

    std::size_t index;
};

} // namespace

std::string formatColor(Color color) {
    if (color == AutoColor) {
        return "auto";
    }
    char buffer[16];
    if ((color >> 24) == 0) {
        std::snprintf(buffer, sizeof buffer, "#%02X%02X%02X", static_cast<unsigned>(color & 0xFF),
                      static_cast<unsigned>(color >> 8 & 0xFF), static_cast<unsigned>(color >> 16 & 0xFF));
    } else {
        std::snprintf(buffer, sizeof buffer, "0x%08X", static_cast<unsigned>(color));
    }
    return buffer;
}

bool parseColor(const std::string& text, Color& color) {
    if (lowered(text) == "auto") {
        color = AutoColor;
        return true;
    }
    std::uint32_t value;
    if (text.size() == 7 && text[0] == '#' && parseHexNumber(text.substr(1), value)) {
        // #RRGGBB to 0x00BBGGRR
        color = (value >> 16 & 0xFF) | (value & 0xFF00) | (value & 0xFF) << 16;
        return true;
    }
    if (text.size() == 10 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X') &&
        parseHexNumber(text.substr(2), value)) {
        color = value;
        return true;
    }
    return false;
}

nlohmann::ordered_json toJson(const std::vector<std::unique_ptr<Page>>& pages) {
    OrderedJson list = OrderedJson::array();
    for (const auto& page : pages) {
        list.push_back(pageToJson(*page));
    }
    OrderedJson document;
    document["pages"] = std::move(list);
    return document;
}

std::vector<std::unique_ptr<Page>> fromJson(const nlohmann::json& document) {
    if (!document.is_object()) {
        throw InputError("the document must be an object with a \"pages\" array");
    }
    for (const auto& item : document.items()) {
        if (item.key() != "pages") {
            throw InputError(item.key() + ": is not a field of a book (a book has only \"pages\")");
        }
    }
    const auto pages = document.find("pages");
    if (pages == document.end() || !pages->is_array()) {
        throw InputError("pages: the document must hold a \"pages\" array");
    }
    if (pages->size() > std::numeric_limits<std::uint32_t>::max()) {
        throw InputError("pages: more pages than a book can count");
    }
    std::vector<std::unique_ptr<Page>> result;
    result.reserve(pages->size());
    for (std::size_t i = 0; i < pages->size(); ++i) {
        auto page = std::make_unique<Page>();
        PageReader(i).read((*pages)[i], *page);
        result.push_back(std::move(page));
    }
    return result;
}

} // namespace BookJson
