// The database archive where no server answers: the window still works, and
// no message shows a password.
#include "storage/archive/db_archive.h"

#include <gtest/gtest.h>

#ifdef __linux__
#include <sys/prctl.h>
#include <sys/resource.h>
#endif

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "storage/archive/pq_library.h"
#include "storage/archive/waiting_records.h"
#include "tests/support/archive_kinds.h"

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
        "postgresql:///db?host=/nonexistent-viveze&password=s3cr3t", "password='s3cr3t",
        // Percent-encoded, broken or not; a phrase left unquoted; quoted
        // with an escape; a '/' libpq takes for the path.
        "postgresql://u:s3%63r3t@/db?host=/nonexistent-viveze", "postgresql://u:s3cr3t%zz@x/db",
        "postgresql:///db?password=s3cr%zz3t", "password=s3cr3t frase segreta host=/nonexistent",
        "password='s3cr3t \\' frase' host=/nonexistent-viveze", "postgresql://u:s3/cr3t@x/db"}) {
    SCOPED_TRACE(conninfo);
    TLbCsv table;
    DbArchive archive(table, conninfo);
    try {
      archive.Open();
      ADD_FAILURE() << "opened";
    } catch (const ArchiveUnreachable& error) {
      const std::string message = error.what();
      for (const char* secret : {"s3cr3t", "s3%63r3t", "cr3t", "s3cr", "frase", "segreta"}) {
        EXPECT_EQ(message.find(secret), std::string::npos) << secret << ": " << message;
      }
    }
  }
}

#ifdef __linux__
// libpq loaded, the process may hold a password: a crash leaves no core.
TEST(DbArchive, AProcessThatMayHoldAPasswordWritesNoCoreFile) {
  TLbCsv table;
  DbArchive archive(table, "host=/nonexistent-viveze password=s3cr3t");
  EXPECT_THROW(archive.Open(), ArchiveUnreachable);
  EXPECT_EQ(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
  struct rlimit core {};
  ASSERT_EQ(getrlimit(RLIMIT_CORE, &core), 0);
  EXPECT_EQ(core.rlim_cur, 0u);
}
#endif

// A record added while away waits in the user's file; a second start, still
// away, shows it and says so; a delete is refused.
TEST(DbArchive, WhatIsAddedWhileAwayWaitsInTheUsersFileAndIsShownAtTheNextStart) {
  // The waiting file is named by libpq's reading of the connection string.
  try {
    PqLibrary::Get();
  } catch (const ArchiveUnreachable& error) {
    GTEST_SKIP() << "libpq is not found here, so no record can wait for its server: "
                 << error.what();
  }
  TempFolder user;
  const std::string away = "host=/nonexistent-viveze dbname=d user=u password=s3cr3t";
  const ArchiveRecord person{"A", "B", "M", "X", "01/01/1980", "CODE1"};
  {
    TLbCsv table;
    DbArchive archive(table, away, user.Path().string());
    std::vector<std::string> told;
    archive.SetErrorHandler([&](const std::exception& error) { told.push_back(error.what()); });
    EXPECT_THROW(archive.Open(), ArchiveUnreachable);
    archive.Add(person);
    archive.DeleteCurrent();
    ASSERT_EQ(told.size(), 2u);
    EXPECT_TRUE(told[0].ends_with(". Il record è conservato e sarà inviato appena possibile."))
        << told[0];
    EXPECT_EQ(told[1], told[0].substr(0, told[0].find(". Il record") + 1));
    EXPECT_EQ(told[0].find("s3cr3t"), std::string::npos);
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_NO_THROW(archive.Close());  // nothing waits in memory
  }
  TLbCsv table;
  DbArchive archive(table, away, user.Path().string());
  try {
    archive.Open();
    ADD_FAILURE() << "opened";
  } catch (const ArchiveUnreachable& error) {
    EXPECT_TRUE(std::string(error.what())
                    .ends_with(" 1 record conservati saranno inviati appena possibile."))
        << error.what();
  }
  EXPECT_EQ(archive.Records(), std::vector<ArchiveRecord>{person});
}

class DbArchiveOnServer : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
    database_.Make({});
  }
  DbKind database_;
};

// The server's socket reached through a link of the test's own: removing it
// and ending the desk's session is the server going away for that desk alone.
TEST_F(DbArchiveOnServer, ARecordKeptWhileAwayIsSentOnceAtTheNextStart) {
  TempFolder user;
  const std::string target = DbKind::Target();
  const std::size_t host = target.find("host=") + 5;
  const std::string socket = target.substr(host, target.find(' ', host) - host) + "/.s.PGSQL.5432";
  const std::string link = user.File(".s.PGSQL.5432");
  std::filesystem::create_symlink(socket, link);
  const std::string name = "viveze_away_" + std::to_string(std::random_device()());
  const std::string conninfo =
      target + " host=" + user.Path().string() + " application_name=" + name;
  // Waiting records pass an import's checks: a real person's.
  const ArchiveRecord person{"ROSSI", "MARIO", "M", "MONTALCINO", "15/03/1975", "RSSMRA75C15F402O"};
  {
    TLbCsv table;
    DbArchive desk(table, conninfo, user.File("dati"));
    desk.Open();
    std::filesystem::remove(link);
    PqConnection(target).Run(
        "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = $1",
        {name});
    desk.Add(person);
    EXPECT_EQ(desk.LastError().rfind("Archivio non raggiungibile: ", 0), 0u) << desk.LastError();
  }
  std::filesystem::create_symlink(socket, link);
  TLbCsv table;
  DbArchive desk(table, conninfo, user.File("dati"));
  desk.Open();
  EXPECT_EQ(desk.Records(), std::vector<ArchiveRecord>{person});
  std::string label;
  PqConnection named(conninfo, &label);
  WaitingRecords left(user.File("dati"));
  left.Name(label);
  EXPECT_TRUE(left.Kept());
  EXPECT_TRUE(left.Lines().empty());
}

// The archive's table as an administrator makes it.
std::string ArchiveSchema() {
  std::ifstream in(std::string(VIVEZE_STORAGE_TEST_DIR) +
                   "/../../storage/archive/sql/archivio.sql");
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// Whether the session named `name` waits for a lock of `kind` ("advisory",
// or any other with "other").
bool Waits(PqConnection& admin, const std::string& name, const std::string& kind) {
  return !admin
              .Run(
                  "SELECT 1 FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
                  "WHERE a.application_name = $1 AND NOT l.granted "
                  "AND (l.locktype = 'advisory') = ($2 = 'advisory')",
                  {name, kind})
              .empty();
}

// Desks that start together on an empty database: one makes the table; one
// that found it missing a moment earlier and got its turn once it was made
// leaves it alone, so that it never locks the tables against a desk that
// already adds (which made "deadlock detected" of adds that were stored).
TEST(DbArchiveFirstStart, ADeskThatFindsTheTableMadeMeanwhileRunsNoScript) {
  if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
  const std::string schema = "test_first_" + std::to_string(std::random_device()());
  PqConnection(DbKind::Target()).Run(("CREATE SCHEMA " + schema).c_str());
  SetEnvironment("PGOPTIONS", "-c search_path=" + schema);
  PqConnection first(DbKind::Target());  // the desk making the table
  PqConnection admin(DbKind::Target());
  first.Run("SELECT pg_advisory_lock(hashtext('viveze archivio'))");
  const std::string name = "viveze_late_" + std::to_string(std::random_device()());
  TLbCsv table;
  DbArchive late(table, DbKind::Target() + " application_name=" + name);
  auto opening = std::async(std::launch::async, [&] { late.Open(); });
  const auto patience = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!Waits(admin, name, "advisory") && std::chrono::steady_clock::now() < patience) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(Waits(admin, name, "advisory"));
  first.RunScript(ArchiveSchema().c_str());
  first.Run("BEGIN");
  first.Run(
      "INSERT INTO archivio (cognome, nome, sex, comune, data, codicefiscale) "
      "VALUES ('ROSSI', 'MARIO', 'M', 'MONTALCINO', '1975-03-15', 'RSSMRA75C15F402O')");
  first.Run("SELECT pg_advisory_unlock(hashtext('viveze archivio'))");
  bool waited = false;
  while (opening.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) {
    if (Waits(admin, name, "other")) {
      waited = true;
      break;
    }
  }
  first.Run("COMMIT");
  opening.get();
  EXPECT_FALSE(waited) << "the late desk ran the script against a desk adding";
  admin.Run("SET client_min_messages TO warning");
  admin.Run(("DROP SCHEMA " + schema + " CASCADE").c_str());
}

// Refreshes until the records changed, for `limit` at most.
bool RefreshedWithin(DbArchive& desk, std::chrono::milliseconds limit) {
  for (auto end = std::chrono::steady_clock::now() + limit; std::chrono::steady_clock::now() < end;
       std::this_thread::sleep_for(std::chrono::milliseconds(10))) {
    if (desk.Refresh()) return true;
  }
  return false;
}

// Two desks open on the test's database; `deskConninfo` names the first's.
struct TwoDesks {
  explicit TwoDesks(const std::string& deskConninfo = DbKind::Target())
      : desk(mine, deskConninfo), other(theirs, DbKind::Target()) {
    desk.Open();
    other.Open();
  }
  TLbCsv mine;
  TLbCsv theirs;
  DbArchive desk;
  DbArchive other;
};

std::vector<std::string> Codes(const Archive& archive) {
  std::vector<std::string> codes;
  for (const ArchiveRecord& record : archive.Records()) codes.push_back(record.codiceFiscale);
  return codes;
}

// Another desk's adds and deletes show once the server's notification is
// taken in, each once; the record current stays current.
TEST_F(DbArchiveOnServer, AnotherDesksChangesShowAfterItsNotificationAndTheCurrentRecordStays) {
  TwoDesks two;
  DbArchive& desk = two.desk;
  DbArchive& other = two.other;
  desk.Add({"A", "B", "M", "X", "01/01/1980", "CODE1"});
  desk.Add({"C", "D", "F", "Y", "02/02/1981", "CODE2"});
  two.mine.SetRecordNumber(2);
  ASSERT_TRUE(other.FindCode("CODE1"));
  other.DeleteCurrent();
  other.Add({"E", "F", "M", "Z", "03/03/1982", "CODE3"});
  other.Add({"G", "H", "M", "Z", "04/04/1983", "CODE4"});
  ASSERT_TRUE(other.FindCode("CODE4"));
  other.DeleteCurrent();
  EXPECT_TRUE(RefreshedWithin(desk, std::chrono::seconds(2)));
  EXPECT_EQ(Codes(desk), (std::vector<std::string>{"CODE2", "CODE3"}));
  EXPECT_EQ(desk.CurrentValue(archive_column::kCodiceFiscale), "CODE2");
  EXPECT_FALSE(desk.Refresh());
}

// A desk that only watches, its session ended by a server restart, takes in
// what was archived meanwhile once the server answers again.
TEST_F(DbArchiveOnServer, AWatchingDeskCatchesUpAfterItsSessionWasLost) {
  const std::string name = "viveze_watch_" + std::to_string(std::random_device()());
  TwoDesks two(DbKind::Target() + " application_name=" + name);
  PqConnection(DbKind::Target())
      .Run("SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE application_name = $1",
           {name});
  two.other.Add({"A", "B", "M", "X", "01/01/1980", "CODE1"});
  EXPECT_TRUE(RefreshedWithin(two.desk, std::chrono::seconds(8)));
  EXPECT_EQ(Codes(two.desk), std::vector<std::string>{"CODE1"});
}

// Many records at once go in batches, each stored once and in order; the
// same again stores none.
TEST_F(DbArchiveOnServer, ManyRecordsAtOnceAreStoredOnceInOrder) {
  std::vector<ArchiveRecord> many;
  std::vector<std::string> codes;
  for (int i = 0; i < 1001; ++i) {
    codes.push_back("CODE" + std::to_string(10000 + i));
    many.push_back({"A", "B", "M", "X", "01/01/1980", codes.back()});
  }
  TLbCsv table;
  DbArchive desk(table, DbKind::Target());
  desk.Open();
  EXPECT_EQ(desk.AddAll(many), 1001);
  EXPECT_EQ(desk.AddAll(many), 0);
  EXPECT_EQ(Codes(desk), codes);
}

// A table emptied at once on the server (TRUNCATE) empties the open desks.
TEST_F(DbArchiveOnServer, ATableEmptiedOnTheServerEmptiesTheDesks) {
  TwoDesks two;
  two.other.Add({"A", "B", "M", "X", "01/01/1980", "CODE1"});
  ASSERT_TRUE(RefreshedWithin(two.desk, std::chrono::seconds(2)));
  PqConnection(DbKind::Target()).Run("TRUNCATE archivio");
  EXPECT_TRUE(RefreshedWithin(two.desk, std::chrono::seconds(2)));
  EXPECT_TRUE(Codes(two.desk).empty());
}

}  // namespace
