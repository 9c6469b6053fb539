#pragma once

#include "book/Page.h"

#include <nlohmann/json.hpp>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

// The book as JSON: {"pages": [...]} with one object per page whose fields
// are named after the page's members. Strings are UTF-8; a string whose code
// page 932 bytes would not survive the trip through UTF-8 is written as
// {"cp932Bytes": "<hex>"} instead, so that a dump always builds the same file.
namespace BookJson {

// A JSON document that cannot be made into a book; the message names the
// page (counted from 0) and the field, e.g. "page 2, format.frameColor: ...".
class InputError : public std::runtime_error {
public:
    explicit InputError(const std::string& message) : std::runtime_error(message) {}
};

nlohmann::ordered_json toJson(const std::vector<std::unique_ptr<Page>>& pages);

// Fields a page object leaves out keep the values of a new page. Throws
// InputError for unknown fields, wrong types, values out of range and
// characters code page 932 cannot hold.
std::vector<std::unique_ptr<Page>> fromJson(const nlohmann::json& document);

// "auto", "#RRGGBB", or "0xAABBGGRR" for a value with a non-zero top byte.
std::string formatColor(Color color);
// Reads the forms formatColor writes, hexadecimal digits in either case.
bool parseColor(const std::string& text, Color& color);

} // namespace BookJson
