#include "book/Book.h"

#include "book/BookFile.h"

#include <utility>

Book::~Book() {
    clear();
}

int Book::append(std::unique_ptr<Page> page) {
    pages.push_back(std::move(page));
    return static_cast<int>(pages.size()) - 1;
}

void Book::removeAt(unsigned index) {
    pages.erase(pages.begin() + index);
}

bool Book::move(unsigned index, bool up) {
    if (index >= pages.size()) {
        return false;
    }
    if (up ? index == 0 : index + 1 == pages.size()) {
        return false;
    }
    std::swap(pages[index], pages[up ? index - 1 : index + 1]);
    return true;
}

unsigned Book::indexOf(const Page* page) const {
    for (unsigned i = 0; i < pages.size(); ++i) {
        if (pages[i].get() == page) {
            return i;
        }
    }
    return count();
}

void Book::clear() {
    pages.clear();
    pages.shrink_to_fit();
}

void Book::replacePages(std::vector<std::unique_ptr<Page>> newPages) {
    pages = std::move(newPages);
}

std::vector<std::unique_ptr<Page>> Book::takePages() {
    return std::exchange(pages, {});
}

bool Book::load(const std::string& path) {
    std::vector<std::unique_ptr<Page>> loaded;
    if (!BookFile::read(path, loaded)) {
        return false;
    }
    replacePages(std::move(loaded));
    return true;
}

bool Book::save(const std::string& path, const std::string& backupPath,
                const SafeFileWriter::ReplaceCheck& mayReplace) const {
    return BookFile::write(path, pages, backupPath, mayReplace);
}
