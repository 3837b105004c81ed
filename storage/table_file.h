#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// The line list of one table file: its non-empty lines without their line
// ends, entry 0 the header. A line read from the file stays a view into the
// text read, so loading copies no line and a line nobody replaced is written
// back byte for byte.
class TableFile {
 public:
  TableFile() = default;
  TableFile(TableFile&&) = default;
  TableFile& operator=(TableFile&&) = default;
  TableFile(const TableFile&) = delete;
  TableFile& operator=(const TableFile&) = delete;

  // Throws TableError "Cannot open file %s" when the file cannot be read.
  static TableFile Load(const std::string& path);
  // Lines end at CR LF, LF or CR; the text ends at its first NUL; empty lines
  // are dropped.
  static TableFile FromText(std::string text);

  // Whether the text held a NUL byte: it and whatever followed are not in the
  // lines and would not be written back.
  bool LostBytes() const { return lostBytes_; }
  // The hash (ContentHash) of every byte given to FromText or read by Load,
  // NUL and all: what the file held when it was read.
  std::uint64_t ReadHash() const;
  // The hash of Text(), that is of what WriteBack writes, made without it.
  std::uint64_t TextHash() const;

  std::size_t LineCount() const { return lines_.size(); }
  std::string_view Line(std::size_t index) const { return lines_[index]; }

  void Append(std::string line);
  void Replace(std::size_t index, std::string line);
  void Erase(std::size_t index);

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the file whole, streamed from the lines; on failure the file keeps its old content and
  // TableError "Cannot create file %s" is thrown.
  void WriteBack(const std::string& path) const;

 private:
  // The lines as one stretch of the text read, when that is what Text() would
  // give; empty otherwise.
  std::string_view TextAsRead() const;

  // Owns every text a line views: the text read, then each line given later.
  // A deque never moves what it holds, so the views stay valid.
  std::deque<std::string> texts_;
  std::vector<std::string_view> lines_;
  // Whether texts_.front() is the text read.
  bool read_ = false;
  bool lostBytes_ = false;
};
