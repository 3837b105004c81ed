// `vivezecf archivio` on a database server that goes away and comes back:
// what waits meanwhile, whose it is, what cannot be stored; and importing a
// file as a spreadsheet program or an old editor saved it.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>

#include "storage/archive/pq_connection.h"
#include "storage/files/file_names.h"
#include "tests/cli/cli_archive_fixture.h"
#include "tests/cli/program_run.h"
#include "tests/support/archive_kinds.h"

#ifndef _WIN32
namespace {

namespace fs = std::filesystem;

// The test server's socket reached through a link of the test's own:
// removing the link is the server going away for the desks that use it.
class CliArchiveAway : public CliArchive {
 protected:
  void SetUp() override {
    if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
    CliArchive::SetUp();
    const std::string target = DbKind::Target();
    const std::size_t host = target.find("host=") + 5;
    socket_ = target.substr(host, target.find(' ', host) - host) + "/.s.PGSQL.5432";
    fs::create_directories(PathOf(links_));
  }
  void TearDown() override {
    unsetenv("VIVEZE_ARCHIVIO");
    std::error_code ignored;
    fs::remove_all(PathOf(links_), ignored);
    CliArchive::TearDown();
  }
  void Away() { fs::remove(PathOf(links_ + "/.s.PGSQL.5432")); }
  void Back() { fs::create_symlink(socket_, PathOf(links_ + "/.s.PGSQL.5432")); }
  // The test's database, reached through the link.
  std::string Conninfo() const { return DbKind::Target() + " host=" + links_; }
  // The files waiting for a server, by name.
  std::vector<std::string> Waiting() const {
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(PathOf(UserFolder()), error)) {
      const std::string name = Utf8Of(entry.path().filename());
      if (name.starts_with("in-attesa-") && name.ends_with(".dat") &&
          !name.ends_with("-rifiutati.dat"))
        found.push_back(Utf8Of(entry.path()));
    }
    return found;
  }

  std::string socket_;
  std::string links_ = TempPath("server");
};

TEST_F(CliArchiveAway, AWaitingFileThatCannotBeReadIsAnErrorAndKept) {
  DbKind database;
  database.Make({});
  setenv("VIVEZE_ARCHIVIO", Conninfo().c_str(), 1);
  Away();
  ASSERT_EQ(Archivio(kAddRossi).status, 0);
  ASSERT_EQ(Waiting().size(), 1u);
  const std::string waiting = Waiting()[0];
  const std::string kept = ReadAll(waiting);
  // A folder in its place, which no reading gets bytes from, root's neither.
  fs::remove(PathOf(waiting));
  fs::create_directory(PathOf(waiting));
  Write(waiting + "/record", kept);
  Back();
  const Outcome refused = Archivio(kAddBianchi);
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.err, "Impossibile leggere i record in attesa: " + waiting + "\n");
  EXPECT_TRUE(fs::is_directory(PathOf(waiting)));

  fs::remove_all(PathOf(waiting));
  Write(waiting, kept);
  const Outcome listed = Archivio("elenca");
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, kHeaderLine + kRossi);
  EXPECT_TRUE(Waiting().empty());
}

// Waiting lines that fail an import's checks, or that the server refuses,
// go aside with their reasons, told once; the others are stored.
TEST_F(CliArchiveAway, RecordsThatCannotBeStoredAreMovedAsideAndHoldNothingUp) {
  DbKind database;
  database.Make({});
  // An administrator's rule on the table, which the server enforces.
  PqConnection(DbKind::Target())
      .Run("ALTER TABLE archivio ADD CONSTRAINT niente_gialli CHECK (cognome <> 'Gialli')");
  const std::string gialli = RunProgram(program_, "calcola Gialli Anna F 01/01/1990 Roma").out;
  setenv("VIVEZE_ARCHIVIO", Conninfo().c_str(), 1);
  Away();
  ASSERT_EQ(Archivio(kAddRossi).status, 0);
  ASSERT_EQ(Waiting().size(), 1u);
  const std::string waiting = Waiting()[0];
  const std::string odd =
      "Verdi,Anna,F,Roma,1/05/1980,VRDNNA80A45H501U\r\n"
      "Neri,Luca,M,Roma,1/01/1980,NONUNCODICE\r\n"
      "Bianch\xE9,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T\r\n"
      "Gialli,Anna,F,Roma,1/01/1990," +
      gialli.substr(0, 16) + "\r\n";
  Write(waiting, ReadAll(waiting) + odd);
  Back();
  const Outcome listed = Archivio("elenca");
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, kHeaderLine + kRossi);
  const std::string aside = waiting.substr(0, waiting.size() - 4) + "-rifiutati.dat";
  EXPECT_EQ(listed.err.substr(0, listed.err.find('\n')),
            "Record in attesa non archiviati, spostati in " + aside + ":");
  for (const char* line :
       {":3: data 1/05/1980 diversa da quella del codice VRDNNA80A45H501U",
        ":4: codice non valido: NONUNCODICE",
        ":5: colonna 7: byte 0xE9 non UTF-8 (il file va salvato in UTF-8)", ":6: Archivio: "}) {
    EXPECT_NE(listed.err.find("\n" + waiting + line), std::string::npos) << line << listed.err;
  }
  EXPECT_NE(listed.err.find("niente_gialli"), std::string::npos) << listed.err;
  EXPECT_TRUE(Waiting().empty());
  const std::string kept = ReadAll(aside);
  EXPECT_EQ(kept.substr(0, kept.find('\n') + 1),
            "Cognome,Nome,Sex,Comune,Data,CodiceFiscale,Motivo\r\n");
  EXPECT_NE(kept.find("Bianch\xE9,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T,"), std::string::npos);
  const Outcome again = Archivio("elenca");
  EXPECT_EQ(again.err, "");  // told once
}

// Two services, two databases: what waits for one is never sent to the other.
TEST_F(CliArchiveAway, TwoServicesKeepWhatWaitsForEachApart) {
  const std::string suffix = std::to_string(std::random_device()());
  const std::string names[] = {"viveze_a_" + suffix, "viveze_b_" + suffix};
  std::string services;
  for (const std::string& name : names) {
    PqConnection(DbKind::Target()).RunScript(("CREATE DATABASE " + name).c_str());
    services += "[" + name + "]\nhost=" + links_ + "\ndbname=" + name + "\nuser=viveze\n";
  }
  const std::string serviceFile = TempPath("pg_service.conf");
  Write(serviceFile, services);
  setenv("PGSERVICEFILE", serviceFile.c_str(), 1);
  unsetenv("PGOPTIONS");  // no test schema there
  Away();
  setenv("VIVEZE_ARCHIVIO", ("service=" + names[0]).c_str(), 1);
  EXPECT_EQ(Archivio(kAddRossi).status, 0);
  setenv("VIVEZE_ARCHIVIO", ("service=" + names[1]).c_str(), 1);
  EXPECT_EQ(Archivio(kAddBianchi).status, 0);
  EXPECT_EQ(Waiting().size(), 2u);
  Back();
  const Outcome second = Archivio("elenca");
  setenv("VIVEZE_ARCHIVIO", ("service=" + names[0]).c_str(), 1);
  const Outcome first = Archivio("elenca");
  EXPECT_EQ(first.out, kHeaderLine + kRossi) << first.err;
  EXPECT_EQ(second.out, kHeaderLine + "Bianchi,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T\r\n")
      << second.err;
  unsetenv("PGSERVICEFILE");
  for (const std::string& name : names) {
    PqConnection(DbKind::Target()).RunScript(("DROP DATABASE " + name + " WITH (FORCE)").c_str());
  }
}

// A file as an old editor saves it (Windows-1252) and with empty lines:
// each refusal names the line as the file numbers it, and the byte.
TEST_F(CliArchiveAway, ImportaNamesTheLineAndByteOfARecordItCannotRead) {
  DbKind database;
  database.Make({});
  setenv("VIVEZE_ARCHIVIO", DbKind::Target().c_str(), 1);
  const std::string file = TempPath("importa.dat");
  Write(file, kHeaderLine + kRossi + "\r\n" + "Verdi,Anna,F,Roma,1/05/1980,VRDNNA80A45H501U\r\n" +
                  "\r\n" + "Bianch\xE9,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T\r\n" +
                  "Bianchi,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T\r\n");
  const Outcome imported = Archivio("importa '" + file + "'");
  EXPECT_EQ(imported.status, 1);
  EXPECT_EQ(imported.out, "Record letti: 4, importati: 2, già presenti: 0, scartati: 2\n");
  EXPECT_EQ(imported.err,
            file + ":4: data 1/05/1980 diversa da quella del codice VRDNNA80A45H501U\n" + file +
                ":6: colonna 7: byte 0xE9 non UTF-8 (il file va salvato in UTF-8)\n");
}

}  // namespace
#endif
