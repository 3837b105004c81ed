#include "storage/table/delimited_text.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>

#include "storage/table/record_format.h"

namespace {

// For each byte of `word` equal to the byte repeated in `pattern`, its top
// bit; exact, with no carry from one byte into the next.
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kEvery = 0x0101010101010101ULL;

std::uint64_t BytesEqual(std::uint64_t word, std::uint64_t pattern) {
  const std::uint64_t t = word ^ pattern;
  return ~(((t & kLow7) + kLow7) | t | kLow7);
}

// Splits the line that begins at `at` into its values, viewed in `text`,
// when it holds no double quote, and gives where it ends (its LF, or the
// end of the text); npos when it holds a quote. Eight bytes are looked at in
// one go, the separators and the line's end then taken from the bits found.
std::size_t SplitPlainLine(std::string_view text, std::size_t at, char separator,
                           std::vector<std::string_view>& values) {
  values.clear();
  const char* const data = text.data();
  const std::size_t size = text.size();
  const std::uint64_t separators = static_cast<unsigned char>(separator) * kEvery;
  std::size_t start = at;
  std::size_t end = size;
  for (std::size_t word_at = at; word_at < size; word_at += 8) {
    const std::size_t count = size - word_at < 8 ? size - word_at : 8;
    // Byte k of the text at bits 8k, whatever the machine's byte order; a
    // whole word in one load.
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
      if (count == 8) {
        std::memcpy(&word, data + word_at, 8);
      } else {
        std::memcpy(&word, data + word_at, count);
      }
    } else {
      for (std::size_t k = 0; k < count; ++k) {
        word |= std::uint64_t{static_cast<unsigned char>(data[word_at + k])} << (8 * k);
      }
    }
    // Only the bytes of the text, up to the line's end.
    std::uint64_t inLine = count == 8 ? ~0ULL : (1ULL << (8 * count)) - 1;
    const std::uint64_t lineEnd = BytesEqual(word, '\n' * kEvery) & inLine;
    if (lineEnd != 0) inLine &= (lineEnd & (~lineEnd + 1)) - 1;
    if ((BytesEqual(word, '"' * kEvery) & inLine) != 0) return std::string_view::npos;
    for (std::uint64_t found = BytesEqual(word, separators) & inLine; found != 0;
         found &= found - 1) {
      const std::size_t next = word_at + static_cast<std::size_t>(std::countr_zero(found)) / 8;
      values.emplace_back(data + start, next - start);
      start = next + 1;
    }
    if (lineEnd != 0) {
      end = word_at + static_cast<std::size_t>(std::countr_zero(lineEnd)) / 8;
      break;
    }
  }
  std::size_t last = end;
  if (last > start && data[last - 1] == '\r') --last;
  values.emplace_back(data + start, last - start);
  return end;
}

// Reads a row holding a double quote, from `at`, which may go on over line
// breaks inside quotes.
RowStep ReadQuotedRow(std::string_view text, std::size_t& at, char separator, bool last,
                      DelimitedRow& row) {
  row.plain = false;
  row.values.clear();
  row.written.clear();
  row.unquoted.clear();
  row.spans.clear();
  const std::size_t size = text.size();
  std::size_t i = at;
  for (;;) {
    const std::size_t start = i;
    const bool quotedValue = i < size && text[i] == '"';
    const std::size_t from = row.unquoted.size();
    bool quoted = false;
    // A quote opens quoting at the start of a value or after a quoted
    // stretch closed; elsewhere it is text.
    bool quoteOpens = quotedValue;
    for (; i < size; ++i) {
      const char c = text[i];
      if (quoted) {
        if (c != '"') {
          row.unquoted.push_back(c);
        } else if (i + 1 == size && !last) {
          return RowStep::More;  // a doubled quote may follow
        } else if (i + 1 < size && text[i + 1] == '"') {
          row.unquoted.push_back('"');
          ++i;
        } else {
          quoted = false;
        }
        continue;
      }
      if (c == separator || c == '\n') break;
      if (c == '\r' && i + 1 < size && text[i + 1] == '\n') break;
      if (c == '"' && quoteOpens) {
        quoted = true;
        continue;
      }
      if (quotedValue) row.unquoted.push_back(c);
    }
    if (quoted) return last ? RowStep::Unclosed : RowStep::More;
    if (i == size && !last) return RowStep::More;
    row.written.emplace_back(text.data() + start, i - start);
    if (quotedValue) {
      row.spans.emplace_back(from, row.unquoted.size() - from);
      row.values.emplace_back();  // viewed in `unquoted` once it is whole
    } else {
      row.values.push_back(row.written.back());
    }
    if (i < size && text[i] == separator) {
      ++i;
      continue;
    }
    row.text = text.substr(at, i - at);
    if (i < size) i += text[i] == '\r' ? 2 : 1;
    at = i;
    break;
  }
  std::size_t next = 0;
  for (std::size_t v = 0; v < row.values.size(); ++v) {
    if (row.written[v].empty() || row.written[v].front() != '"') continue;
    const auto [from, length] = row.spans[next++];
    row.values[v] = std::string_view(row.unquoted).substr(from, length);
  }
  return RowStep::Row;
}

}  // namespace

char FindSeparator(std::string_view text) {
  std::array<int, kDelimitedSeparators.size()> counts{};
  bool quoted = false;
  const std::size_t first = text.find_first_not_of("\r\n");
  for (const char c : text.substr(first == std::string_view::npos ? text.size() : first)) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) break;
    const std::size_t at = kDelimitedSeparators.find(c);
    if (!quoted && at != std::string_view::npos) ++counts[at];
  }
  // max_element keeps the first of equals, the order of preference.
  const auto most = std::max_element(counts.begin(), counts.end());
  return *most == 0 ? ',' : kDelimitedSeparators[most - counts.begin()];
}

RowStep ReadDelimitedRow(std::string_view text, std::size_t& at, char separator, bool last,
                         DelimitedRow& row) {
  const std::size_t size = text.size();
  for (;;) {
    // Empty lines first.
    while (at < size &&
           (text[at] == '\n' || (text[at] == '\r' && at + 1 < size && text[at + 1] == '\n'))) {
      at += text[at] == '\n' ? 1 : 2;
    }
    if (at >= size) return last ? RowStep::End : RowStep::More;
    if (size - at == 1 && text[at] == '\r' && !last) return RowStep::More;
    const std::size_t end = SplitPlainLine(text, at, separator, row.values);
    if (end == std::string_view::npos) return ReadQuotedRow(text, at, separator, last, row);
    if (end == size && !last) return RowStep::More;
    std::size_t lineEnd = end;
    if (lineEnd > at && text[lineEnd - 1] == '\r') --lineEnd;
    if (lineEnd == at) {  // a lone CR at the very end
      at = end + 1;
      continue;
    }
    row.text = text.substr(at, lineEnd - at);
    row.plain = true;
    at = end + 1;
    return RowStep::Row;
  }
}

void AppendFilledRow(const DelimitedRow& row,
                     std::span<const std::pair<std::size_t, std::string_view>> filled,
                     char separator, std::string& out) {
  const std::vector<std::string_view>& written = row.Written();
  const std::size_t count = written.size();
  std::size_t copied = 0;  // of the row's text
  std::size_t columns = count;
  for (const auto& [column, value] : filled) {
    if (column < count) {
      const auto begin = static_cast<std::size_t>(written[column].data() - row.text.data());
      out.append(row.text.data() + copied, begin - copied);
      AppendListValue(value, separator, out);
      copied = begin + written[column].size();
      continue;
    }
    if (copied < row.text.size()) {
      out.append(row.text.data() + copied, row.text.size() - copied);
      copied = row.text.size();
    }
    for (; columns <= column; ++columns) out.push_back(separator);
    AppendListValue(value, separator, out);
  }
  out.append(row.text.data() + copied, row.text.size() - copied);
}

int ColumnIndex(const std::vector<std::string>& header, std::string_view name) {
  const auto found = std::find(header.begin(), header.end(), name);
  return found == header.end() ? -1 : static_cast<int>(found - header.begin());
}

int DelimitedText::Column(std::string_view name) const { return ColumnIndex(header, name); }

const std::string& DelimitedText::Value(const std::vector<std::string>& row, int column) const {
  static const std::string kNone;
  return column >= 0 && static_cast<std::size_t>(column) < row.size() ? row[column] : kNone;
}

std::optional<DelimitedText> ReadDelimitedText(std::string_view text, char separator) {
  DelimitedText table;
  table.byteOrderMark = text.starts_with(kByteOrderMark);
  if (table.byteOrderMark) text.remove_prefix(kByteOrderMark.size());
  table.separator = separator != 0 ? separator : FindSeparator(text);
  DelimitedRow row;
  std::size_t at = 0;
  for (;;) {
    const RowStep step = ReadDelimitedRow(text, at, table.separator, true, row);
    if (step == RowStep::Unclosed) return std::nullopt;
    if (step != RowStep::Row) break;
    table.rows.emplace_back(row.values.begin(), row.values.end());
  }
  if (table.rows.empty()) return std::nullopt;
  table.header = std::move(table.rows.front());
  table.rows.erase(table.rows.begin());
  return table;
}
