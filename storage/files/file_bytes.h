// The bytes of a whole file as read.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "storage/files/large_block_allocator.h"

// The bytes of a whole file as read, kept in memory fit for a large file.
class FileBytes {
 public:
  FileBytes() = default;
  explicit FileBytes(std::string_view bytes) : bytes_(bytes.begin(), bytes.end()) {}

  const char* data() const { return bytes_.data(); }
  char* data() { return bytes_.data(); }
  std::size_t size() const { return bytes_.size(); }
  std::string_view View() const { return {bytes_.data(), bytes_.size()}; }

  // Bytes gained are unset: they are to be read into.
  void Resize(std::size_t size) { bytes_.resize(size); }

  friend bool operator==(const FileBytes& bytes, std::string_view text) {
    return bytes.View() == text;
  }

 private:
  std::vector<char, LargeBlockAllocator<char>> bytes_;
};
