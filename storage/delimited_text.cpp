#include "storage/delimited_text.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char SeparatorOfHeader(std::string_view text) {
  std::array<int, kDelimitedSeparators.size()> counts{};
  bool quoted = false;
  for (char c : text) {
    if (c == '"') quoted = !quoted;
    if (!quoted && (c == '\n' || c == '\r')) break;
    const std::size_t at = kDelimitedSeparators.find(c);
    if (!quoted && at != std::string_view::npos) ++counts[at];
  }
  // max_element keeps the first of equals, the order of preference.
  const auto most = std::max_element(counts.begin(), counts.end());
  return *most == 0 ? ',' : kDelimitedSeparators[most - counts.begin()];
}

// Splits the text into rows of values; false when a quote is never closed.
bool SplitRows(std::string_view text, char separator, std::vector<std::vector<std::string>>& rows) {
  std::vector<std::string> row;
  std::string value;
  bool quoted = false;       // inside a quoted stretch
  bool lineHasText = false;  // the line so far holds anything, a separator included
  const auto endLine = [&] {
    if (lineHasText) {
      row.push_back(std::move(value));
      rows.push_back(std::move(row));
    }
    row.clear();
    value.clear();
    lineHasText = false;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c != '"') {
        value += c;
      } else if (i + 1 < text.size() && text[i + 1] == '"') {
        value += '"';
        ++i;
      } else {
        quoted = false;
      }
      continue;
    }
    if (c == '"') {
      quoted = true;
      lineHasText = true;
    } else if (c == separator) {
      row.push_back(std::move(value));
      value.clear();
      lineHasText = true;
    } else if (c == '\n') {
      endLine();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      // CR LF ends the line at its LF.
    } else {
      value += c;
      lineHasText = true;
    }
  }
  if (quoted) return false;
  endLine();
  return true;
}

}  // namespace

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
  table.separator = separator != 0 ? separator : SeparatorOfHeader(text);
  if (!SplitRows(text, table.separator, table.rows) || table.rows.empty()) return std::nullopt;
  table.header = std::move(table.rows.front());
  table.rows.erase(table.rows.begin());
  return table;
}
