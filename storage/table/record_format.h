// A table file's header and record lines, read and written.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the header line and the record lines of a table file are read and
// written. Every byte is a character; nothing is trimmed.

// The column names: the text between commas, quotes and blanks included, a
// UTF-8 byte-order mark before the first left out. A trailing comma gives an
// empty last name.
std::vector<std::string> SplitHeader(std::string_view header);

// The index of the first of `names` equal to `name`, ignoring the case of
// A-Z; -1 when none is.
int FindColumn(const std::vector<std::string>& names, std::string_view name);

// The values stored from one record line, replacing what `values` held (its
// capacity is reused, which keeps a scan over many records cheap). A double
// quote switches quoting wherever it stands, two of them inside quotes give
// one. A value whose quote is never closed is not stored, nor is any after it.
void ParseRecord(std::string_view line, std::vector<std::string>& values);

// One value at a time, as ParseRecord reads them: the value that begins at
// `at` (0, or just past the comma that closed the one before) goes into
// `value`, and `at` moves past the comma that closes it. False when no value
// is stored from there: the line is used up, or the value's quote is never
// closed (then nothing after it is stored either). So a reader that wants one
// column parses up to that column only.
bool ReadValue(std::string_view line, std::size_t& at, std::string& value);
// The same, passing over the value without keeping it.
bool SkipValue(std::string_view line, std::size_t& at);
// The value of column `column` of a record line, the values before it passed
// over, into `value` (its memory reused); empty when the line stores none
// there or `column` is negative.
const std::string& ValueAt(std::string_view line, int column, std::string& value);

// One value as a record line holds it (see WriteRecord), appended to `line`
// so that a writer of many lines can reuse one buffer.
void AppendValue(std::string_view value, std::string& line);

// One value as a list of rows holds it (storage/delimited_text.h), appended
// to `line`: quoted when it holds `separator`, a double quote or a line
// break, its quotes doubled; line breaks kept, as spreadsheets read them.
void AppendListValue(std::string_view value, char separator, std::string& line);

// One record line: a value holding a comma or a double quote is quoted, with
// its quotes doubled; any other value is written as it is. CR, LF and NUL,
// which no line can hold, are written as blanks; a record that would give an
// empty line (one empty value) is written as "".
std::string WriteRecord(const std::vector<std::string>& values);
