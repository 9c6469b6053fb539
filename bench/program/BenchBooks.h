#pragma once

#include <cstddef>
#include <string>

// The books and texts the program benchmarks run on, written with the
// program's own book file code.
namespace BenchBooks {

constexpr int kLargePages = 10000;
constexpr std::size_t kLargePageBytes = 10 * 1024;

// Code page 932 memo lines ("メモの行 N …" and CR LF) filling exactly `bytes`;
// the last line is padded with ASCII so no double-byte character is cut.
// `tag` goes into every line, so two texts can differ.
std::string memoText(std::size_t bytes, const std::string& tag = "quick notes");

// 10,000 pages of 10 KiB of text each (about 100 MiB).
bool writeLargeBook(const std::string& path);
// A book file without pages.
bool writeEmptyBook(const std::string& path);
// The texts of the large book one after the other, as a plain text file.
bool writeLargeText(const std::string& path);

} // namespace BenchBooks
