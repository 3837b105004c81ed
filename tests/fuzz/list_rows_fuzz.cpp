// The list reader: text handed over in pieces gives the rows the whole text
// gives, and a value written for a list reads back as it was.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "storage/table/delimited_text.h"
#include "storage/table/record_format.h"

namespace {

struct Rows {
  std::vector<std::string> texts;
  std::vector<std::vector<std::string>> values;
  bool unclosed = false;
};

// Reads `text` handed over `piece` bytes at a time, as a list is read.
Rows ReadInPieces(const std::string& text, std::size_t piece, char separator) {
  Rows rows;
  std::string held;
  std::size_t given = 0, at = 0;
  DelimitedRow row;
  for (;;) {
    const bool last = given == text.size();
    const RowStep step = ReadDelimitedRow(held, at, separator, last, row);
    if (step == RowStep::End) return rows;
    if (step == RowStep::Unclosed) {
      rows.unclosed = true;
      return rows;
    }
    if (step == RowStep::More) {
      held.erase(0, at);
      at = 0;
      const std::size_t n = std::min(piece, text.size() - given);
      held.append(text, given, n);
      given += n;
      continue;
    }
    rows.texts.emplace_back(row.text);
    rows.values.emplace_back(row.values.begin(), row.values.end());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  const char separator = input.PickValueInArray({',', ';', '\t'});
  const std::size_t piece = input.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string text = input.ConsumeRemainingBytesAsString();
  const Rows whole = ReadInPieces(text, text.size() + 1, separator);
  const Rows pieces = ReadInPieces(text, piece, separator);
  if (whole.texts != pieces.texts || whole.values != pieces.values ||
      whole.unclosed != pieces.unclosed) {
    std::abort();
  }
  // Each value written for a list is one value of its row when read back,
  // under a header line.
  for (const auto& values : whole.values) {
    for (const std::string& value : values) {
      std::string line;
      AppendListValue(value, separator, line);
      const Rows back = ReadInPieces("x\n" + line + separator + "\n", 7, separator);
      if (back.values.size() != 2 || back.values[1].size() != 2 || back.values[1][0] != value) {
        std::abort();
      }
    }
  }
  return 0;
}
