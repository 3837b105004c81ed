#pragma once

#include <string>
#include <string_view>
#include <vector>

// How the header line and the record lines of a table file are read and
// written. Every byte is a character; nothing is trimmed.

// The column names: the text between commas, quotes and blanks included. A
// trailing comma gives an empty last name.
std::vector<std::string> SplitHeader(std::string_view header);

// The values stored from one record line, replacing what `values` held (its
// capacity is reused, which keeps a scan over many records cheap). A double
// quote switches quoting wherever it stands, two of them inside quotes give
// one. A value whose quote is never closed is not stored, nor is any after it.
void ParseRecord(std::string_view line, std::vector<std::string>& values);

// One record line: a value holding a comma or a double quote is quoted, with
// its quotes doubled; any other value is written as it is. CR, LF and NUL,
// which no line can hold, are written as blanks; a record that would give an
// empty line (one empty value) is written as "".
std::string WriteRecord(const std::vector<std::string>& values);
