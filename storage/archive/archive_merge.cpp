#include "storage/archive/archive_merge.h"

#include <algorithm>

#include "engine/ascii_case.h"
#include "storage/archive/archive.h"
#include "storage/table/record_format.h"
#include "storage/table_error.h"

namespace {

// Whether `names` are `ours` in the same order, letter case aside.
bool SameOrder(const std::vector<std::string>& names, const std::vector<std::string>& ours) {
  return std::equal(names.begin(), names.end(), ours.begin(), ours.end(), EqualIgnoringCase);
}

// The file with its records rewritten in our column order; refused when it
// has columns we lack or lacks ours, as rewriting would lose values.
TableFile InOurOrder(const TableFile& disk, const std::vector<std::string>& names,
                     const std::string& ourHeader, const std::vector<std::string>& ours) {
  std::vector<int> from;
  for (const std::string& name : ours) from.push_back(FindColumn(names, name));
  const bool complete =
      names.size() == ours.size() && std::find(from.begin(), from.end(), -1) == from.end();
  if (!complete) {
    throw TableError("Intestazione dell'archivio cambiata da un altro programma: " +
                     std::string(disk.Line(0)));
  }
  std::string text = ourHeader + "\r\n";
  std::vector<std::string> values;
  std::vector<std::string> reordered(ours.size());
  for (std::size_t i = 1; i < disk.LineCount(); ++i) {
    ParseRecord(disk.Line(i), values);
    values.resize(names.size());
    for (std::size_t c = 0; c < ours.size(); ++c) {
      reordered[c] = values[static_cast<std::size_t>(from[c])];
    }
    text += WriteRecord(reordered) + "\r\n";
  }
  return TableFile::FromText(text);
}

// The first record line from `from` on equal to `line`, or LineCount().
std::size_t FindEqual(const TableFile& file, std::string_view line) {
  if (line.empty()) return file.LineCount();
  return file.FindLine(line, 1, [line](std::string_view other) { return other == line; });
}

}  // namespace

ArchiveMerge::ArchiveMerge(std::string_view ourHeader)
    : header_(ourHeader),
      names_(SplitHeader(ourHeader)),
      codeColumn_(FindColumn(names_, archive_column::kCodiceFiscale)) {}

ArchiveMerge::Result ArchiveMerge::Merge(TableFile disk, const TTableChanges& changes,
                                         std::string_view currentLine, int currentRow) const {
  Result result;
  const std::vector<std::string> names = SplitHeader(disk.Line(0));
  TableFile merged =
      SameOrder(names, names_) ? std::move(disk) : InOurOrder(disk, names, header_, names_);

  for (const std::string& line : changes.removed) {
    const std::size_t at = FindEqual(merged, line);
    if (at == merged.LineCount()) {
      ++result.gone;
      continue;
    }
    merged.Erase(at);
    ++result.deleted;
  }

  int currentAdded = 0;
  std::string code;
  std::string scratch;
  for (const std::string& line : changes.added) {
    ValueAt(line, codeColumn_, code);
    std::size_t at = merged.FindLine(code, 1, [&](std::string_view other) {
      return ValueAt(other, codeColumn_, scratch) == code;
    });
    if (at == merged.LineCount()) {
      merged.Append(line);
      ++result.added;
    } else {
      ++result.present;
    }
    if (line == currentLine) currentAdded = static_cast<int>(at);
  }

  const int records = static_cast<int>(merged.LineCount()) - 1;
  if (currentAdded > 0) {
    result.current = currentAdded;
  } else if (const std::size_t at = FindEqual(merged, currentLine); at < merged.LineCount()) {
    result.current = static_cast<int>(at);
  } else {
    result.current = std::clamp(currentRow, 1, std::max(records, 1));
  }
  result.lines = std::move(merged);
  return result;
}
