#pragma once

#include "book/Book.h"
#include "support/Pages.h"
#include "support/TempFolder.h"
#include "tools/lkbook/Lkbook.h"

#include <cstdlib>
#include <sstream>

// What one run of lkbook gave.
struct RunResult {
    int code = -1;
    std::string out, err;
};

// Runs lkbook in this process.
inline RunResult lkbook(const std::vector<std::string>& arguments, const std::string& input = std::string()) {
    std::istringstream in(input);
    std::ostringstream out, err;
    const int code = Lkbook::run(arguments, in, out, err);
    return {code, out.str(), err.str()};
}

// Runs the built executable through the system's shell; true when it ends
// with exit code 0.
inline bool executableSucceeds(const std::string& arguments) {
#ifdef _WIN32
    // cmd takes the outer quotes off; under Wine the executable's path is a Unix one.
    return std::system(("\"\"Z:" LKBOOK_EXECUTABLE "\" " + arguments + "\"").c_str()) == 0;
#else
    return std::system(("\"" LKBOOK_EXECUTABLE "\" " + arguments).c_str()) == 0;
#endif
}

inline void saveBook(std::vector<std::unique_ptr<Page>> pages, const std::string& path) {
    Book book;
    book.replacePages(std::move(pages));
    EXPECT_TRUE(book.save(path)) << path;
}

inline bool contains(const std::string& text, const std::string& wanted) {
    return text.find(wanted) != std::string::npos;
}
