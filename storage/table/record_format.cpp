#include "storage/table/record_format.h"

#include <cstdint>
#include <cstring>
#include <initializer_list>

#include "engine/ascii_case.h"
#include "storage/table/delimited_text.h"

std::vector<std::string> SplitHeader(std::string_view header) {
  std::vector<std::string> names;
  // Notepad and spreadsheet programs begin a UTF-8 file with a byte-order
  // mark: it names no column, and stays in the line written back.
  std::size_t start = header.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  for (;;) {
    const std::size_t comma = header.find(',', start);
    if (comma == std::string_view::npos) {
      names.emplace_back(header.substr(start));
      return names;
    }
    names.emplace_back(header.substr(start, comma - start));
    start = comma + 1;
  }
}

int FindColumn(const std::vector<std::string>& names, std::string_view name) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (EqualIgnoringCase(names[i], name)) return static_cast<int>(i);
  }
  return -1;
}

void ParseRecord(std::string_view line, std::vector<std::string>& values) {
  // Values are written into the strings already there, keeping their memory.
  std::size_t stored = 0;
  std::size_t at = 0;
  for (;;) {
    if (stored == values.size()) values.emplace_back();
    if (!ReadValue(line, at, values[stored])) break;
    ++stored;
  }
  values.resize(stored);
}

namespace {

// Whether one of the eight bytes at `at` is one of `bytes`: a word at a
// time, since most of a line is none of them.
bool HoldsAnyOf(const char* at, std::initializer_list<char> bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kHighs = 0x8080808080808080ull;
  std::uint64_t word = 0;
  std::memcpy(&word, at, sizeof word);
  auto holdsZero = [](std::uint64_t x) { return ((x - kOnes) & ~x & kHighs) != 0; };
  for (const char byte : bytes) {
    if (holdsZero(word ^ (kOnes * static_cast<unsigned char>(byte)))) return true;
  }
  return false;
}

bool HoldsCommaOrQuote(const char* at) { return HoldsAnyOf(at, {',', '"'}); }

// Reads, or with no `value` only passes, the value that begins at `at`.
bool ScanValue(std::string_view line, std::size_t& at, std::string* value) {
  const std::size_t size = line.size();
  // Past the comma that closes the line's last value: nothing left.
  if (at > size) return false;
  std::size_t i = at;
  // Most values hold no quote: up to the next comma, taken whole.
  std::size_t run = i;
  while (size - run >= 8 && !HoldsCommaOrQuote(line.data() + run)) run += 8;
  while (run < size && line[run] != ',' && line[run] != '"') ++run;
  if (run == size || line[run] == ',') {
    if (value != nullptr) value->assign(line.data() + i, run - i);
    at = run + 1;
    return true;
  }
  if (value != nullptr) value->clear();
  bool quoted = false;
  for (;;) {
    // Plain characters are taken a run at a time, up to the next one that
    // matters in the present quoting.
    if (value != nullptr) value->append(line.data() + i, run - i);
    if (run == size) break;
    i = run + 1;
    if (line[run] == ',') {
      at = i;
      return true;
    }
    if (quoted && i < size && line[i] == '"') {
      if (value != nullptr) value->push_back('"');
      ++i;
    } else {
      quoted = !quoted;
    }
    run = i;
    while (run < size && line[run] != '"' && (quoted || line[run] != ',')) ++run;
  }
  // The line ends where a comma closes its last value; inside quotes that
  // comma is text, and the value stays unstored.
  at = size + 1;
  return !quoted;
}

}  // namespace

bool ReadValue(std::string_view line, std::size_t& at, std::string& value) {
  return ScanValue(line, at, &value);
}

bool SkipValue(std::string_view line, std::size_t& at) { return ScanValue(line, at, nullptr); }

const std::string& ValueAt(std::string_view line, int column, std::string& value) {
  value.clear();
  std::size_t at = 0;
  for (int passed = 0; passed < column; ++passed) {
    if (!SkipValue(line, at)) return value;
  }
  if (column < 0 || !ReadValue(line, at, value)) value.clear();
  return value;
}

namespace {

// A table file's line holds no line break, a list's value may.
void AppendQuotedIfNeeded(std::string_view value, char separator, bool keepBreaks,
                          std::string& line) {
  // Past a long value's plain stretch a word at a time, then a plain loop:
  // most values are short, a code or nothing.
  std::size_t k = 0;
  while (value.size() - k >= 8 && !HoldsAnyOf(value.data() + k, {separator, '"', '\r', '\n'})) {
    k += 8;
  }
  bool quoted = false;
  for (const char c : value.substr(k)) {
    // Letters and digits, most of any value, fail the first test.
    if ((c <= '"' || c == separator) &&
        (c == separator || c == '"' || (keepBreaks && (c == '\r' || c == '\n')))) {
      quoted = true;
      break;
    }
  }
  if (keepBreaks && !quoted) {
    line.append(value);
    return;
  }
  if (quoted) line.push_back('"');
  if (keepBreaks) {
    // The stretches between quotes whole: a list's long values are quoted
    // for a comma, not for a quote.
    for (std::size_t from = 0;;) {
      const std::size_t quote = value.find('"', from);
      line.append(value.substr(from, quote == std::string_view::npos ? quote : quote + 1 - from));
      if (quote == std::string_view::npos) break;
      line.push_back('"');
      from = quote + 1;
    }
  } else {
    for (const char c : value) {
      if (c == '"') line.push_back('"');
      line.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    }
  }
  if (quoted) line.push_back('"');
}

}  // namespace

void AppendValue(std::string_view value, std::string& line) {
  AppendQuotedIfNeeded(value, ',', false, line);
}

void AppendListValue(std::string_view value, char separator, std::string& line) {
  AppendQuotedIfNeeded(value, separator, true, line);
}

std::string WriteRecord(const std::vector<std::string>& values) {
  std::string line;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ',';
    AppendValue(values[i], line);
  }
  // An empty line would be dropped on loading, and the record with it.
  if (line.empty() && !values.empty()) line = "\"\"";
  return line;
}
