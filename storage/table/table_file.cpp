#include "storage/table/table_file.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "storage/files/content_hash.h"
#include "storage/files/file_io.h"
#include "storage/files/line_writer.h"
#include "storage/table_error.h"

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

TableFile TableFile::Load(const std::string& path) {
  FileStamp stamp;
  std::optional<FileBytes> bytes = ReadWholeFile(path, &stamp);
  if (!bytes) throw TableError("Cannot open file " + path);
  TableFile file = FromBytes(std::move(*bytes));
  file.readStamp_ = stamp;
  return file;
}

TableFile TableFile::FromBytes(FileBytes bytes) {
  TableFile file;
  file.read_ = std::move(bytes);
  const char* const begin = file.read_.data();
  const std::size_t nul = file.read_.View().find('\0');
  file.lostBytes_ = nul != std::string::npos;
  const std::size_t size = nul != std::string::npos ? nul : file.read_.size();
  const char* const end = begin + size;

  auto next = [end](const char* from, char c) {
    // An empty text has no storage at all, which memchr may not be given.
    if (from == end) return end;
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  // Counting the line ends first gives room for every line at once (growing
  // the list in steps would touch far more memory than the lines need), and
  // tells whether every CR stands before an LF, as in CR LF and LF files.
  std::size_t crs = 0;
  std::size_t lfs = 0;
  std::size_t pairs = 0;
  for (const char* at = next(begin, '\r'); at != end; at = next(at + 1, '\r')) {
    ++crs;
    pairs += at + 1 != end && at[1] == '\n';
  }
  for (const char* at = next(begin, '\n'); at != end; at = next(at + 1, '\n')) ++lfs;
  file.entries_.reserve(crs + lfs - pairs + 1);

  auto add = [&file, begin](const char* from, const char* to) {
    if (to == from) return;
    const auto offset = static_cast<std::uint64_t>(from - begin);
    const auto length = static_cast<std::uint64_t>(to - from);
    if (length <= kMaxLength && offset <= kOffsetMask) {
      file.entries_.push_back(length << kOffsetBits | offset);
    } else {
      file.entries_.push_back(file.Give(std::string(from, to)));
    }
  };
  if (crs == pairs) {
    // Lines end at LF, a CR before it being part of the line end.
    for (const char* at = begin; at < end;) {
      const char* lf = next(at, '\n');
      add(at, lf > at && lf[-1] == '\r' ? lf - 1 : lf);
      at = lf + 1;
    }
    return file;
  }
  // The next CR and the next LF are each searched for once and kept until
  // passed, so CR-only and mixed texts are read in one pass too.
  const char* cr = next(begin, '\r');
  const char* lf = next(begin, '\n');
  for (const char* at = begin; at < end;) {
    if (cr < at) cr = next(at, '\r');
    if (lf < at) lf = next(at, '\n');
    const char* lineEnd = std::min(cr, lf);
    add(at, lineEnd);
    if (lineEnd == end) break;
    at = lineEnd + (lineEnd == cr && lf == cr + 1 ? 2 : 1);
  }
  return file;
}

namespace {

// Line ends as FromBytes reads them, counted over text[from, to): CR LF is one.
std::size_t LineEndsIn(std::string_view text, std::size_t from, std::size_t to) {
  std::size_t ends = 0;
  for (std::size_t at = from; at < to; ++at) {
    if (text[at] == '\n' || (text[at] == '\r' && (at + 1 >= text.size() || text[at + 1] != '\n')))
      ++ends;
  }
  return ends;
}

}  // namespace

std::optional<TableFile::TextPlace> TableFile::LostBytesPlace() const {
  if (!lostBytes_) return std::nullopt;
  const std::string_view text = read_.View();
  const std::size_t nul = text.find('\0');
  const std::size_t start = text.find_last_of("\r\n", nul == 0 ? std::string_view::npos : nul - 1);
  const std::size_t lineStart = nul == 0 || start == std::string_view::npos ? 0 : start + 1;
  return TextPlace{LineEndsIn(text, 0, lineStart) + 1, nul - lineStart + 1};
}

std::vector<std::size_t> TableFile::TextLineNumbers() const {
  const std::string_view text = read_.View();
  std::vector<std::size_t> numbers;
  numbers.reserve(entries_.size());
  // Lines stand in the text in order: each is counted on from the one before.
  std::size_t passed = 0;
  std::size_t line = 1;
  for (const std::uint64_t entry : entries_) {
    if ((entry & kGiven) != 0) {
      numbers.push_back(0);
      continue;
    }
    const std::size_t offset = entry & kOffsetMask;
    if (offset < passed) {
      passed = 0;
      line = 1;
    }
    line += LineEndsIn(text, passed, offset);
    passed = offset;
    numbers.push_back(line);
  }
  return numbers;
}

std::uint64_t TableFile::Give(std::string line) {
  given_.emplace_back(texts_.emplace_back(std::move(line)));
  return kGiven | (given_.size() - 1);
}

void TableFile::Append(std::string line) { entries_.push_back(Give(std::move(line))); }

void TableFile::Replace(std::size_t index, std::string line) {
  entries_[index] = Give(std::move(line));
}

void TableFile::Erase(std::size_t index) {
  const std::uint64_t entry = entries_[index];
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  // The line given last goes with its text (no other entry has it), so adding
  // and deleting again and again does not pile texts up.
  if (!given_.empty() && entry == (kGiven | (given_.size() - 1))) {
    given_.pop_back();
    texts_.pop_back();
  }
}

template <typename Piece>
bool TableFile::ForEachPiece(Piece&& piece) const {
  const char* const read = read_.data();
  const std::size_t readSize = read_.size();
  std::size_t index = 0;
  while (index < entries_.size()) {
    const std::uint64_t entry = entries_[index];
    const std::uint64_t offset = entry & kOffsetMask;
    std::uint64_t stretchEnd = offset + (entry >> kOffsetBits);
    auto endedThere = [&](std::uint64_t at) {
      return readSize - at >= 2 && read[at] == '\r' && read[at + 1] == '\n';
    };
    if ((entry & kGiven) != 0 || !endedThere(stretchEnd)) {
      if (!piece(Line(index), false)) return false;
      ++index;
      continue;
    }
    // The following lines as long as each starts right after the line end
    // of the one before.
    for (++index; index < entries_.size(); ++index) {
      const std::uint64_t following = entries_[index];
      if ((following & kGiven) != 0 || (following & kOffsetMask) != stretchEnd + 2) break;
      const std::uint64_t followingEnd = stretchEnd + 2 + (following >> kOffsetBits);
      if (!endedThere(followingEnd)) break;
      stretchEnd = followingEnd;
    }
    if (!piece(std::string_view(read + offset, stretchEnd + 2 - offset), true)) return false;
  }
  return true;
}

std::string TableFile::Text() const {
  std::string text;
  ForEachPiece([&text](std::string_view bytes, bool ended) {
    text.append(bytes);
    if (!ended) text.append(kLineEnd);
    return true;
  });
  return text;
}

std::uint64_t TableFile::ReadHash() const { return ContentHash::Of(read_.View()); }

std::uint64_t TableFile::TextHash() const {
  ContentHash hash;
  ForEachPiece([&hash](std::string_view bytes, bool ended) {
    hash.Add(bytes);
    if (!ended) hash.Add(kLineEnd);
    return true;
  });
  return hash.Value();
}

std::uint64_t TableFile::WriteBack(const std::string& path) const {
  ContentHash hash;
  const bool written = ReplaceFileFrom(path, [this, &hash](const ByteSink& sink) {
    LineWriter writer(sink);
    return ForEachPiece([&](std::string_view bytes, bool ended) {
             hash.Add(bytes);
             if (!ended) hash.Add(kLineEnd);
             return ended ? writer.Stretch(bytes) : writer.Line(bytes);
           }) &&
           writer.Finish();
  });
  if (!written) throw TableError("Cannot create file " + path);
  return hash.Value();
}
