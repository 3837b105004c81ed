// make-comuni REGISTRY.csv TABLE_IN_USE [-o OUT]
//
// Builds the place table the program ships from the registry's archive of
// municipalities, keeping from the table in use its foreign places and what
// the registry's file lacks or is older in. Writes OUT (by default the table
// in use) only when the result passes the checks, and prints the report.

#include <cstdio>
#include <iostream>
#include <optional>
#include <regex>
#include <string>
#include <variant>
#include <vector>

#include "storage/files/file_io.h"
#include "storage/place_table/place_table_builder.h"
#include "storage/place_table/place_table_check.h"

namespace {

constexpr int kRefused = 2;

std::vector<std::string> LinesOf(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.emplace_back(line);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return lines;
}

// The registry publishes one file name; a copy kept under a dated name gives
// the day it shows, which the newer names of the table in use follow.
std::string DayInName(const std::string& path) {
  static const std::regex kDay("(\\d{4}-\\d{2}-\\d{2})[^/\\\\]*$");
  std::smatch match;
  return std::regex_search(path, match, kDay) ? match[1].str() : std::string();
}

void PrintReport(const PlaceTableReport& report, std::size_t records) {
  std::cout << records << " records: " << report.officialNames << " official names, "
            << report.oldNames << " old names, " << report.otherLanguageNames
            << " names in the other language, " << report.foreign << " foreign places; "
            << report.withoutCode << " registry rows without a code left out\n";
  std::cout << "Elenco comuni aggiornato: " << report.added << " nuovi, " << report.ceased
            << " cessati, " << report.renamed << " rinominati\n";
  for (const std::string& overlap : report.overlapsResolved) {
    std::cout << "overlap resolved: " << overlap << "\n";
  }
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string out;
  if (args.size() == 4 && args[2] == "-o") {
    out = args[3];
    args.resize(2);
  }
  if (args.size() != 2) {
    std::cerr << "usage: make-comuni REGISTRY.csv TABLE_IN_USE [-o OUT]\n";
    return kRefused;
  }
  if (out.empty()) out = args[1];
  const std::optional<FileBytes> registry = ReadWholeFile(args[0]);
  const std::optional<FileBytes> table = ReadWholeFile(args[1]);
  if (!registry || !table) {
    std::cerr << "Cannot open file " << (registry ? args[1] : args[0]) << "\n";
    return kRefused;
  }
  const PlaceTableBuild build = BuildPlaceTable(registry->View(), LinesOf(table->View()),
                                                PlaceTableSource::Shipped, DayInName(args[0]));
  if (const auto* refusal = std::get_if<RegistryNotRecognized>(&build)) {
    std::cerr << RefusalText(*refusal, args[0]) << "\n";
    return kRefused;
  }
  if (const auto* refusal = std::get_if<RegistryLacksCodes>(&build)) {
    std::cerr << RefusalText(*refusal) << "\n";
    return kRefused;
  }
  const PlaceTable& result = std::get<PlaceTable>(build);
  std::string text;
  for (const std::string& line : result.Lines()) text += line + "\r\n";
  PrintReport(result.report, result.records.size());
  if (const std::optional<std::string> failure = PlaceTableFailure(text)) {
    std::cerr << "Elenco non valido: " << *failure << "\n";
    return kRefused;
  }
  if (!ReplaceFileContents(out, text)) {
    std::cerr << "Cannot create file " << out << "\n";
    return kRefused;
  }
  return 0;
}
