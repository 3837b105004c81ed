// The archive's rules on the file's table: columns, the duplicate check
// among records with one code, adding and writing a record. The rules every
// kind shares are in archive_rules_test.cpp.
#include "storage/archive/file_archive.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/setup/data_files.h"
#include "storage/table/tlb_csv.h"
#include "tests/support/event_recorder.h"
#include "tests/support/temp_folder.h"

namespace {

const std::string kHeaderLine = std::string(kArchiveHeader) + "\r\n";

class ArchiveTest : public ::testing::Test {
 protected:
  Archive& Open(const std::string& records) {
    table_.SetTableName(folder_.Write("archivio.dat", kHeaderLine + records));
    table_.Open();
    return archive_;
  }

  TempFolder folder_;
  TLbCsv table_{"LbCsv2"};
  FileArchive archive_{table_};
};

TEST(ArchiveColumns, TheHeaderLineNamesTheColumnsInOrder) {
  std::string joined;
  for (const char* column : kArchiveColumns) {
    if (!joined.empty()) joined.push_back(',');
    joined.append(column);
  }
  EXPECT_EQ(joined, kArchiveHeader);
}

TEST_F(ArchiveTest, FindCodeLeavesTheCursorAsAWalkAndTellsTheViewsOnce) {
  Archive& archive = Open(
      "A,B,M,X,01/01/1980,CODE1\r\n"
      "C,D,F,Y,02/02/1990,CODE2\r\n"
      "E,F,M,Z,03/03/2000,CODE3\r\n"
      "G,H,M,Z,04/04/2000,CODE2\r\n");
  Recorder grid;
  table_.Attach(&grid);
  const auto where = [this] {
    return std::to_string(table_.RecordNumber()) + (table_.AtBeginning() ? " 1" : " 0") +
           (table_.AtEnd() ? "1" : "0");
  };
  const struct {
    int from;
    const char* code;
    bool found;
    const char* at;
  } cases[] = {
      {3, "CODE2", true, "2 00"},   // the first of two
      {3, "CODE1", true, "1 10"},   // the first record, as First leaves it
      {2, "CODE3", true, "3 00"},   //
      {1, "CODE9", false, "4 01"},  // a miss: the Next past the last sets AtEnd
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    table_.SetRecordNumber(c.from);
    grid.events.clear();
    EXPECT_EQ(archive.FindCode(c.code), c.found);
    EXPECT_EQ(where(), c.at);
    EXPECT_EQ(grid.events, std::vector<TDataEvent>{TDataEvent::RecordChanged});
  }
  table_.Detach(&grid);

  Open("A,B,M,X,01/01/1980,ONLY\r\n");
  EXPECT_TRUE(archive.FindCode("ONLY"));
  EXPECT_EQ(where(), "1 10");
  EXPECT_FALSE(archive.FindCode("OTHER"));
  EXPECT_EQ(where(), "1 01");
}

// The code's text elsewhere in a record, or in a record deleted since the
// file was read, is no match.
TEST_F(ArchiveTest, FindCodeMatchesTheCodeColumnOfRecordsStillThere) {
  Archive& archive = Open(
      "CODE2,B,M,X,01/01/1980,CODE1\r\n"
      "C,D,F,Y,02/02/1990,CODE2\r\n"
      "E,F,M,Z,03/03/2000,CODE22\r\n"
      "G,H,M,Z,04/04/2000,\"CODE2\"\r\n");
  EXPECT_TRUE(archive.FindCode("CODE2"));
  EXPECT_EQ(table_.RecordNumber(), 2);
  archive.DeleteCurrent();
  EXPECT_TRUE(archive.FindCode("CODE2"));  // the quoted one
  EXPECT_EQ(table_.RecordNumber(), 3);
  archive.DeleteCurrent();
  EXPECT_FALSE(archive.FindCode("CODE2"));
  EXPECT_EQ(table_.RecordNumber(), 2);
  archive.Add({"I", "J", "F", "X", "05/05/2005", "CODE2"});
  table_.First();
  EXPECT_TRUE(archive.FindCode("CODE2"));
  EXPECT_EQ(table_.RecordNumber(), 3);
}

TEST_F(ArchiveTest, AddedRecordGoesLastAndIsCurrent) {
  Archive& archive = Open("A,B,M,X,01/01/1980,CODE1\r\n");
  table_.First();
  const ArchiveRecord person{"DE LUCA", "MARIA, GRAZIA", "F",
                             "forli'",  "05/01/1980",    "DLCMGR80A45D704X"};
  archive.Add(person);
  EXPECT_EQ(table_.RecordCount(), 2);
  EXPECT_EQ(table_.RecordNumber(), 2);
  EXPECT_EQ(archive.Current(), person);
  table_.Close();
  EXPECT_EQ(TempFolder::Read(table_.TableName()),
            kHeaderLine +
                "A,B,M,X,01/01/1980,CODE1\r\n"
                "DE LUCA,\"MARIA, GRAZIA\",F,forli',05/01/1980,DLCMGR80A45D704X\r\n");
}

TEST_F(ArchiveTest, ColumnsAreFoundByNameInAnyOrder) {
  table_.SetTableName(folder_.Write("archivio.dat",
                                    "codicefiscale,DATA,Comune,Sex,Nome,Cognome\r\n"
                                    "CODE1,01/01/1980,ROMA,M,MARIO,ROSSI\r\n"));
  table_.Open();
  EXPECT_TRUE(archive_.FindCode("CODE1"));
  EXPECT_EQ(archive_.Current(),
            (ArchiveRecord{"ROSSI", "MARIO", "M", "ROMA", "01/01/1980", "CODE1"}));
  archive_.Add({"BIANCHI", "ANNA", "F", "CESENA", "09/12/1990", "CODE2"});
  table_.Close();
  EXPECT_EQ(TempFolder::Read(table_.TableName()),
            "codicefiscale,DATA,Comune,Sex,Nome,Cognome\r\n"
            "CODE1,01/01/1980,ROMA,M,MARIO,ROSSI\r\n"
            "CODE2,09/12/1990,CESENA,F,ANNA,BIANCHI\r\n");
}

TEST_F(ArchiveTest, NoCurrentRecordGivesNoValue) {
  Archive& archive = Open("");
  EXPECT_EQ(ErrorOf([&] { archive.Current(); }), "Invalid variant type conversion");
  EXPECT_EQ(ErrorOf([&] { archive.CurrentValue("Nome"); }), "Invalid variant type conversion");
  // An empty value is a value.
  archive.Add({"", "", "", "", "", "CODE1"});
  EXPECT_EQ(archive.CurrentValue("Nome"), "");
}

TEST_F(ArchiveTest, MissingColumnIsNamedWithTheTable) {
  table_.SetTableName(folder_.Write("archivio.dat", "Cognome,Nome\r\nA,B\r\n"));
  table_.Open();
  EXPECT_EQ(ErrorOf([&] { archive_.FindCode("X"); }), "LbCsv2: Field 'CodiceFiscale' not found");
  EXPECT_EQ(ErrorOf([&] { archive_.Current(); }), "LbCsv2: Field 'Sex' not found");
}

}  // namespace
