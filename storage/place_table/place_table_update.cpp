#include "storage/place_table/place_table_update.h"

#include <algorithm>
#include <exception>
#include <optional>
#include <variant>
#include <vector>

#include "engine/iso_day.h"
#include "storage/files/file_io.h"
#include "storage/place_table/place_table_builder.h"
#include "storage/place_table/place_table_check.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

std::optional<TableFile> LoadIfReadable(const std::string& path) {
  try {
    return TableFile::Load(path);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

PlaceUpdate Refused(std::string message) {
  return {PlaceUpdateOutcome::Refused, std::move(message)};
}

}  // namespace

PlaceUpdate UpdatePlaceTable(const std::string& registryPath, const std::string& tableInUse,
                             const std::string& updatedPath) {
  const std::optional<FileBytes> registry = ReadWholeFile(registryPath);
  if (!registry) return Refused("Cannot open file " + registryPath);
  const std::optional<TableFile> table = LoadIfReadable(tableInUse);
  if (!table) return Refused("Cannot open file " + tableInUse);
  std::vector<std::string> inUse;
  inUse.reserve(table->LineCount());
  for (std::size_t i = 0; i < table->LineCount(); ++i) inUse.emplace_back(table->Line(i));

  const PlaceTableBuild build = BuildPlaceTable(registry->View(), inUse, PlaceTableSource::Update);
  if (const auto* refusal = std::get_if<RegistryNotRecognized>(&build)) {
    return Refused(RefusalText(*refusal, registryPath));
  }
  if (const auto* refusal = std::get_if<RegistryLacksCodes>(&build)) {
    return Refused(RefusalText(*refusal));
  }
  const PlaceTable& result = std::get<PlaceTable>(build);
  const std::vector<std::string> lines = result.Lines();
  std::string text;
  for (const std::string& line : lines) text.append(line).append("\r\n");
  if (const std::optional<std::string> failure = PlaceTableFailure(text)) {
    return Refused("Elenco non valido: " + *failure);
  }
  if (lines == inUse) return {PlaceUpdateOutcome::AlreadyCurrent, "Elenco comuni già aggiornato"};
  if (!ReplaceFileContents(updatedPath, text)) return Refused("Cannot create file " + updatedPath);
  const PlaceTableReport& report = result.report;
  return {PlaceUpdateOutcome::Updated, "Elenco comuni aggiornato: " + std::to_string(report.added) +
                                           " nuovi, " + std::to_string(report.ceased) +
                                           " cessati, " + std::to_string(report.renamed) +
                                           " rinominati"};
}

std::string LatestPlaceTableDay(const std::string& path) {
  const std::optional<TableFile> table = LoadIfReadable(path);
  if (!table || table->LineCount() == 0) return {};
  const std::vector<std::string> header = SplitHeader(table->Line(0));
  const int columns[] = {FindColumn(header, "Dal"), FindColumn(header, "Al")};
  std::string latest;
  std::string value;
  for (std::size_t i = 1; i < table->LineCount(); ++i) {
    for (int column : columns) {
      if (column < 0) continue;
      const std::string& day = ValueAt(table->Line(i), column, value);
      if (day > latest && IsIsoDay(day)) latest = day;
    }
  }
  return latest;
}
