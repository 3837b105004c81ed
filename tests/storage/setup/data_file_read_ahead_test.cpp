// The data files read while the program starts: opened from what was read,
// and a change made to the archive after that reading is not lost.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/archive/file_archive.h"
#include "storage/files/file_io.h"
#include "storage/setup/data_file_read_ahead.h"
#include "storage/setup/data_files.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kHeaderLine = std::string(kArchiveHeader) + "\r\n";
const char kMunicipalities[] = "comuni,Code,Prov\r\nCESENA,C573,FC\r\n";

std::string Line(const std::string& code) { return "ROSSI,MARIO,M,CESENA,01/01/1980," + code; }

std::vector<std::string> Codes(TLbCsv& table) {
  std::vector<std::string> codes;
  for (table.First(); !table.AtEnd(); table.Next()) {
    if (!table.Empty()) codes.push_back(table.FieldNamed("CodiceFiscale").Text());
  }
  return codes;
}

// Both files in a folder, the archive holding one record, read ahead to the
// end: asking for a path not read ahead waits for the reading.
struct ReadAheadFolder {
  ReadAheadFolder() {
    folder.Write("comuni.dat", kMunicipalities);
    folder.Write("archivio.dat", kHeaderLine + Line("OLD") + "\r\n");
    readAhead = std::make_unique<DataFileReadAhead>(paths);
    EXPECT_FALSE(readAhead->Take(folder.File("other.dat")).has_value());
  }
  TempFolder folder;
  DataFilePaths paths = MakeDataFilePaths(folder.Path().string());
  std::unique_ptr<DataFileReadAhead> readAhead;
};

}  // namespace

TEST(TableFileStamp, IsThatOfTheFileAsItWasRead) {
  TempFolder folder;
  const std::string path = folder.Write("archivio.dat", kHeaderLine);
  const TableFile read = TableFile::Load(path);
  EXPECT_TRUE(read.ReadStamp().exists);
  EXPECT_EQ(read.ReadStamp(), StampOf(path));
  ASSERT_TRUE(ReplaceFileContents(path, kHeaderLine + Line("NEW") + "\r\n"));
  EXPECT_NE(read.ReadStamp(), StampOf(path));
  EXPECT_FALSE(TableFile::FromText(kHeaderLine).ReadStamp().exists);
}

TEST(DataFileReadAhead, OpensBothTablesFromWhatItReadAndGivesEachOnce) {
  ReadAheadFolder started;
  const TempFolder& folder = started.folder;
  const DataFilePaths& paths = started.paths;
  DataFileReadAhead& readAhead = *started.readAhead;
  // Read ahead, so what the file holds now is not what opens.
  folder.Write("comuni.dat", "comuni,Code,Prov\r\nFORLI',D704,FC\r\n");
  TLbCsv archive("LbCsv2");
  TLbCsv municipalities("LbCsv1");
  OpenDataTables(paths, archive, municipalities, &readAhead);
  EXPECT_EQ(Codes(archive), std::vector<std::string>{"OLD"});
  EXPECT_EQ(municipalities.FieldNamed("comuni").Text(), "CESENA");
  EXPECT_TRUE(archive.Writable());
  EXPECT_FALSE(municipalities.Writable());
  EXPECT_FALSE(readAhead.Take(paths.archive).has_value());
  EXPECT_FALSE(readAhead.Take(paths.municipalities).has_value());
}

TEST(DataFileReadAhead, AFileItCouldNotReadIsOpenedAsEverAndItsFailureTold) {
  TempFolder folder;
  const DataFilePaths paths = MakeDataFilePaths(folder.Path().string());
  DataFileReadAhead readAhead(paths);
  // The first start: no archive yet, and no municipality table at all.
  TLbCsv archive("LbCsv2");
  TLbCsv municipalities("LbCsv1");
  EXPECT_EQ(ErrorOf([&] { OpenDataTables(paths, archive, municipalities, &readAhead); }),
            "Cannot open file " + paths.municipalities);
  EXPECT_EQ(TempFolder::Read(paths.archive), kHeaderLine);
  EXPECT_TRUE(archive.Active());
  EXPECT_FALSE(municipalities.Active());
}

// Another copy of the program adds a record after the file was read ahead
// and before the window opens it: the table shows the old lines, and the
// first check and write-through take the other copy's record in.
TEST(DataFileReadAhead, AChangeMadeAfterTheReadingIsMergedNotLost) {
  ReadAheadFolder started;
  const DataFilePaths& paths = started.paths;
  DataFileReadAhead& readAhead = *started.readAhead;
  TLbCsv archive("LbCsv2");
  FileArchive rules(archive);
  {
    TLbCsv other("LbCsv2");
    other.SetTableName(paths.archive);
    other.Open();
    FileArchive otherRules(other);
    otherRules.Add({"BIANCHI", "ANNA", "F", "CESENA", "02/02/1990", "THEIRS"});
  }
  TLbCsv municipalities("LbCsv1");
  OpenDataTables(paths, archive, municipalities, &readAhead);
  EXPECT_EQ(Codes(archive), std::vector<std::string>{"OLD"});
  EXPECT_TRUE(rules.FindCode("THEIRS"));
  rules.Add({"VERDI", "LUCA", "M", "CESENA", "03/03/1970", "MINE"});
  TLbCsv file("LbCsv2");
  file.SetTableName(paths.archive);
  file.SetReadOnly(true);
  file.Open();
  EXPECT_EQ(Codes(file), (std::vector<std::string>{"OLD", "THEIRS", "MINE"}));
}
