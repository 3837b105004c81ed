// The database archive where no server answers: the window still works, and
// no message shows a password.
#include "storage/db_archive.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(DbArchive, ServerOutOfReachAtStartIsToldAndWhatIsAddedWaits) {
  TLbCsv table{"LbCsv2"};
  DbArchive archive(table, "host=/nonexistent-viveze user=u password=s3cr3t");
  std::vector<std::string> told;
  archive.SetErrorHandler([&](const std::exception& error) { told.push_back(error.what()); });
  EXPECT_THROW(archive.Open(), ArchiveUnreachable);
  ASSERT_TRUE(table.Active());
  EXPECT_FALSE(archive.FindCode("CODE1"));
  const ArchiveRecord person{"A", "B", "M", "X", "01/01/1980", "CODE1"};
  archive.Add(person);
  ASSERT_EQ(told.size(), 1u);
  EXPECT_EQ(told[0].rfind("Archivio non raggiungibile: ", 0), 0u) << told[0];
  EXPECT_EQ(archive.Current(), person);
  // Closing cannot store it either: the table stays open with the record.
  EXPECT_THROW(archive.Close(), ArchiveUnreachable);
  EXPECT_EQ(table.RecordCount(), 1);
}

TEST(DbArchive, NoMessageShowsThePassword) {
  for (const char* conninfo :
       {"host=/nonexistent-viveze user=u password=s3cr3t",
        "host=/nonexistent-viveze password = 's3cr3t' user=u", "postgresql://u:s3cr3t@[bad",
        "postgresql://u:s3cr3t@/db?host=/nonexistent-viveze",
        "postgresql:///db?host=/nonexistent-viveze&password=s3cr3t", "password='s3cr3t"}) {
    SCOPED_TRACE(conninfo);
    TLbCsv table;
    DbArchive archive(table, conninfo);
    try {
      archive.Open();
      ADD_FAILURE() << "opened";
    } catch (const ArchiveUnreachable& error) {
      const std::string message = error.what();
      EXPECT_EQ(message.find("s3cr3t"), std::string::npos) << message;
    }
  }
}

}  // namespace
