// A set of a table's records, by number.
#pragma once

#include <algorithm>
#include <bit>
#include <cstdint>
#include <vector>

// A set of a table's records by number (1-based), one bit each, so that a
// million records are a pass over 16,000 words: what a find gives, walked
// in whatever order a view shows the records.
class RecordSet {
 public:
  explicit RecordSet(int records = 0)
      : size_(records), words_(static_cast<std::size_t>(records) / 64 + 1) {}

  // Records 1 to Size() may be in it.
  int Size() const { return size_; }
  int Count() const { return count_; }
  bool Empty() const { return count_ == 0; }

  bool Contains(int record) const {
    if (record < 1 || record > size_) return false;
    const auto at = static_cast<std::size_t>(record);
    return (words_[at / 64] >> (at % 64) & 1) != 0;
  }
  void Add(int record) {
    if (record < 1 || record > size_) return;
    const auto at = static_cast<std::size_t>(record);
    std::uint64_t& word = words_[at / 64];
    const std::uint64_t bit = std::uint64_t{1} << (at % 64);
    count_ += (word & bit) == 0 ? 1 : 0;
    word |= bit;
  }
  // Only the records both hold stay.
  void KeepCommon(const RecordSet& other) {
    count_ = 0;
    for (std::size_t i = 0; i < words_.size(); ++i) {
      words_[i] &= i < other.words_.size() ? other.words_[i] : 0;
      count_ += std::popcount(words_[i]);
    }
  }
  // The first record from `record` on that it holds, in number order; 0
  // for none.
  int NextFrom(int record) const {
    if (record < 1) record = 1;
    for (auto at = static_cast<std::size_t>(record); at <= static_cast<std::size_t>(size_);) {
      const std::uint64_t word = words_[at / 64] >> (at % 64);
      if (word != 0) return static_cast<int>(at) + std::countr_zero(word);
      at = (at / 64 + 1) * 64;
    }
    return 0;
  }
  // The last record up to `record` that it holds; 0 for none.
  int PriorFrom(int record) const {
    if (record > size_) record = size_;
    for (int at = record; at >= 1;) {
      const auto index = static_cast<std::size_t>(at);
      const std::uint64_t word = words_[index / 64] << (63 - index % 64);
      if (word != 0) return at - std::countl_zero(word);
      at = static_cast<int>(index / 64 * 64) - 1;
    }
    return 0;
  }
  // How many of the records before `record` it holds.
  int CountBefore(int record) const {
    if (record > size_ + 1) record = size_ + 1;
    int count = 0;
    const auto at = static_cast<std::size_t>(std::max(record, 1));
    for (std::size_t i = 0; i < at / 64; ++i) count += std::popcount(words_[i]);
    if (at % 64 != 0)
      count += std::popcount(words_[at / 64] & ((std::uint64_t{1} << (at % 64)) - 1));
    return count;
  }

 private:
  int size_;
  int count_ = 0;
  std::vector<std::uint64_t> words_;
};
