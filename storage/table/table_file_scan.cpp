#include "storage/table/table_file_scan.h"

#include <algorithm>
#include <cstring>

#include "storage/table_error.h"

namespace {

constexpr std::size_t kNone = std::string_view::npos;

unsigned EndsLine(char c) {
  return static_cast<unsigned>(c == '\r') | static_cast<unsigned>(c == '\n');
}

// The lines that begin in `bytes`, which begin where a line or a line end
// does: bytes that end no line and follow one that does, or come first.
std::size_t LinesBegun(std::string_view bytes) {
  if (bytes.empty()) return 0;
  const char* const b = bytes.data();
  const std::size_t size = bytes.size();
  std::size_t count = EndsLine(b[0]) == 0 ? 1 : 0;
  std::size_t i = 1;
  // Counted in blocks whose count fits a byte, which the compiler does many
  // bytes at a time: this loop is most of the scan.
  constexpr std::size_t kBlock = 256;
  for (; size - i >= kBlock; i += kBlock) {
    unsigned char block = 0;
    for (std::size_t j = i; j < i + kBlock; ++j) {
      block += static_cast<unsigned char>((EndsLine(b[j]) ^ 1U) & EndsLine(b[j - 1]));
    }
    count += block;
  }
  for (; i < size; ++i) count += (EndsLine(b[i]) ^ 1U) & EndsLine(b[i - 1]);
  return count;
}

// Where the next line begins from `from` on; the end of `bytes` when none does.
std::size_t NextLineStart(std::string_view bytes, std::size_t from) {
  while (from < bytes.size() && EndsLine(bytes[from]) != 0) ++from;
  return from;
}

}  // namespace

TableFileScan::TableFileScan(const std::string& path, std::size_t piece)
    : path_(path), reader_(path), buffer_(std::max<std::size_t>(piece, 1), '\0') {
  if (!reader_.Opened()) throw TableError("Cannot open file " + path_);
  // The header is the first line that is not empty.
  for (;;) {
    const std::string_view kept(buffer_.data(), kept_);
    const std::size_t start = NextLineStart(kept, 0);
    std::size_t end = start;
    while (end < kept.size() && EndsLine(kept[end]) == 0) ++end;
    if (end < kept.size() || (ended_ && start < end)) {
      header_.emplace(kept.substr(start, end - start));
      lines_ = 1;
      // What follows is kept from the header's line end on.
      std::memmove(buffer_.data(), buffer_.data() + end, kept_ - end);
      kept_ -= end;
      return;
    }
    if (ended_) return;
    // Line ends before the header need not be kept.
    std::memmove(buffer_.data(), buffer_.data() + start, kept_ - start);
    kept_ -= start;
    ReadPiece();
  }
}

void TableFileScan::ReadPiece() {
  if (ended_) return;
  if (kept_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::optional<std::size_t> got =
      reader_.Read(buffer_.data() + kept_, buffer_.size() - kept_);
  if (!got) throw TableError("Cannot open file " + path_);
  const std::size_t nul = std::string_view(buffer_.data() + kept_, *got).find('\0');
  kept_ += nul == kNone ? *got : nul;
  ended_ = *got == 0 || nul != kNone;
}

std::vector<TableFileScan::Line> TableFileScan::LinesHolding(std::string_view text) {
  std::vector<Line> found;
  for (;;) {
    // Whole lines only: up to the last line end kept, or all at the end.
    std::size_t whole = kept_;
    if (!ended_) {
      while (whole > 0 && EndsLine(buffer_[whole - 1]) == 0) --whole;
    }
    Scan(std::string_view(buffer_.data(), whole), text, found);
    std::memmove(buffer_.data(), buffer_.data() + whole, kept_ - whole);
    kept_ -= whole;
    if (ended_) return found;
    ReadPiece();
  }
}

void TableFileScan::Scan(std::string_view bytes, std::string_view text, std::vector<Line>& found) {
  // No line holds a line end or a NUL; every line holds the empty text.
  const bool holdable = text.find_first_of(std::string_view("\r\n\0", 3)) == kNone;
  std::size_t counted = 0;
  for (std::size_t from = 0; holdable;) {
    const std::size_t hit = text.empty() ? NextLineStart(bytes, from) : bytes.find(text, from);
    if (hit >= bytes.size()) break;
    std::size_t start = hit;
    while (start > 0 && EndsLine(bytes[start - 1]) == 0) --start;
    std::size_t end = hit + text.size();
    while (end < bytes.size() && EndsLine(bytes[end]) == 0) ++end;
    lines_ += LinesBegun(bytes.substr(counted, start + 1 - counted));
    found.push_back({lines_ - 1, std::string(bytes.substr(start, end - start))});
    counted = end;
    from = end;
  }
  lines_ += LinesBegun(bytes.substr(counted));
}
