// The places in use before the registry became the table's source.
#pragma once

// The names of places in use in the table as it was before the registry's
// archive became its source (places_in_use.csv). Archived records name their
// place by these, so each must stay in use with its code in every later table.

#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "storage/table/delimited_text.h"
#include "storage/table/record_format.h"

namespace places_in_use {

inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

inline std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// "NAME CODE" for each fixture name that `tableText` (a comuni.dat) does not
// hold open with its code; empty when every one is there.
inline std::vector<std::string> Missing(const std::string& tableText) {
  const std::vector<std::string> table = LinesOf(tableText);
  if (table.empty()) return {"the table is empty"};
  const std::vector<std::string> header = SplitHeader(table.front());
  const int name = ColumnIndex(header, "comuni");
  const int code = ColumnIndex(header, "Code");
  const int until = ColumnIndex(header, "Al");
  std::set<std::pair<std::string, std::string>> open;
  std::vector<std::string> values;
  for (std::size_t i = 1; i < table.size(); ++i) {
    ParseRecord(table[i], values);
    if (static_cast<int>(values.size()) <= std::max({name, code, until})) continue;
    if (values[until].empty()) open.insert({values[name], values[code]});
  }
  std::vector<std::string> missing;
  const std::vector<std::string> fixture =
      LinesOf(FileText(std::string(VIVEZE_STORAGE_TEST_DIR) + "/places/places_in_use.csv"));
  for (std::size_t i = 1; i < fixture.size(); ++i) {
    ParseRecord(fixture[i], values);
    if (values.size() != 2 || !open.contains({values[0], values[1]})) {
      missing.push_back(fixture[i]);
    }
  }
  return missing;
}

}  // namespace places_in_use
