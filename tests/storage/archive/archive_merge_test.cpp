// The merge of one copy's changes into the archive file another copy wrote,
// without files.
#include "storage/archive/archive_merge.h"

#include <gtest/gtest.h>

#include <string>

#include "storage/archive/archive.h"
#include "storage/table_error.h"

namespace {

const std::string kHeader = std::string(kArchiveHeader) + "\r\n";

std::string Line(const std::string& name, const std::string& code) {
  return name + ",N,M,ROMA,01/01/1980," + code;
}

TEST(ArchiveMerge, ChangesMeetTheFileAsAnotherCopyLeftIt) {
  const struct {
    const char* what;
    std::string disk;
    TTableChanges ours;
    std::string current;
    int currentRow;
    std::string merged;
    int mergedCurrent;
  } cases[] = {
      {"one deletion takes out one of two equal lines",
       kHeader + Line("A", "C1") + "\r\n" + Line("A", "C1") + "\r\n" + Line("B", "C2") + "\r\n",
       {{}, {Line("A", "C1")}},
       Line("B", "C2"),
       1,
       kHeader + Line("A", "C1") + "\r\n" + Line("B", "C2") + "\r\n",
       2},
      {"a deletion another copy made already changes nothing",
       kHeader + Line("B", "C2") + "\r\n",
       {{}, {Line("A", "C1")}},
       Line("B", "C2"),
       1,
       kHeader + Line("B", "C2") + "\r\n",
       1},
      {"an addition lands after the others' and stays current",
       kHeader + Line("X", "C8") + "\r\n" + Line("Y", "C9") + "\r\n",
       {{Line("A", "C1")}, {}},
       Line("A", "C1"),
       1,
       kHeader + Line("X", "C8") + "\r\n" + Line("Y", "C9") + "\r\n" + Line("A", "C1") + "\r\n",
       3},
      {"a code another copy archived is not added twice; its record is current",
       kHeader + Line("X", "C8") + "\r\n" + Line("OTHER", "C1") + "\r\n",
       {{Line("A", "C1")}, {}},
       Line("A", "C1"),
       1,
       kHeader + Line("X", "C8") + "\r\n" + Line("OTHER", "C1") + "\r\n",
       2},
      {"a current record deleted by another copy leaves its row",
       kHeader + Line("X", "C8") + "\r\n" + Line("Y", "C9") + "\r\n",
       {},
       Line("Z", "C7"),
       5,
       kHeader + Line("X", "C8") + "\r\n" + Line("Y", "C9") + "\r\n",
       2},
      {"a header another writer reordered: every record back in our order",
       "CodiceFiscale,Nome,COGNOME,Sex,Comune,Data\r\n"
       "C8,N,X,M,ROMA,01/01/1980\r\n"
       "C1,N,A,M,ROMA,01/01/1980\r\n"
       "\"C9\",\"N, M\",Y,M,ROMA,01/01/1980\r\n",
       {{Line("B", "C2")}, {Line("A", "C1")}},
       Line("B", "C2"),
       1,
       kHeader + Line("X", "C8") + "\r\nY,\"N, M\",M,ROMA,01/01/1980,C9\r\n" + Line("B", "C2") +
           "\r\n",
       3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const ArchiveMerge::Result result =
        ArchiveMerge(kArchiveHeader)
            .Merge(TableFile::FromText(c.disk), c.ours, c.current, c.currentRow);
    EXPECT_EQ(result.lines.Text(), c.merged);
    EXPECT_EQ(result.current, c.mergedCurrent);
  }
}

TEST(ArchiveMerge, ColumnsItCannotKeepAreRefused) {
  const std::string disk = "Cognome,Nome,Sex,Comune,Data,CodiceFiscale,Note\r\nA,N,M,R,D,C1,x\r\n";
  EXPECT_THROW(ArchiveMerge(kArchiveHeader).Merge(TableFile::FromText(disk), {}, "", 1),
               TableError);
}

}  // namespace
