// A table file read through a small buffer for a few of its lines.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/files/file_io.h"

// A table file read through a small buffer and never held whole, for a
// caller that wants a few of its lines: the header as soon as the scan is
// made, then, in one pass to the end, the lines holding a text. The lines
// are those TableFile makes of the same bytes (ended by CR LF, LF or CR,
// empty ones dropped, nothing from the first NUL on), each with its index
// there, so a large file costs neither its memory nor its splitting.
class TableFileScan {
 public:
  struct Line {
    std::size_t index;  // in TableFile's line list: 0 is the header
    std::string text;
  };

  static constexpr std::size_t kPiece = std::size_t{16} << 10;

  // Reads up to the end of the header, `piece` bytes at a time. Throws
  // TableError "Cannot open file %s" when the file cannot be read, as
  // TableFile::Load does.
  explicit TableFileScan(const std::string& path, std::size_t piece = kPiece);

  // None when the file holds no line.
  const std::optional<std::string>& Header() const { return header_; }

  // The lines after the header that hold `text`, in order, reading the file
  // to its end: once, a second call finds nothing left. Throws as the
  // constructor does when a read fails.
  std::vector<Line> LinesHolding(std::string_view text);

 private:
  // Appends the next piece to what is kept, the buffer made larger when a
  // line fills it; at the end of the file, or at a NUL, sets ended_.
  void ReadPiece();
  // The lines of `bytes`, which hold whole lines only, counted and those
  // holding `text` taken.
  void Scan(std::string_view bytes, std::string_view text, std::vector<Line>& found);

  std::string path_;
  FileReader reader_;
  std::string buffer_;
  // Bytes of buffer_ read and not yet scanned; they begin where a line or a
  // line end does.
  std::size_t kept_ = 0;
  bool ended_ = false;
  std::optional<std::string> header_;
  std::size_t lines_ = 0;  // lines scanned, the header included
};
