#pragma once

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "storage/list_columns.h"

// The values of one row by field; empty where the list has no such column
// or the row no such value.
using ListValues = std::array<std::string_view, kListFieldCount>;

// A command over a list: the columns it needs, those it fills, and the work
// on each row.
struct ListPass {
  std::vector<ListField> required;  // the header must name each of these
  std::string missing;              // the message when it does not
  std::vector<ListField> filled;    // written where present, added at the end where absent
  // Puts in `out[i]` the value of `filled[i]` for one row; the strings are
  // the caller's from row to row, to reuse their memory.
  std::function<void(const ListValues& row, std::vector<std::string>& out)> row;
};

// Reads the list `input` (standard input when empty): UTF-8 with or without
// a byte-order mark or, when not valid UTF-8, Windows-1252; the separator
// found from the header. Writes it to `output` (standard output when empty)
// in UTF-8 with a byte-order mark, every row as it was but for the filled
// columns. A regular file is written beside itself and moved into place
// only when everything was read and written, so a failed run leaves it as
// it was; a device or pipe is written directly. Rows whose values are all
// empty are written as they are and not handed to `pass.row`. False, with
// the reason on standard error, when the list cannot be read or the output
// cannot be written whole.
bool RunListPass(const std::string& input, const std::string& output, const ListPass& pass);
