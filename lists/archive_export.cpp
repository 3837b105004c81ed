#include "lists/archive_export.h"

#include <algorithm>
#include <vector>

#include "lists/desk_locale.h"
#include "storage/table/delimited_text.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

constexpr std::size_t kOutputFlush = 4 << 20;

}  // namespace

bool LooksLikeFormula(std::string_view value) {
  return !value.empty() &&
         std::string_view("=+-@\t\r").find(value.front()) != std::string_view::npos;
}

std::string AsSpreadsheetText(std::string_view value) {
  std::string text;
  text.reserve(value.size() + 1);
  if (LooksLikeFormula(value)) text += '\'';
  text.append(value);
  return text;
}

ListOutcome ExportArchive(const TableFile& lines, const std::string& output, char separator,
                          const ListWatch& watch) {
  long rows = 0;
  bool cancelled = false;
  const auto write = [&](const ByteSink& sink) {
    std::string written(kByteOrderMark);
    std::vector<std::string> values;
    for (std::size_t index = 0; index < lines.LineCount(); ++index) {
      if (watch.cancel != nullptr && watch.cancel->load(std::memory_order_relaxed)) {
        cancelled = true;
        return false;
      }
      if (index == 0) {
        values = SplitHeader(lines.Line(0));
      } else {
        ParseRecord(lines.Line(index), values);
      }
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) written += separator;
        AppendListValue(AsSpreadsheetText(DeskTextAsUtf8(values[i])), separator, written);
      }
      written += "\r\n";
      if (index > 0 && watch.progress) watch.progress(++rows);
      if (written.size() >= kOutputFlush) {
        if (!sink(written)) return false;
        written.clear();
      }
    }
    return sink(written);
  };
  if (WriteListOutput(output, write)) {
    return {0, false, {}, "Record esportati: " + std::to_string(rows)};
  }
  if (cancelled) return {0, true, {}, {}};
  return {2, false, "Impossibile scrivere il file: " + (output.empty() ? "-" : output), {}};
}

std::string ArchiveListing(const TableFile& lines) {
  std::string text;
  std::vector<std::string> values;
  for (std::size_t index = 0; index < lines.LineCount(); ++index) {
    const std::string_view line = lines.Line(index);
    if (index > 0) ParseRecord(line, values);
    if (index == 0 || std::none_of(values.begin(), values.end(), [](const std::string& value) {
          return LooksLikeFormula(value);
        })) {
      text += line;
    } else {
      for (std::string& value : values) value = AsSpreadsheetText(value);
      text += WriteRecord(values);
    }
    text += "\r\n";
  }
  return text;
}
