#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Text of rows and columns as spreadsheet programs and public registries
// write it: a header line of column names, then one row of values per line.
// Quoting follows RFC 4180: a value in double quotes may hold the separator,
// line breaks and doubled double quotes; lines end in CR LF or LF. The text
// of every value is kept as it was written, quotes taken off.
struct DelimitedText {
  char separator = ',';
  bool byteOrderMark = false;  // the text began with UTF-8's byte-order mark
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;

  // The column named exactly `name`, or -1.
  int Column(std::string_view name) const;
  // The value of `column` in `row`; empty where the row is shorter.
  const std::string& Value(const std::vector<std::string>& row, int column) const;
};

// The index of the column named exactly `name` in `header`, or -1.
int ColumnIndex(const std::vector<std::string>& header, std::string_view name);

// The separators a header line may use, found in this order of preference
// when two are equally frequent.
inline constexpr std::string_view kDelimitedSeparators = ",;\t";

// Reads UTF-8 text, with or without a byte-order mark. `separator` 0 takes
// the one of kDelimitedSeparators that the header line, outside quotes, holds
// most often (a comma when it holds none). Empty lines are passed over. No
// value when the text has no header line or a quote is never closed.
std::optional<DelimitedText> ReadDelimitedText(std::string_view text, char separator = 0);
