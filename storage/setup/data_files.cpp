#include "storage/setup/data_files.h"

#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "storage/archive/archive.h"
#include "storage/files/data_folder.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/place_table/place_table_update.h"
#include "storage/setup/data_file_read_ahead.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "storage/table_error.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kPosixDataFolderName = "vivezevevoziv";
constexpr const char* kWindowsDataFolderName = "Viveze Vevoziv";

char SeparatorOf(HostSystem system) { return system == HostSystem::Windows ? '\\' : '/'; }

bool IsSeparator(HostSystem system, char c) {
  return c == '/' || (system == HostSystem::Windows && c == '\\');
}

std::string Joined(HostSystem system, const std::string& folder, const std::string& name) {
  std::string path = folder;
  if (!path.empty() && !IsSeparator(system, path.back())) path.push_back(SeparatorOf(system));
  path.append(name);
  return path;
}

// `relative` (written with '/') taken from `folder`, its ".." steps resolved
// on the text so that messages name the folder plainly.
std::string Resolved(HostSystem system, const std::string& folder, const std::string& relative) {
  std::string path = folder;
  while (path.size() > 1 && IsSeparator(system, path.back())) path.pop_back();
  std::size_t start = 0;
  while (start <= relative.size()) {
    std::size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    const std::string step = relative.substr(start, end - start);
    if (step == "..") {
      std::size_t cut = path.size();
      while (cut > 0 && !IsSeparator(system, path[cut - 1])) --cut;
      // Never above the root: "/.." is "/".
      path.resize(cut > 1 ? cut - 1 : cut);
    } else if (!step.empty() && step != ".") {
      path = Joined(system, path, step);
    }
    start = end + 1;
  }
  return path;
}

// The installed comuni.dat: the first that exists, else where an install
// would have put it, so that the error names that place.
std::string InstalledMunicipalities(const DataFileFacts& facts) {
  std::vector<std::string> candidates;
  if (!facts.dataFolderFromExecutable.empty()) {
    candidates.push_back(
        Joined(facts.system,
               Resolved(facts.system, facts.executableFolder, facts.dataFolderFromExecutable),
               kMunicipalityFileName));
  }
  if (!facts.installedDataFolder.empty()) {
    candidates.push_back(Joined(facts.system, facts.installedDataFolder, kMunicipalityFileName));
  }
  for (const std::string& candidate : candidates) {
    if (facts.fileExists(candidate)) return candidate;
  }
  return candidates.empty() ? std::string() : candidates.front();
}

DataFilePaths PathsIn(HostSystem system, const std::string& folder) {
  return {Joined(system, folder, kMunicipalityFileName),
          Joined(system, folder, kArchiveFileName),
          {},
          Joined(system, folder, kUpdatedMunicipalityFileName)};
}

}  // namespace

std::string UserDataFolder(const DataFileFacts& facts) {
  if (facts.system == HostSystem::Windows) {
    const std::string appData = facts.environment("APPDATA");
    return appData.empty() ? std::string() : Joined(facts.system, appData, kWindowsDataFolderName);
  }
  // A relative XDG_DATA_HOME is to be ignored.
  const std::string xdg = facts.environment("XDG_DATA_HOME");
  if (!xdg.empty() && xdg.front() == '/') return Joined(facts.system, xdg, kPosixDataFolderName);
  const std::string home = facts.environment("HOME");
  if (home.empty()) return {};
  return Joined(facts.system, Joined(facts.system, home, ".local/share"), kPosixDataFolderName);
}

DataFilePaths MakeDataFilePaths(const std::string& folder) { return PathsIn(kThisSystem, folder); }

DataFilePaths ChooseDataFiles(const DataFileFacts& facts) {
  DataFilePaths beside = PathsIn(facts.system, facts.executableFolder);
  const bool municipalitiesBeside = facts.fileExists(beside.municipalities);
  if (municipalitiesBeside && facts.fileExists(beside.archive)) {
    // A shared archive is never forked: the desks would not see each
    // other's records.
    beside.archiveUnwritable = !facts.fileWritable(beside.archive);
    return beside;
  }
  if (municipalitiesBeside && facts.folderWritable(facts.executableFolder)) return beside;

  DataFilePaths chosen = beside;
  const std::string userFolder = UserDataFolder(facts);
  // Without a user folder the archive stays where it is, and its error says so.
  if (!userFolder.empty()) {
    chosen.archive = Joined(facts.system, userFolder, kArchiveFileName);
    chosen.archiveFolder = userFolder;
    chosen.updatedMunicipalities = Joined(facts.system, userFolder, kUpdatedMunicipalityFileName);
  }
  if (!municipalitiesBeside && facts.system == HostSystem::Posix) {
    const std::string installed = InstalledMunicipalities(facts);
    if (!installed.empty()) chosen.municipalities = installed;
  }
  return chosen;
}

DataFilePaths WithNewerPlaceTable(DataFilePaths paths) {
  std::error_code error;
  if (paths.updatedMunicipalities.empty() ||
      !fs::is_regular_file(PathOf(paths.updatedMunicipalities), error)) {
    return paths;
  }
  const std::string updated = LatestPlaceTableDay(paths.updatedMunicipalities);
  if (!updated.empty() && updated > LatestPlaceTableDay(paths.municipalities)) {
    paths.municipalities = paths.updatedMunicipalities;
  }
  return paths;
}

DataFilePaths LocateDataFiles() {
  return WithNewerPlaceTable(ChooseDataFiles(ReadDataFileFacts()));
}

void CreateArchiveIfMissing(const std::string& archivePath) {
  // A link whose target is missing counts as missing: the target is created.
  const auto missing = [&archivePath] {
    std::error_code error;
    return fs::status(PathOf(archivePath), error).type() == fs::file_type::not_found;
  };
  if (!missing()) return;
  // Under the archive's lock, and looked for again: another desk starting at
  // the same moment may have made it, and written its first record, since.
  std::optional<FileLock> lock;
  try {
    lock.emplace(LockPathOf(archivePath));
  } catch (const LockBusy&) {
    throw ArchiveInUse(archivePath);
  } catch (const TableError&) {
    // No lock file where the archive should be made: no archive either.
    throw TableError("Cannot create file " + archivePath);
  }
  if (!missing()) return;
  TableFile file = TableFile::FromText(kArchiveHeader);
  file.WriteBack(archivePath);
}

void PrepareArchive(const DataFilePaths& paths) {
  if (paths.archiveUnwritable) {
    throw TableError("L'archivio " + paths.archive +
                     " non può essere scritto (il file o la cartella è di sola lettura): chiedere "
                     "a chi gestisce la cartella il permesso di scrivervi. Nessun record è "
                     "conservato altrove.");
  }
  if (!paths.archiveFolder.empty()) MakeDataFolder(paths.archiveFolder, paths.archive);
  CreateArchiveIfMissing(paths.archive);
}

namespace {

void OpenTable(TLbCsv& table, const std::string& path, bool readOnly,
               DataFileReadAhead* readAhead) {
  table.SetTableName(path);
  table.SetReadOnly(readOnly);
  std::optional<TableFile> read = readAhead ? readAhead->Take(path) : std::nullopt;
  if (read) {
    table.Open(std::move(*read));
  } else {
    table.Open();
  }
}

}  // namespace

void OpenDataTables(const DataFilePaths& paths, TLbCsv& archive, TLbCsv& municipalities,
                    DataFileReadAhead* readAhead) {
  PrepareArchive(paths);
  OpenTable(archive, paths.archive, false, readAhead);
  OpenPlaceTable(paths, municipalities, readAhead);
}

void OpenPlaceTable(const DataFilePaths& paths, TLbCsv& municipalities,
                    DataFileReadAhead* readAhead) {
  OpenTable(municipalities, paths.municipalities, true, readAhead);
}
