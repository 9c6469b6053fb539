#pragma once

#include <stdexcept>
#include <string>

// The program's one exception: a book file that cannot be read as a book.
class lk_error : public std::runtime_error {
public:
    explicit lk_error(const std::string& message) : std::runtime_error(message) {}
};
