#pragma once

#include <string>

class TLbCsv;

inline constexpr const char* kMunicipalityFileName = "comuni.dat";
inline constexpr const char* kArchiveFileName = "archivio.dat";

// Full paths of the two data files in one folder (the executable's).
struct DataFilePaths {
  std::string municipalities;
  std::string archive;
};

// `folder` may or may not end in a path separator.
DataFilePaths MakeDataFilePaths(const std::string& folder);

// Creates the archive holding its header line and CR LF when no file of that
// name exists; an existing file is left as it is. Throws "Cannot create file %s".
void CreateArchiveIfMissing(const std::string& archivePath);

// Creates the archive when missing, then opens it read-write and the
// municipality table read-only, in that order. Stops at the first failure.
void OpenDataTables(const DataFilePaths& paths, TLbCsv& archive, TLbCsv& municipalities);
