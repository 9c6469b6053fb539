#pragma once

#include <string>
#include <vector>

// Every run of a figure is printed, then one line the bench script collects:
//   RESULT <key> median=<value> worst=<value> best=<value> runs=<count> unit=<unit>
// "worst" is the largest value: every figure here is a time, a size or a loss.
struct Summary {
    double median = 0;
    double worst = 0;
    double best = 0;
};

Summary summarize(std::vector<double> values);

void report(const std::string& key, const std::string& title, const std::vector<double>& values,
            const std::string& unit);
