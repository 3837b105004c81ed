#include "storage/setup/archive_choice.h"

#include <cstdlib>

#include "storage/archive/db_archive.h"
#include "storage/archive/file_archive.h"

std::string ArchiveConnectionString() {
  const char* value = std::getenv("VIVEZE_ARCHIVIO");
  return value != nullptr ? value : "";
}

std::unique_ptr<Archive> MakeArchive(TLbCsv& table) {
  const std::string conninfo = ArchiveConnectionString();
  if (conninfo.empty()) return std::make_unique<FileArchive>(table);
  // The user's own folder even for a portable copy: records waiting for the
  // server are the user's, not the program's.
  return std::make_unique<DbArchive>(table, conninfo, UserDataFolder(ReadDataFileFacts()));
}

void OpenArchive(Archive& archive, const DataFilePaths& paths) {
  if (auto* database = dynamic_cast<DbArchive*>(&archive)) {
    database->Open();
    return;
  }
  PrepareArchive(paths);
  archive.Table().SetTableName(paths.archive);
  archive.Table().Open();
}

void OpenArchiveAndPlaces(Archive& archive, const DataFilePaths& paths, TLbCsv& places,
                          DataFileReadAhead* readAhead) {
  auto* database = dynamic_cast<DbArchive*>(&archive);
  if (database == nullptr) {
    OpenDataTables(paths, archive.Table(), places, readAhead);
    return;
  }
  OpenPlaceTable(paths, places, readAhead);
  try {
    database->Open();
  } catch (const ArchiveUnreachable&) {
    throw;
  } catch (const TableError& refused) {
    // For the desk, a server that refuses is as one out of reach.
    throw ArchiveUnreachable(refused.what());
  }
}
