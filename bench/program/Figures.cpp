#include "Figures.h"

#include <algorithm>
#include <cstdio>

Summary summarize(std::vector<double> values) {
    Summary summary;
    if (values.empty()) {
        return summary;
    }
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    summary.median = values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
    summary.worst = values.back();
    summary.best = values.front();
    return summary;
}

void report(const std::string& key, const std::string& title, const std::vector<double>& values,
            const std::string& unit) {
    std::printf("%s (%s):", title.c_str(), unit.c_str());
    for (double value : values) {
        std::printf(" %.1f", value);
    }
    std::printf("\n");
    const Summary summary = summarize(values);
    std::printf("RESULT %s median=%.3f worst=%.3f best=%.3f runs=%u unit=%s\n", key.c_str(), summary.median,
                summary.worst, summary.best, static_cast<unsigned>(values.size()), unit.c_str());
    std::fflush(stdout);
}
