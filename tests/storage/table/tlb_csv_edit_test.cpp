#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "tests/support/temp_folder.h"

#ifdef __unix__
#include "tests/support/file_size_limit.h"
#endif

using Values = std::vector<std::string>;

namespace {

const char kArchive[] = "Cognome,Nome\r\nROSSI,MARIO\r\nBIANCHI,ANNA\r\nVERDI,LUCA\r\n";

class EditTest : public ::testing::Test {
 protected:
  void OpenWith(const std::string& text, bool readOnly = false) {
    path_ = folder_.Write("archivio.dat", text);
    table_.SetTableName(path_);
    table_.SetReadOnly(readOnly);
    table_.Open();
  }
  void Add(const std::string& surname, const std::string& name) {
    table_.Insert();
    table_.FieldNamed("Cognome").SetText(surname);
    table_.FieldNamed("Nome").SetText(name);
    table_.Post();
  }
  std::string Current() { return table_.FieldNamed("Cognome").Text(); }
  std::string Flags() {
    return std::string(table_.AtBeginning() ? "1" : "0") + (table_.AtEnd() ? "1" : "0");
  }

  TempFolder folder_;
  std::string path_;
  TLbCsv table_{"LbCsv2"};
};

}  // namespace

TEST_F(EditTest, PostedRecordGoesAfterTheLastLineWhateverWasCurrent) {
  OpenWith("Cognome,Nome\r\n");
  Add("ROSSI", "MARIO");
  EXPECT_EQ(table_.RecordCount(), 1);
  table_.First();
  table_.Insert();
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  EXPECT_EQ(table_.RecordNumber(), 2);
  EXPECT_FALSE(table_.Empty());
  EXPECT_EQ(table_.FieldNamed("Nome").Value(), "");
  table_.FieldNamed("Cognome").SetText("BIANCHI");
  EXPECT_TRUE(table_.Modified());
  EXPECT_EQ(table_.RecordValues(2), (Values{"BIANCHI", ""}));
  table_.Post();
  EXPECT_FALSE(table_.Modified());
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(Current(), "BIANCHI");
  EXPECT_EQ(table_.RecordNumber(), 2);
  EXPECT_EQ(Flags(), "00");
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_), "Cognome,Nome\r\nROSSI,MARIO\r\nBIANCHI,\r\n");
}

TEST_F(EditTest, ValuesAreCutTo255Characters) {
  OpenWith("Cognome,Nome\r\n");
  Add(std::string(300, 'A'), std::string(255, 'B'));
  EXPECT_EQ(Current(), std::string(255, 'A'));
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_),
            "Cognome,Nome\r\n" + std::string(255, 'A') + "," + std::string(255, 'B') + "\r\n");
}

TEST_F(EditTest, WritingOutsideEditOrInsertIsRefused) {
  OpenWith(kArchive);
  EXPECT_EQ(ErrorOf([&] { table_.FieldNamed("Nome").SetText("X"); }),
            "LbCsv2: Dataset not in edit or insert mode");
  EXPECT_EQ(ErrorOf([&] { table_.Post(); }), "LbCsv2: Dataset not in edit or insert mode");
  EXPECT_EQ(table_.FieldNamed("Nome").Text(), "MARIO");
}

TEST_F(EditTest, EditReplacesOnlyTheLineOfAChangedRecord) {
  OpenWith("Cognome,Nome\r\n\"ROSSI\",MARIO\r\n\"BIANCHI\",ANNA\r\n");
  table_.Edit();
  EXPECT_EQ(table_.State(), TDataSetState::Edit);
  table_.Post();  // nothing written: the line stays as it was read
  table_.Next();
  table_.Edit();
  table_.Edit();  // already editing: nothing happens
  table_.FieldNamed("Nome").SetText("ANNA MARIA, DETTA \"ANNINA\"");
  EXPECT_EQ(table_.RecordValues(2), (Values{"BIANCHI", "ANNA MARIA, DETTA \"ANNINA\""}));
  EXPECT_EQ(table_.RecordValues(1), (Values{"ROSSI", "MARIO"}));
  table_.Post();
  EXPECT_EQ(table_.RecordNumber(), 2);
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_),
            "Cognome,Nome\r\n\"ROSSI\",MARIO\r\nBIANCHI,\"ANNA MARIA, DETTA \"\"ANNINA\"\"\"\r\n");
}

TEST_F(EditTest, CancelDropsPendingValues) {
  OpenWith(kArchive);
  table_.Next();
  table_.Edit();
  table_.FieldNamed("Cognome").SetText("NERI");
  table_.Cancel();
  EXPECT_EQ(Current(), "BIANCHI");
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  table_.First();
  table_.Insert();
  table_.FieldNamed("Cognome").SetText("NERI");
  table_.Cancel();
  EXPECT_EQ(Current(), "VERDI");  // a cancelled insert leaves the last record current
  EXPECT_EQ(table_.RecordCount(), 3);
  table_.Cancel();  // browsing: nothing happens
  EXPECT_EQ(Current(), "VERDI");
}

TEST_F(EditTest, AMovePostsWhatWasWrittenAndDropsWhatWasNot) {
  OpenWith(kArchive);
  table_.Insert();
  table_.Next();
  EXPECT_EQ(table_.RecordCount(), 3);
  table_.Edit();
  table_.FieldNamed("Nome").SetText("GIULIA");
  table_.SetRecordNumber(1);
  EXPECT_EQ(table_.RecordValues(3), (Values{"VERDI", "GIULIA"}));
  table_.Insert();
  table_.FieldNamed("Cognome").SetText("NERI");
  table_.Prior();
  EXPECT_EQ(table_.RecordCount(), 4);
  EXPECT_EQ(Current(), "VERDI");
}

TEST_F(EditTest, EditOnAnEmptyTableInserts) {
  OpenWith("Cognome,Nome\r\n");
  table_.Edit();
  EXPECT_EQ(table_.State(), TDataSetState::Insert);
  EXPECT_EQ(table_.RecordNumber(), 1);
  table_.Cancel();
  EXPECT_TRUE(table_.Empty());
  EXPECT_EQ(Flags(), "11");
}

TEST_F(EditTest, ReadOnlyTableRefusesChangesAndIsNeverWritten) {
  const std::string text = "Cognome,Nome\nROSSI,MARIO\n";
  OpenWith(text, true);
  table_.SetName("LbCsv1");
  EXPECT_FALSE(table_.Writable());
  EXPECT_EQ(ErrorOf([&] { table_.Insert(); }), "LbCsv1: Cannot modify a read-only dataset");
  EXPECT_EQ(ErrorOf([&] { table_.Edit(); }), "LbCsv1: Cannot modify a read-only dataset");
  table_.Delete();  // in memory only
  EXPECT_EQ(table_.RecordCount(), 0);
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_), text);
}

TEST_F(EditTest, DeleteMakesTheFollowingOrTheNewLastRecordCurrent) {
  OpenWith(kArchive);
  table_.Next();
  table_.Delete();
  EXPECT_EQ(Current(), "VERDI");
  EXPECT_EQ(Flags(), "00");
  table_.Delete();
  EXPECT_EQ(Current(), "ROSSI");
  EXPECT_EQ(Flags(), "00");
  table_.Edit();
  table_.FieldNamed("Nome").SetText("X");
  table_.Delete();  // the pending edit goes with the record
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_TRUE(table_.Empty());
  EXPECT_EQ(Flags(), "11");
  EXPECT_EQ(table_.FieldNamed("Nome").Value(), std::nullopt);
  EXPECT_EQ(ErrorOf([&] { table_.Delete(); }),
            "LbCsv2: Cannot perform this operation on an empty dataset");
  table_.Insert();
  table_.Delete();  // acts as Cancel
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(table_.RecordCount(), 0);
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_), "Cognome,Nome\r\n");
}

TEST_F(EditTest, ClosingDropsAPendingRecordAndRewritesTheFileEvenUnchanged) {
  OpenWith("Cognome,Nome\nROSSI,MARIO\r");
  table_.Insert();
  table_.FieldNamed("Cognome").SetText("NERI");
  table_.SetActive(false);
  EXPECT_FALSE(table_.Active());
  EXPECT_EQ(TempFolder::Read(path_), "Cognome,Nome\r\nROSSI,MARIO\r\n");
}

// A write-back that fails keeps the old file and the open table.
TEST_F(EditTest, FailedWriteBackWithADirectoryInTheWayKeepsTheTableOpen) {
  OpenWith(kArchive);
  Add("NERI", "PAOLO");
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  EXPECT_EQ(ErrorOf([&] { table_.Close(); }), "Cannot create file " + path_);
  EXPECT_TRUE(table_.Active());
  EXPECT_EQ(table_.State(), TDataSetState::Browse);
  EXPECT_EQ(table_.RecordCount(), 4);
  EXPECT_EQ(Current(), "NERI");
  EXPECT_TRUE(std::filesystem::is_directory(path_));
  EXPECT_EQ(folder_.EntryCount(), 1);  // no temporary file left behind

  std::filesystem::remove(path_);
  table_.Close();
  EXPECT_FALSE(table_.Active());
  EXPECT_EQ(TempFolder::Read(path_), std::string(kArchive) + "NERI,PAOLO\r\n");
}

TEST_F(EditTest, FailedWriteBackAfterTheFolderWentAwayLeavesThePreviousFile) {
  OpenWith(kArchive);
  Add("NERI", "PAOLO");
  const std::filesystem::path moved = folder_.Path().string() + "-moved";
  std::filesystem::rename(folder_.Path(), moved);
  std::ofstream(folder_.Path()) << "a file where the folder was";
  EXPECT_EQ(ErrorOf([&] { table_.Close(); }), "Cannot create file " + path_);
  EXPECT_TRUE(table_.Active());
  EXPECT_EQ(TempFolder::Read((moved / "archivio.dat").string()), kArchive);

  std::filesystem::remove(folder_.Path());
  std::filesystem::rename(moved, folder_.Path());
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_), std::string(kArchive) + "NERI,PAOLO\r\n");
  std::error_code ignored;
  std::filesystem::remove_all(moved, ignored);
}

#ifdef __unix__
// A write that fails halfway, in place, even for root: the file size limit.
TEST_F(EditTest, FailedWriteHalfwayLeavesThePreviousFileAndNoTemporaryFile) {
  OpenWith(kArchive);
  Add("NERI", "PAOLO");
  std::string error;
  {
    const FileSizeLimit full(8);
    ASSERT_TRUE(full.Active());
    error = ErrorOf([&] { table_.Close(); });
  }

  EXPECT_EQ(error, "Cannot create file " + path_);
  EXPECT_TRUE(table_.Active());
  EXPECT_EQ(TempFolder::Read(path_), kArchive);
  EXPECT_EQ(folder_.EntryCount(), 1);
  table_.Close();
  EXPECT_EQ(TempFolder::Read(path_), std::string(kArchive) + "NERI,PAOLO\r\n");
}
#endif

TEST_F(EditTest, DestructionSwallowsAFailedWriteBack) {
  const std::string path = folder_.Write("a.dat", "A\r\n");
  {
    TLbCsv table;
    table.SetTableName(path);
    table.Open();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path);
  }
  EXPECT_TRUE(std::filesystem::is_directory(path));
  EXPECT_EQ(folder_.EntryCount(), 1);
}

TEST_F(EditTest, AFailedOpeningNeverWritesTheFile) {
  const std::string missing = folder_.File("missing.dat");
  {
    TLbCsv table("LbCsv2");
    table.SetTableName(missing);
    EXPECT_EQ(ErrorOf([&] { table.SetActive(true); }), "Cannot open file " + missing);
    table.Close();
  }
  EXPECT_FALSE(std::filesystem::exists(missing));
}

TEST_F(EditTest, RenamingTheTableClosesItFirst) {
  OpenWith(kArchive);
  Add("NERI", "PAOLO");
  const std::string other = folder_.Write("other.dat", "X\r\n");
  table_.SetTableName(path_);  // same name: stays open
  EXPECT_TRUE(table_.Active());
  table_.SetTableName(other);
  EXPECT_FALSE(table_.Active());
  EXPECT_EQ(table_.TableName(), other);
  EXPECT_EQ(TempFolder::Read(path_), std::string(kArchive) + "NERI,PAOLO\r\n");
}
