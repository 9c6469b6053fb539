#include "BenchBooks.h"

#include "book/Book.h"

#include <cstdio>
#include <memory>

namespace BenchBooks {

std::string memoText(std::size_t bytes, const std::string& tag) {
    std::string text;
    text.reserve(bytes);
    for (std::size_t line = 0;; ++line) {
        const std::string next = "メモの行 " + std::to_string(line) + " " + tag + "\r\n";
        if (text.size() + next.size() > bytes) {
            break;
        }
        text += next;
    }
    text.append(bytes - text.size(), '.');
    return text;
}

bool writeLargeBook(const std::string& path) {
    const std::string text = memoText(kLargePageBytes);
    Book book;
    for (int i = 0; i < kLargePages; ++i) {
        auto page = std::make_unique<Page>();
        page->title = "ページ " + std::to_string(i);
        page->text = text;
        page->updateTime = 1000000000 + i;
        book.append(std::move(page));
    }
    return book.save(path);
}

bool writeEmptyBook(const std::string& path) {
    Book book;
    return book.save(path);
}

bool writeLargeText(const std::string& path) {
    const std::string text = memoText(kLargePageBytes);
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        return false;
    }
    bool ok = true;
    for (int i = 0; i < kLargePages && ok; ++i) {
        ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
    }
    return std::fclose(file) == 0 && ok;
}

} // namespace BenchBooks
