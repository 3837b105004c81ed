// Where the data files are, and their opening.
#pragma once

#include <functional>
#include <string>

#include "storage/files/host_system.h"

class DataFileReadAhead;
class TLbCsv;

inline constexpr const char* kMunicipalityFileName = "comuni.dat";
inline constexpr const char* kArchiveFileName = "archivio.dat";
// The place table the user updated from the registry's file.
inline constexpr const char* kUpdatedMunicipalityFileName = "comuni-aggiornati.dat";

// Full paths of the two data files.
struct DataFilePaths {
  std::string municipalities;  // the place table read
  std::string archive;
  // The user's folder that holds the archive, made when missing before the
  // archive is created; empty when the archive lives beside the executable.
  std::string archiveFolder;
  // Where an update of the place table is written: beside the archive.
  std::string updatedMunicipalities;
  // The archive beside the executable exists but cannot be written (a
  // read-only file, or a share mounted read-only): refused when prepared,
  // never replaced by another that the other desks would not see.
  bool archiveUnwritable = false;
};

// What the place of the data files depends on: read from the running program
// by ReadDataFileFacts, or made up by a test. Paths are UTF-8.
struct DataFileFacts {
  HostSystem system = kThisSystem;
  std::string executableFolder;
  // Where an install puts comuni.dat: relative to the executable's folder
  // ("../share/vivezevevoziv"), so that a moved install still finds it, and
  // the folder under the prefix the build was made for.
  std::string dataFolderFromExecutable;
  std::string installedDataFolder;
  std::function<bool(const std::string& path)> fileExists;
  // An existing file that a write-back can replace (the file, and the
  // folder that takes the new one, writable).
  std::function<bool(const std::string& path)> fileWritable;
  // A folder in which a new file can be made.
  std::function<bool(const std::string& folder)> folderWritable;
  // An environment variable's value; empty when unset.
  std::function<std::string(const char* name)> environment;
};

// Both files in one folder, which may or may not end in a path separator.
DataFilePaths MakeDataFilePaths(const std::string& folder);

// The paths with the updated place table to be read instead of the shipped
// one when it names a later day (first or last of any record); the shipped
// one on a tie. Without an updated table nothing is read.
DataFilePaths WithNewerPlaceTable(DataFilePaths paths);

// Where the files are. The executable's folder holds both (a portable
// program) when comuni.dat is there and archivio.dat is there (refused when
// it cannot be written: archiveUnwritable), or missing in a writable
// folder. Otherwise the archive goes to the user's
// data folder ($XDG_DATA_HOME/vivezevevoziv or ~/.local/share/vivezevevoziv;
// %APPDATA%\Viveze Vevoziv on Windows) and, on Posix systems, a comuni.dat
// missing beside the executable is taken from the installed data folder.
DataFilePaths ChooseDataFiles(const DataFileFacts& facts);

// The folder of the user's own data, whether or not the archive lives
// there; empty when the environment names none.
std::string UserDataFolder(const DataFileFacts& facts);

// The facts of the running program, and the files they give, the newer
// place table chosen.
DataFileFacts ReadDataFileFacts();
DataFilePaths LocateDataFiles();

// The folder of the running executable (empty when the system does not say).
std::string ExecutableFolder();

// Creates the archive holding its header line and CR LF when no file of that
// name exists; an existing file is left as it is. Looked for again under the
// archive's lock before it is made, so that a desk never empties the archive
// another desk just made and wrote to. Throws "Cannot create file %s", or
// ArchiveBusy when another desk holds the lock past its limit.
void CreateArchiveIfMissing(const std::string& archivePath);

// Makes the archive's folder when the paths name one and creates the archive
// when missing. Throws "Cannot create file %s" for the archive, and
// "L'archivio <path> non può essere scritto ..." for one archiveUnwritable.
void PrepareArchive(const DataFilePaths& paths);

// Makes the archive's folder when the paths name one, creates the archive
// when missing, then opens it read-write and the municipality table
// read-only, in that order. Stops at the first failure; a folder that cannot
// be made fails as the archive would: "Cannot create file %s". A file that
// `readAhead` holds is opened from what it read.
void OpenDataTables(const DataFilePaths& paths, TLbCsv& archive, TLbCsv& municipalities,
                    DataFileReadAhead* readAhead = nullptr);
// The municipality table alone, read-only, as OpenDataTables opens it (an
// archive kept elsewhere than in a file).
void OpenPlaceTable(const DataFilePaths& paths, TLbCsv& municipalities,
                    DataFileReadAhead* readAhead = nullptr);
