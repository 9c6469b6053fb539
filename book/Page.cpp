#include "book/Page.h"

#include <ctime>
#include <utility>

void Page::setText(std::string newText) {
    text = std::move(newText);
    updateTime = static_cast<std::int32_t>(std::time(nullptr));
}
