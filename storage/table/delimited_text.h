// Rows and columns as spreadsheet programs and registries write them.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Text of rows and columns as spreadsheet programs and public registries
// write it: a header line of column names, then one row of values per line.
// A value that begins with a double quote may hold the separator, line
// breaks and doubled double quotes; a quote inside a value that does not
// begin with one is text. Lines end in CR LF or LF; empty lines are passed
// over. The text of every value is kept as it was written, quotes taken off.
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

inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The one of kDelimitedSeparators that the first non-empty line of `text`,
// outside quotes, holds most often (a comma when it holds none).
char FindSeparator(std::string_view text);

// Reads UTF-8 text, with or without a byte-order mark. `separator` 0 finds
// it (FindSeparator). No value when the text has no header line or a quote
// is never closed.
std::optional<DelimitedText> ReadDelimitedText(std::string_view text, char separator = 0);

// One row as read, viewed in the text it was read from (and in `unquoted`
// for values that had quotes): valid until the next read into it.
struct DelimitedRow {
  std::string_view text;                 // the row as written, without its line end
  std::vector<std::string_view> values;  // the quotes taken off
  std::string unquoted;
  std::vector<std::pair<std::size_t, std::size_t>> spans;  // where quoted values stand in it
  bool plain = true;  // no quote: each value as `text` holds it

  // Each value as `text` holds it.
  const std::vector<std::string_view>& Written() const { return plain ? values : written; }

  std::vector<std::string_view> written;  // of a row that is not plain
};

enum class RowStep {
  Row,       // a row was read
  More,      // the row goes on past the end of the text handed in
  End,       // the text is used up
  Unclosed,  // a quote is never closed
};

// Reads the row that begins at `at`, empty lines passed over, and moves `at`
// past its line end. `last` says that no text follows `text`; otherwise a
// row that may go on after it is left for the caller to hand in again with
// what follows. Lines without a quote, most of any list, are split eight
// bytes at a time.
RowStep ReadDelimitedRow(std::string_view text, std::size_t& at, char separator, bool last,
                         DelimitedRow& row);

// Appends `row` as it was written, but for the values of `filled` (column,
// value), sorted by column: those are put in place, quoted as a list
// writes them (AppendListValue), the row first completed with empty values
// up to their columns.
void AppendFilledRow(const DelimitedRow& row,
                     std::span<const std::pair<std::size_t, std::string_view>> filled,
                     char separator, std::string& out);
