// One run over a list: read, each row's work, written, with progress and cancel.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/list_columns.h"
#include "storage/files/file_io.h"

// The values of one row by field; empty where the list has no such column
// or the row no such value.
using ListValues = std::array<std::string_view, kListFieldCount>;
inline std::string_view ValueOf(const ListValues& row, ListField field) {
  return row[static_cast<std::size_t>(field)];
}

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

// What one watching a long list gives the pass; both may be left empty.
struct ListWatch {
  // Told after every row on the pass's thread: the rows done so far.
  std::function<void(long rows)> progress;
  // Set from any thread: the pass stops before the next row and the output
  // file is neither written nor left half made.
  const std::atomic<bool>* cancel = nullptr;
};

// How a list ended, as the command line tells it.
struct ListOutcome {
  int status = 0;  // 0 every row done, 1 some not, 2 the list not read or not written
  bool cancelled = false;
  std::string message;  // with status 2: the one-line reason
  std::string summary;  // otherwise: the counts, "Righe lette: ..."
};

// Reads the list `input` (standard input when empty): UTF-8 with or without
// a byte-order mark or, when not valid UTF-8, Windows-1252; the separator
// found from the header. Writes it to `output` (standard output when empty)
// in UTF-8 with a byte-order mark, every row as it was but for the filled
// columns. A regular file is written beside itself and moved into place
// only when everything was read and written, so a failed or cancelled run
// leaves it as it was and no temporary file; a device or pipe is written
// directly. Rows whose values are all empty are written as they are and not
// handed to `pass.row`. Status 2 with the reason when the list cannot be
// read or the output cannot be written whole.
ListOutcome RunListPass(const std::string& input, const std::string& output, const ListPass& pass,
                        const ListWatch& watch = {});

// Hands `write` where a list's output goes: standard output when `output` is
// empty; a regular file (or none yet) written beside itself and moved into
// place only when `write` succeeded; a device or pipe directly. True when
// every byte was written.
bool WriteListOutput(const std::string& output, const std::function<bool(const ByteSink&)>& write);
