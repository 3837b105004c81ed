#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "storage/data_files.h"
#include "storage/tlbcsv.h"
#include "temp_folder.h"

namespace {

const char kMunicipalities[] = "comuni,Code,Prov\r\nCESENA,C573,FC\r\nFORLI',D704,FC\r\n";

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
