// The line list of one table file, read and written back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/files/file_bytes.h"
#include "storage/files/file_stamp.h"
#include "storage/files/large_block_allocator.h"

// The line list of one table file: its non-empty lines without their line
// ends, entry 0 the header. A line read from the file stays where it stands
// in the text read, kept as its offset and length in one word, so loading
// copies no line, a line costs eight bytes besides its text, and a line
// nobody replaced is written back byte for byte.
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
  static TableFile FromBytes(FileBytes bytes);
  static TableFile FromText(std::string_view text) { return FromBytes(FileBytes(text)); }

  // The stamp of the file Load read, taken as it was opened, before its bytes
  // were read: a file changed since gives another stamp. None for a text not
  // read from a file.
  const FileStamp& ReadStamp() const { return readStamp_; }
  // Whether the text held a NUL byte: it and whatever followed are not in the
  // lines and would not be written back.
  bool LostBytes() const { return lostBytes_; }
  // A place in the text read, as an editor shows it: lines counted from 1,
  // empty ones too, each ended by CR LF, LF or CR; bytes counted from 1.
  struct TextPlace {
    std::size_t line = 0;
    std::size_t column = 0;
  };
  // Where the NUL byte stood, when the text held one.
  std::optional<TextPlace> LostBytesPlace() const;
  // For each line, its number in the text read; 0 for a line given since.
  std::vector<std::size_t> TextLineNumbers() const;
  // The hash (ContentHash) of every byte given to FromBytes or read by Load,
  // NUL and all: what the file held when it was read.
  std::uint64_t ReadHash() const;
  // The hash of Text(), that is of what WriteBack writes, made without it.
  std::uint64_t TextHash() const;

  std::size_t LineCount() const { return entries_.size(); }
  std::string_view Line(std::size_t index) const {
    const std::uint64_t entry = entries_[index];
    if ((entry & kGiven) != 0) return given_[entry & ~kGiven];
    return std::string_view(read_.data() + (entry & kOffsetMask), entry >> kOffsetBits);
  }

  // The first line from `from` on that holds `text` and that `accept` takes
  // (given the line), or LineCount(). The text read is searched as a whole,
  // so lines that do not hold `text` cost next to nothing.
  template <typename Accept>
  std::size_t FindLine(std::string_view text, std::size_t from, Accept&& accept) const;

  void Append(std::string line);
  void Replace(std::size_t index, std::string line);
  void Erase(std::size_t index);

  // Every line followed by CR LF.
  std::string Text() const;
  // Replaces the file whole, streamed from the lines: lines that still stand
  // in the text read, in order and each ended by CR LF there, go out from it
  // without a copy. Gives the hash of what was written, as TextHash would.
  // On failure the file keeps its old content and TableError "Cannot create
  // file %s" is thrown.
  std::uint64_t WriteBack(const std::string& path) const;

 private:
  // An entry is a line of the text read: its length above kOffsetBits, its
  // offset below; or, with kGiven set, the index of a line in given_.
  static constexpr int kOffsetBits = 40;
  static constexpr std::uint64_t kOffsetMask = (std::uint64_t{1} << kOffsetBits) - 1;
  static constexpr std::uint64_t kGiven = std::uint64_t{1} << 63;
  static constexpr std::uint64_t kMaxLength = (kGiven >> kOffsetBits) - 1;

  // Gives `piece` the text as written: stretches of the text read that hold
  // their line ends (ends true) and single lines that need CR LF after them.
  template <typename Piece>
  bool ForEachPiece(Piece&& piece) const;
  // Keeps `line` among the given lines; gives its entry.
  std::uint64_t Give(std::string line);

  FileBytes read_;
  FileStamp readStamp_;
  std::vector<std::uint64_t, LargeBlockAllocator<std::uint64_t>> entries_;
  // Lines given after reading (and the rare line of the text read too long
  // or too far in for an entry), each a view of one of texts_.
  std::vector<std::string_view> given_;
  // A deque never moves what it holds, so the views stay valid.
  std::deque<std::string> texts_;
  bool lostBytes_ = false;
};

template <typename Accept>
std::size_t TableFile::FindLine(std::string_view text, std::size_t from, Accept&& accept) const {
  const std::string_view read = read_.View();
  constexpr std::size_t kNone = std::string_view::npos;
  // The next place of `text` in the text read not yet passed.
  std::size_t hit = read.find(text);
  for (std::size_t index = from; index < entries_.size(); ++index) {
    const std::uint64_t entry = entries_[index];
    if ((entry & kGiven) != 0) {
      const std::string_view line = Line(index);
      if (line.find(text) != kNone && accept(line)) return index;
      continue;
    }
    if (hit == kNone) continue;  // no later line of the text read holds it
    const std::size_t offset = entry & kOffsetMask;
    const std::size_t end = offset + (entry >> kOffsetBits);
    if (hit < offset) hit = read.find(text, offset);
    if (hit == kNone || hit + text.size() > end) continue;
    if (accept(Line(index))) return index;
    hit = read.find(text, end);
  }
  return entries_.size();
}
