// The record line parser and writer: any line parses, and a written record
// reads back as the values it was written from.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

// What the writer promises to keep: every byte but CR, LF and NUL, which it
// turns into blanks.
std::vector<std::string> AsWritten(std::vector<std::string> values) {
  for (std::string& value : values) {
    for (char& c : value) {
      if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
  }
  return values;
}

void CheckRoundTrip(const std::vector<std::string>& values) {
  const std::string line = WriteRecord(values);
  // A line break or NUL would split or cut the line in the file, and an empty
  // line would be dropped on loading.
  if (line.empty() || line.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos) {
    std::abort();
  }
  std::vector<std::string> parsed;
  ParseRecord(line, parsed);
  if (parsed != AsWritten(values)) std::abort();
  // The line survives a file: the loader gives it back as it stands.
  const TableFile file = TableFile::FromText("H\r\n" + line + "\r\n");
  if (file.LineCount() != 2 || file.Line(1) != line) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);

  // The whole input as one line: it parses, and what it gives writes and
  // reads back (a line whose first value never closes its quote gives none).
  std::vector<std::string> values;
  ParseRecord(bytes, values);
  if (!values.empty()) CheckRoundTrip(values);

  // The same bytes cut into values of any content. A table has one column at
  // least, so a record has one value at least.
  FuzzedDataProvider provider(data, size);
  std::vector<std::string> record;
  do {
    record.push_back(provider.ConsumeRandomLengthString());
  } while (provider.remaining_bytes() > 0 && record.size() < 64);
  CheckRoundTrip(record);
  return 0;
}
