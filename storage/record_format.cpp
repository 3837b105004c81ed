#include "storage/record_format.h"

std::vector<std::string> SplitHeader(std::string_view header) {
  std::vector<std::string> names;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = header.find(',', start);
    if (comma == std::string_view::npos) {
      names.emplace_back(header.substr(start));
      return names;
    }
    names.emplace_back(header.substr(start, comma - start));
    start = comma + 1;
  }
}

void ParseRecord(std::string_view line, std::vector<std::string>& values) {
  // Values are written into the strings already there, keeping their memory.
  std::size_t stored = 0;
  auto value = [&]() -> std::string& {
    if (stored == values.size()) values.emplace_back();
    return values[stored];
  };
  value().clear();
  bool quoted = false;
  const std::size_t size = line.size();
  std::size_t i = 0;
  while (i < size) {
    // Plain characters are taken a run at a time, up to the next one that
    // matters in the present quoting.
    std::size_t run = i;
    while (run < size && line[run] != '"' && (quoted || line[run] != ',')) ++run;
    value().append(line.data() + i, run - i);
    if (run == size) break;
    i = run + 1;
    if (line[run] == ',') {
      ++stored;
      value().clear();
    } else if (quoted && i < size && line[i] == '"') {
      value() += '"';
      ++i;
    } else {
      quoted = !quoted;
    }
  }
  // The comma that closes the last value; inside quotes it is text and the
  // value stays unstored.
  if (!quoted) ++stored;
  values.resize(stored);
}

std::string WriteRecord(const std::vector<std::string>& values) {
  std::string line;
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) line += ',';
    const std::string& value = values[i];
    const bool quote = value.find_first_of(",\"") != std::string::npos;
    if (quote) line += '"';
    for (const char c : value) {
      if (c == '"') {
        line += "\"\"";
      } else if (c == '\r' || c == '\n' || c == '\0') {
        line += ' ';
      } else {
        line += c;
      }
    }
    if (quote) line += '"';
  }
  // An empty line would be dropped on loading, and the record with it.
  if (line.empty() && !values.empty()) line = "\"\"";
  return line;
}
