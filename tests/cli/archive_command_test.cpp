// `vivezecf archivio` on the archive the window would use: a portable copy of
// the program in a folder of the test's own, so its archive is the test's.
#include <gtest/gtest.h>

#include <cstdlib>
#ifndef _WIN32
#include <locale.h>
#endif
#include <filesystem>
#include <set>
#include <string>

#include "storage/files/file_names.h"
#include "tests/cli/cli_archive_fixture.h"
#include "tests/cli/program_run.h"
#include "tests/support/archive_kinds.h"

namespace {

namespace fs = std::filesystem;

TEST_F(CliArchive, AddsListsAndDeletesAsTheWindowDoes) {
  const Outcome added = Archivio("aggiungi Rossi Mario M 15/03/1975 Montalcino");
  EXPECT_EQ(added.status, 0);
  EXPECT_EQ(added.out, "RSSMRA75C15F402O\n");
  const Outcome again = Archivio("aggiungi ROSSI MARIO m 1975-03-15 MONTALCINO");
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "RSSMRA75C15F402O\n");
  EXPECT_EQ(again.err, "Codice già in archivio: RSSMRA75C15F402O\n");
  const std::string archived = kHeaderLine + "Rossi,Mario,M,Montalcino,";
  EXPECT_EQ(Archive().substr(0, archived.size()), archived);
  EXPECT_EQ(Archivio("elenca").out, Archive());
#ifndef _WIN32
  EXPECT_EQ(Archive(), archived + "15/03/1975,RSSMRA75C15F402O\r\n");
#endif
  EXPECT_EQ(Archivio("aggiungi Rossi Mario M 15/03/1975 Atlantide").status, 1);
  EXPECT_EQ(Archivio("aggiungi Rossi Mario M 31/02/1975 Roma").status, 2);
  EXPECT_EQ(Archivio("elimina rssmra75c15f402o").status, 0);
  const Outcome missing = Archivio("elimina RSSMRA75C15F402O");
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err, "Codice non in archivio: RSSMRA75C15F402O\n");
  EXPECT_EQ(Archive(), kHeaderLine);
  EXPECT_EQ(Archivio("boh").status, 2);
}

// A file archive copied into the database as it stands, but for a record
// whose date is not its code's (days and months swapped), and written back.
TEST_F(CliArchive, ImportaCopiesAFileArchiveIntoTheDatabaseAndEsportaGivesItBack) {
  if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
  DbKind database;
  database.Make({});
  SetEnvironment("VIVEZE_ARCHIVIO", DbKind::Target());
  const std::string rossi = "Rossi,Mario,M,Montalcino,15/03/1975,RSSMRA75C15F402O\r\n";
  const std::string bianchi = "Bianchi,\"Anna, Maria\",F,Roma,1/01/1990,BNCNNA90A41H501T\r\n";
  const std::string file = TempPath("importa.dat");
  Write(file,
        kHeaderLine + rossi + "Verdi,Anna,F,Roma,1/05/1980,VRDNNA80A45H501U\r\n" + rossi + bianchi);
  const Outcome imported = Archivio("importa '" + file + "'");
  EXPECT_EQ(imported.status, 1);
  EXPECT_EQ(imported.out, "Record letti: 4, importati: 2, già presenti: 1, scartati: 1\n");
  EXPECT_EQ(imported.err,
            file + ":3: data 1/05/1980 diversa da quella del codice VRDNNA80A45H501U\n");
  const std::string exported = TempPath("esporta.dat");
  EXPECT_EQ(Archivio("esporta -o '" + exported + "'").status, 0);
  EXPECT_EQ(ReadAll(exported), "\xEF\xBB\xBF" + kHeaderLine + rossi + bianchi);
  SetEnvironment("VIVEZE_ARCHIVIO", "");
}

// `esporta` writes the archive as a spreadsheet on this desk opens it: a
// byte-order mark, CR LF, the desk's list separator (";" where the decimal
// mark is a comma); `esporta` and `elenca` write a value a spreadsheet would
// run as a formula as text, an apostrophe before it, the archive unchanged.
TEST_F(CliArchive, EsportaWritesForASpreadsheetAndNoValueRunsAsAFormula) {
  const std::string archive = kHeaderLine + "ROSSI,\"" + "=HYPERLINK(\"\"x\"\";\"\"y\"\")" +
                              "\",M,\"FORLI', FC\",15/03/1975,RSSMRA75C15F402O\r\n" +
                              "-5,+1,F,@SUM(A1),01/01/1980,VRDNNA80A41H501U\r\n";
  Write(Utf8Of(PathOf(folder_) / "archivio.dat"), archive);
  EXPECT_EQ(Archivio("esporta").out,
            "\xEF\xBB\xBF" + kHeaderLine +
                "ROSSI,\"'=HYPERLINK(\"\"x\"\";\"\"y\"\")\",M,\"FORLI', FC\",15/03/1975,"
                "RSSMRA75C15F402O\r\n'-5,'+1,F,'@SUM(A1),01/01/1980,VRDNNA80A41H501U\r\n");
  EXPECT_EQ(Archivio("elenca").out,
            kHeaderLine +
                "ROSSI,\"'=HYPERLINK(\"\"x\"\";\"\"y\"\")\",M,\"FORLI', FC\",15/03/1975,"
                "RSSMRA75C15F402O\r\n'-5,'+1,F,'@SUM(A1),01/01/1980,VRDNNA80A41H501U\r\n");
  EXPECT_EQ(Archive(), archive);
#ifndef _WIN32
  if (locale_t italian = newlocale(LC_ALL_MASK, "it_IT.UTF-8", static_cast<locale_t>(0))) {
    freelocale(italian);
    setenv("LC_ALL", "it_IT.UTF-8", 1);
    const std::string file = TempPath("esporta.csv");
    EXPECT_EQ(Archivio("esporta -o '" + file + "'").status, 0);
    const std::string start =
        "\xEF\xBB\xBF"
        "Cognome;Nome;Sex;Comune;Data;CodiceFiscale\r\nROSSI;\"'=HYPERLINK(";
    EXPECT_EQ(ReadAll(file).substr(0, start.size()), start);
  } else {
    ADD_FAILURE() << "no it_IT.UTF-8 locale here to read the separator of";
  }
#endif
}

// A database an earlier version made, without the log of changes, gets it
// and keeps its records, without a word from the server's notices among
// the command's output.
TEST_F(CliArchive, AnEarlierVersionsDatabaseIsUpgradedSilently) {
  if (!DbKind::Unready().empty()) GTEST_SKIP() << DbKind::Unready();
  DbKind database;
  database.Make({{"ROSSI", "MARIO", "M", "ROMA", "15/03/1975", "RSSMRA75C15H501A"}});
  PqConnection(DbKind::Target()).Run("DROP TABLE archivio_versione, archivio_modifiche");
  SetEnvironment("VIVEZE_ARCHIVIO", DbKind::Target());
  const Outcome listed = Archivio("elenca");
  SetEnvironment("VIVEZE_ARCHIVIO", "");
  EXPECT_EQ(listed.status, 0);
  EXPECT_EQ(listed.err, "");
  EXPECT_EQ(listed.out, kHeaderLine + "ROSSI,MARIO,M,ROMA,15/03/1975,RSSMRA75C15H501A\r\n");
}

#ifndef _WIN32
// Desks as processes of their own, each adding its people and adding and
// deleting a scratch record of its own, all at once on one archive.
TEST_F(CliArchive, DesksAtOnceLoseNothingAndBringNothingBack) {
  const std::string run = "'" + program_ + "' archivio";
  const std::string desks =
      "desks=''; for desk in BIANCHI ROSSI VERDI; do ("
      " for day in 01 02 03 04 05 06 07 08; do"
      "  " +
      run +
      " aggiungi $desk MARIO M $day/01/1980 ROMA >/dev/null || exit 1;"
      "  code=$(" +
      run +
      " aggiungi NERI $desk F 15/06/1990 ROMA) || exit 1;"
      "  " +
      run +
      " elimina $code || exit 1;"
      " done ) & desks=\"$desks $!\"; done;"
      "for desk in $desks; do wait $desk || exit 1; done";
  ASSERT_EQ(std::system(desks.c_str()), 0);
  const Outcome listed = Archivio("elenca");
  std::set<std::string> codes;
  std::size_t lines = 0;
  for (std::size_t at = kHeaderLine.size(); at < listed.out.size(); ++lines) {
    const std::size_t end = listed.out.find("\r\n", at);
    const std::string line = listed.out.substr(at, end - at);
    codes.insert(line.substr(line.rfind(',') + 1));
    EXPECT_NE(line.substr(0, 5), "NERI,") << line;
    at = end + 2;
  }
  EXPECT_EQ(lines, 24u);
  EXPECT_EQ(codes.size(), 24u);
}
#endif

}  // namespace
