#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <thread>

#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/setup/data_files.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

namespace {

const char kMunicipalities[] = "comuni,Code,Prov\r\nCESENA,C573,FC\r\nFORLI',D704,FC\r\n";

// A made-up machine: which files exist, which can be written, which folders
// take new files, and the environment.
struct FakeMachine {
  HostSystem system = HostSystem::Posix;
  std::string executableFolder;
  std::set<std::string> files;
  std::set<std::string> writableFiles;
  std::set<std::string> writableFolders;
  std::map<std::string, std::string> environment;

  DataFilePaths Choose() const {
    DataFileFacts facts;
    facts.system = system;
    facts.executableFolder = executableFolder;
    facts.dataFolderFromExecutable = "../share/vivezevevoziv";
    facts.installedDataFolder = "/usr/share/vivezevevoziv";
    facts.fileExists = [this](const std::string& path) { return files.count(path) > 0; };
    facts.fileWritable = [this](const std::string& path) { return writableFiles.count(path) > 0; };
    facts.folderWritable = [this](const std::string& path) {
      return writableFolders.count(path) > 0;
    };
    facts.environment = [this](const char* name) {
      const auto it = environment.find(name);
      return it == environment.end() ? std::string() : it->second;
    };
    return ChooseDataFiles(facts);
  }
};

}  // namespace

TEST(DataFiles, PathsAreTheFolderAndTheFileName) {
#ifdef _WIN32
  const std::string folder = "C:\\Programmi\\Viveze";
  const std::string expected = "C:\\Programmi\\Viveze\\";
#else
  const std::string folder = "/opt/viveze";
  const std::string expected = "/opt/viveze/";
#endif
  for (const std::string& given : {folder, expected}) {
    const DataFilePaths paths = MakeDataFilePaths(given);
    EXPECT_EQ(paths.municipalities, expected + "comuni.dat");
    EXPECT_EQ(paths.archive, expected + "archivio.dat");
  }
}

TEST(DataFiles, FirstStartCreatesTheArchiveHeaderAndKeepsItThroughAnExit) {
  TempFolder folder;
  folder.Write("comuni.dat", kMunicipalities);
  const DataFilePaths paths = MakeDataFilePaths(folder.Path().string());
  {
    TLbCsv archive("LbCsv2");
    TLbCsv municipalities("LbCsv1");
    OpenDataTables(paths, archive, municipalities);
    EXPECT_EQ(TempFolder::Read(paths.archive), "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n");
    EXPECT_TRUE(archive.Active());
    EXPECT_TRUE(archive.Writable());
    EXPECT_TRUE(archive.Empty());
    EXPECT_EQ(archive.FieldCount(), 6);
    EXPECT_TRUE(municipalities.Active());
    EXPECT_FALSE(municipalities.Writable());
    EXPECT_EQ(municipalities.FieldNamed("prov").Text(), "FC");
    municipalities.Close();
    archive.Close();
  }
  EXPECT_EQ(TempFolder::Read(paths.archive), "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n");
  EXPECT_EQ(TempFolder::Read(paths.municipalities), kMunicipalities);
}

// Two desks starting at once on a shared folder with no archive yet: the one
// that waited for the lock finds the archive the other made and wrote to.
TEST(DataFiles, AnArchiveMadeWhileTheLockWasWaitedForIsKept) {
  TempFolder folder;
  const std::string path = folder.File("archivio.dat");
  const std::string written = "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\nA,B,M,C,D,E\r\n";
  std::thread other;
  {
    FileLock firstDesk(LockPathOf(path));
    other = std::thread([&] { CreateArchiveIfMissing(path); });
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ASSERT_TRUE(ReplaceFileContents(path, written));
  }
  other.join();
  EXPECT_EQ(TempFolder::Read(path), written);
}

TEST(DataFiles, AnExistingArchiveIsUsedAsItIs) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", "");
  CreateArchiveIfMissing(path);
  EXPECT_EQ(TempFolder::Read(path), "");
  TLbCsv archive("LbCsv2");
  TLbCsv municipalities("LbCsv1");
  EXPECT_EQ(ErrorOf([&] {
              OpenDataTables(MakeDataFilePaths(folder.Path().string()), archive, municipalities);
            }),
            "List index out of bounds (0)");
  EXPECT_FALSE(municipalities.Active());
  EXPECT_EQ(TempFolder::Read(path), "");
}

TEST(DataFiles, FailuresStopAtTheFirstTableThatCannotOpen) {
  TempFolder folder;
  const DataFilePaths paths = MakeDataFilePaths(folder.Path().string());
  TLbCsv archive("LbCsv2");
  TLbCsv municipalities("LbCsv1");
  EXPECT_EQ(ErrorOf([&] { OpenDataTables(paths, archive, municipalities); }),
            "Cannot open file " + paths.municipalities);
  EXPECT_TRUE(archive.Active());
  EXPECT_FALSE(municipalities.Active());

  const DataFilePaths nowhere = MakeDataFilePaths(folder.File("no-such-folder"));
  TLbCsv archive2("LbCsv2");
  EXPECT_EQ(ErrorOf([&] { OpenDataTables(nowhere, archive2, municipalities); }),
            "Cannot create file " + nowhere.archive);
  EXPECT_FALSE(archive2.Active());
  EXPECT_FALSE(std::filesystem::exists(folder.File("no-such-folder")));
}

TEST(DataFilePlace, APortableFolderKeepsBothFilesBesideTheExecutable) {
  FakeMachine machine;
  machine.executableFolder = "/home/ana/viveze";
  machine.files = {"/home/ana/viveze/comuni.dat", "/usr/share/vivezevevoziv/comuni.dat"};
  machine.writableFolders = {"/home/ana/viveze"};
  machine.environment = {{"HOME", "/home/ana"}};
  DataFilePaths paths = machine.Choose();
  EXPECT_EQ(paths.municipalities, "/home/ana/viveze/comuni.dat");
  EXPECT_EQ(paths.archive, "/home/ana/viveze/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "");

  // A folder nobody may write, holding an archive that may be written: that
  // archive is the one, beside the executable.
  machine.writableFolders.clear();
  machine.files.insert("/home/ana/viveze/archivio.dat");
  machine.writableFiles = {"/home/ana/viveze/archivio.dat"};
  paths = machine.Choose();
  EXPECT_EQ(paths.archive, "/home/ana/viveze/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "");

  EXPECT_FALSE(paths.archiveUnwritable);

  // The same archive read-only in that folder (a share): still that one,
  // refused when prepared, never another in the user's folder.
  machine.writableFiles.clear();
  paths = machine.Choose();
  EXPECT_EQ(paths.municipalities, "/home/ana/viveze/comuni.dat");
  EXPECT_EQ(paths.archive, "/home/ana/viveze/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "");
  EXPECT_TRUE(paths.archiveUnwritable);
}

TEST(DataFilePlace, InstalledOnLinuxReadsTheSharedTableAndKeepsTheArchiveInTheUsersFolder) {
  FakeMachine machine;
  machine.executableFolder = "/usr/bin";
  machine.files = {"/usr/share/vivezevevoziv/comuni.dat"};
  machine.environment = {{"HOME", "/home/nicolò"}};
  DataFilePaths paths = machine.Choose();
  EXPECT_EQ(paths.municipalities, "/usr/share/vivezevevoziv/comuni.dat");
  EXPECT_EQ(paths.archive, "/home/nicolò/.local/share/vivezevevoziv/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "/home/nicolò/.local/share/vivezevevoziv");
  EXPECT_EQ(paths.updatedMunicipalities,
            "/home/nicolò/.local/share/vivezevevoziv/comuni-aggiornati.dat");

  machine.environment["XDG_DATA_HOME"] = "/srv/dati/";
  paths = machine.Choose();
  EXPECT_EQ(paths.archive, "/srv/dati/vivezevevoziv/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "/srv/dati/vivezevevoziv");

  // A relative XDG_DATA_HOME is not to be used.
  machine.environment["XDG_DATA_HOME"] = "dati";
  EXPECT_EQ(machine.Choose().archive, "/home/nicolò/.local/share/vivezevevoziv/archivio.dat");

  // Without any home the archive stays beside the executable, where
  // creating it fails with that path.
  machine.environment.clear();
  paths = machine.Choose();
  EXPECT_EQ(paths.archive, "/usr/bin/archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "");
}

TEST(DataFilePlace, AMovedInstallFindsItsTableFromTheExecutablesFolder) {
  FakeMachine machine;
  machine.executableFolder = "/opt/viveze/bin/";
  machine.files = {"/opt/viveze/share/vivezevevoziv/comuni.dat",
                   "/usr/share/vivezevevoziv/comuni.dat"};
  machine.environment = {{"HOME", "/root"}};
  EXPECT_EQ(machine.Choose().municipalities, "/opt/viveze/share/vivezevevoziv/comuni.dat");

  // Only the prefix the build was made for has it.
  machine.files = {"/usr/share/vivezevevoziv/comuni.dat"};
  EXPECT_EQ(machine.Choose().municipalities, "/usr/share/vivezevevoziv/comuni.dat");

  // Nowhere: the error will name where the install should have put it.
  machine.files.clear();
  EXPECT_EQ(machine.Choose().municipalities, "/opt/viveze/share/vivezevevoziv/comuni.dat");

  // ".." never climbs above the root.
  machine.executableFolder = "/bin";
  machine.files = {"/share/vivezevevoziv/comuni.dat"};
  EXPECT_EQ(machine.Choose().municipalities, "/share/vivezevevoziv/comuni.dat");
}

TEST(DataFilePlace, OnWindowsAFolderNotWritableSendsTheArchiveToAppData) {
  FakeMachine machine;
  machine.system = HostSystem::Windows;
  machine.executableFolder = "C:\\Program Files\\Viveze Vevoziv";
  machine.files = {"C:\\Program Files\\Viveze Vevoziv\\comuni.dat"};
  machine.environment = {{"APPDATA", "C:\\Users\\Nicolò\\AppData\\Roaming"},
                         {"HOME", "C:\\Users\\Nicolò"}};
  DataFilePaths paths = machine.Choose();
  EXPECT_EQ(paths.municipalities, "C:\\Program Files\\Viveze Vevoziv\\comuni.dat");
  EXPECT_EQ(paths.archive, "C:\\Users\\Nicolò\\AppData\\Roaming\\Viveze Vevoziv\\archivio.dat");
  EXPECT_EQ(paths.archiveFolder, "C:\\Users\\Nicolò\\AppData\\Roaming\\Viveze Vevoziv");

  // A writable folder is a portable one, as on any system.
  machine.writableFolders = {"C:\\Program Files\\Viveze Vevoziv"};
  EXPECT_EQ(machine.Choose().archive, "C:\\Program Files\\Viveze Vevoziv\\archivio.dat");

  // The table is never looked for in a shared data folder there.
  machine.files.clear();
  machine.writableFolders.clear();
  paths = machine.Choose();
  EXPECT_EQ(paths.municipalities, "C:\\Program Files\\Viveze Vevoziv\\comuni.dat");
  EXPECT_EQ(paths.archiveFolder, "C:\\Users\\Nicolò\\AppData\\Roaming\\Viveze Vevoziv");
}

// The shared data folder is a Posix one.
#ifndef _WIN32
TEST(DataFilePlace, AnInstalledLayoutOnDiskOpensTheSharedTableAndMakesTheUsersFolder) {
  TempFolder root;
  const std::filesystem::path prefix = root.Path() / "prefix";
  std::filesystem::create_directories(prefix / "bin");
  std::filesystem::create_directories(prefix / "share" / "vivezevevoziv");
  root.Write("prefix/share/vivezevevoziv/comuni.dat", kMunicipalities);

  DataFileFacts facts = ReadDataFileFacts();
  facts.executableFolder = (prefix / "bin").string();
  facts.dataFolderFromExecutable = "../share/vivezevevoziv";
  facts.folderWritable = [](const std::string&) { return false; };  // as /usr/bin is
  const std::string xdg = root.File("dati utente");
  facts.environment = [&](const char* name) {
    return std::string(name) == "XDG_DATA_HOME" ? xdg : std::string();
  };
  const DataFilePaths paths = ChooseDataFiles(facts);
  EXPECT_EQ(paths.municipalities, (prefix / "share/vivezevevoziv/comuni.dat").string());
  EXPECT_EQ(paths.archive, xdg + "/vivezevevoziv/archivio.dat");

  TLbCsv archive("LbCsv2");
  TLbCsv municipalities("LbCsv1");
  OpenDataTables(paths, archive, municipalities);
  EXPECT_TRUE(municipalities.Active());
  EXPECT_EQ(TempFolder::Read(paths.archive), "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n");
  // Personal data: the folders made for it are the user's alone.
  for (const std::string& made : {xdg, paths.archiveFolder}) {
    EXPECT_EQ(std::filesystem::status(made).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_all)
        << made;
  }
  archive.Close();
  municipalities.Close();

  // The folder cannot be made when a file stands in its way.
  DataFilePaths blocked = paths;
  blocked.archiveFolder = root.Write("un file", "x") + "/vivezevevoziv";
  blocked.archive = blocked.archiveFolder + "/archivio.dat";
  TLbCsv archive2("LbCsv2");
  EXPECT_EQ(ErrorOf([&] { OpenDataTables(blocked, archive2, municipalities); }),
            "Cannot create file " + blocked.archive);
  EXPECT_FALSE(archive2.Active());
}

#endif

TEST(DataFilePlace, TheRunningProgramsFactsJudgeRealFiles) {
  TempFolder folder;
  const DataFileFacts facts = ReadDataFileFacts();
  EXPECT_TRUE(std::filesystem::exists(facts.executableFolder + "/storage_tests") ||
              std::filesystem::exists(facts.executableFolder + "/storage_tests.exe"))
      << facts.executableFolder;
  EXPECT_TRUE(facts.folderWritable(folder.Path().string()));
  EXPECT_EQ(folder.EntryCount(), 0);  // the probe leaves nothing
  EXPECT_FALSE(facts.folderWritable(folder.File("missing")));

  const std::string archive = folder.Write("archivio.dat", "Cognome\r\n");
  EXPECT_TRUE(facts.fileExists(archive));
  EXPECT_TRUE(facts.fileWritable(archive));
  std::filesystem::permissions(archive, std::filesystem::perms::owner_read |
                                            std::filesystem::perms::group_read |
                                            std::filesystem::perms::others_read);
  EXPECT_FALSE(facts.fileWritable(archive));
  EXPECT_FALSE(facts.fileWritable(folder.File("missing.dat")));
  EXPECT_FALSE(facts.fileExists(folder.File("missing.dat")));
  std::filesystem::permissions(archive, std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);
}

// The updated place table is read when it names a later day, first or last
// (a place that only ceased names no later first day); the shipped one on a tie.
TEST(DataFiles, TheUpdatedPlaceTableIsReadWhenItNamesALaterDay) {
  const std::string shipped = "comuni,Code,Prov,Dal,Al\r\nSOVIZZO,M436,VI,2024-01-22,\r\n";
  const std::pair<std::string, bool> cases[] = {
      {"", false},
      {shipped, false},
      {"comuni,Code,Prov,Dal,Al\r\nSOVIZZO,M436,VI,2024-01-22,2024-12-31\r\n", true},
      {"comuni,Code,Prov,Dal,Al\r\nALBESE ALBAVILLA,M999,CO,2025-01-01,\r\n", true}};
  for (const auto& [updated, read] : cases) {
    TempFolder folder;
    folder.Write("comuni.dat", shipped);
    if (!updated.empty()) folder.Write("comuni-aggiornati.dat", updated);
    EXPECT_EQ(WithNewerPlaceTable(MakeDataFilePaths(folder.Path().string())).municipalities,
              folder.File(read ? "comuni-aggiornati.dat" : "comuni.dat"));
  }
}
