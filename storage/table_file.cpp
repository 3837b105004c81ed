#include "storage/table_file.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <utility>

#include "storage/content_hash.h"
#include "storage/file_io.h"
#include "storage/table_error.h"

TableFile TableFile::Load(const std::string& path) {
  std::optional<std::string> bytes = ReadWholeFile(path);
  if (!bytes) throw TableError("Cannot open file " + path);
  return FromText(std::move(*bytes));
}

TableFile TableFile::FromText(std::string text) {
  TableFile file;
  const std::string& stored = file.texts_.emplace_back(std::move(text));
  const char* const begin = stored.data();
  const std::size_t nul = stored.find('\0');
  file.read_ = true;
  file.lostBytes_ = nul != std::string::npos;
  const char* const end = begin + std::string_view(stored).substr(0, nul).size();
  // The next CR and the next LF are each searched for once and kept until
  // passed, so CR-only and LF-only texts are both read in one pass.
  auto next = [end](const char* from, char c) {
    const void* found = std::memchr(from, c, static_cast<std::size_t>(end - from));
    return found != nullptr ? static_cast<const char*>(found) : end;
  };
  // Room for every line at once: growing the list in steps would touch far
  // more fresh memory than the lines need.
  std::size_t ends = 1;
  for (const char c : {'\r', '\n'}) {
    for (const char* at = next(begin, c); at != end; at = next(at + 1, c)) ++ends;
  }
  file.lines_.reserve(ends);
  const char* cr = next(begin, '\r');
  const char* lf = next(begin, '\n');
  const char* at = begin;
  while (at < end) {
    if (cr < at) cr = next(at, '\r');
    if (lf < at) lf = next(at, '\n');
    const char* lineEnd = std::min(cr, lf);
    if (lineEnd > at) file.lines_.emplace_back(at, static_cast<std::size_t>(lineEnd - at));
    if (lineEnd == end) break;
    at = lineEnd + (lineEnd == cr && lf == cr + 1 ? 2 : 1);
  }
  return file;
}

void TableFile::Append(std::string line) { lines_.push_back(texts_.emplace_back(std::move(line))); }

void TableFile::Replace(std::size_t index, std::string line) {
  lines_[index] = texts_.emplace_back(std::move(line));
}

void TableFile::Erase(std::size_t index) {
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(index));
}

std::string TableFile::Text() const {
  std::size_t size = 0;
  for (const std::string_view line : lines_) size += line.size() + 2;
  std::string text;
  text.reserve(size);
  for (const std::string_view line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

std::uint64_t TableFile::ReadHash() const {
  return ContentHash::Of(read_ ? std::string_view(texts_.front()) : std::string_view());
}

std::uint64_t TableFile::TextHash() const {
  ContentHash hash;
  for (const std::string_view line : lines_) {
    hash.Add(line);
    hash.Add("\r\n");
  }
  return hash.Value();
}

std::string_view TableFile::TextAsRead() const {
  if (lines_.empty() || texts_.empty()) return {};
  const std::string& read = texts_.front();
  const char* const readEnd = read.data() + read.size();
  const char* at = lines_.front().data();
  const std::less<const char*> before;
  if (before(at, read.data()) || !before(at, readEnd)) return {};
  const char* const first = at;
  for (const std::string_view line : lines_) {
    if (line.data() != at) return {};
    at += line.size();
    if (readEnd - at < 2 || at[0] != '\r' || at[1] != '\n') return {};
    at += 2;
  }
  return std::string_view(first, static_cast<std::size_t>(at - first));
}

void TableFile::WriteBack(const std::string& path) const {
  // Lines that still stand in the text read, in order and each ended by CR LF,
  // are written from that text with no copy.
  const std::string_view asRead = TextAsRead();
  // Any other list is streamed line by line.
  const bool written =
      asRead.empty() ? ReplaceFileLines(path, lines_) : ReplaceFileContents(path, asRead);
  if (!written) throw TableError("Cannot create file " + path);
}
