#include "storage/data_files.h"

#include <filesystem>
#include <system_error>

#include "storage/archive.h"
#include "storage/table_file.h"
#include "storage/tlbcsv.h"

namespace {

bool EndsInSeparator(const std::string& folder) {
  if (folder.empty()) return false;
  const char last = folder.back();
#ifdef _WIN32
  return last == '\\' || last == '/';
#else
  return last == '/';
#endif
}

}  // namespace

DataFilePaths MakeDataFilePaths(const std::string& folder) {
  std::string base = folder;
  if (!base.empty() && !EndsInSeparator(base)) {
#ifdef _WIN32
    base += '\\';
#else
    base += '/';
#endif
  }
  return {base + kMunicipalityFileName, base + kArchiveFileName};
}

void CreateArchiveIfMissing(const std::string& archivePath) {
  std::error_code error;
  // A link whose target is missing counts as missing: the target is created.
  const auto status = std::filesystem::status(archivePath, error);
  if (status.type() != std::filesystem::file_type::not_found) return;
  TableFile file = TableFile::FromText(kArchiveHeader);
  file.WriteBack(archivePath);
}

void OpenDataTables(const DataFilePaths& paths, TLbCsv& archive, TLbCsv& municipalities) {
  CreateArchiveIfMissing(paths.archive);
  archive.SetTableName(paths.archive);
  archive.SetReadOnly(false);
  archive.Open();
  municipalities.SetTableName(paths.municipalities);
  municipalities.SetReadOnly(true);
  municipalities.Open();
}
