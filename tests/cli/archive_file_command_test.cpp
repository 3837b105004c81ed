// `vivezecf archivio` on an archive file as offices leave it: saved with a
// byte-order mark, damaged by a NUL, read-only on a share, held by another
// desk; and names too long for it.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <optional>
#include <string>
#include <thread>

#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "tests/cli/cli_archive_fixture.h"
#include "tests/cli/program_run.h"

#ifndef _WIN32
namespace {

namespace fs = std::filesystem;

const std::string kBianchi = "Bianchi,Anna,F,Roma,1/01/1990,BNCNNA90A41H501T\r\n";

class CliArchiveFile : public CliArchive {
 protected:
  std::string ArchivePath() const { return Utf8Of(PathOf(folder_) / "archivio.dat"); }
  std::string Busy() const {
    return "L'archivio è in uso da un'altra postazione: " + ArchivePath() + "\n";
  }
};

TEST_F(CliArchiveFile, AnArchiveSavedWithAByteOrderMarkIsReadAndKeepsIt) {
  const std::string marked = "\xEF\xBB\xBF" + kHeaderLine + kRossi;
  Write(ArchivePath(), marked);
  const Outcome listed = Archivio("elenca");
  EXPECT_EQ(listed.status, 0) << listed.err;
  EXPECT_EQ(listed.out, marked);
  EXPECT_EQ(Archivio(kAddBianchi).status, 0);
  EXPECT_EQ(Archive(), marked + kBianchi);
}

// What follows a NUL cannot be read: listing says so, the first write keeps
// the file whole beside it first and says where, importing takes nothing.
TEST_F(CliArchiveFile, ANulIsToldByEveryCommandAndTheFileIsCopiedBeforeItIsWritten) {
  std::string damaged = kHeaderLine + kRossi + "Verdi,Anna,F,Ro";
  damaged.push_back('\0');
  damaged += "ma,1/05/1980,VRDNNA80E41H501X\r\n" + kBianchi;
  Write(ArchivePath(), damaged);
  const std::string nul =
      ArchivePath() + ":3:16: carattere NUL, il resto del file non è stato letto";

  const Outcome listed = Archivio("elenca");
  EXPECT_EQ(listed.status, 2);
  EXPECT_EQ(listed.out, kHeaderLine + kRossi + "Verdi,Anna,F,Ro\r\n");
  EXPECT_EQ(listed.err, nul + "\n");

  const std::string file = TempPath("danneggiato.dat");
  Write(file, damaged);
  setenv("VIVEZE_ARCHIVIO", "host=/nonexistent-viveze", 1);
  const Outcome imported = Archivio("importa '" + file + "'");
  unsetenv("VIVEZE_ARCHIVIO");
  EXPECT_EQ(imported.status, 2);
  EXPECT_EQ(imported.err,
            file + ":3:16: carattere NUL, il resto del file non è stato letto: nulla importato\n");

  const Outcome added = Archivio(kAddBianchi);
  EXPECT_EQ(added.status, 0);
  EXPECT_TRUE(added.err.ends_with("copiato in:\n" + ArchivePath() + ".orig\n")) << added.err;
  EXPECT_EQ(ReadAll(ArchivePath() + ".orig"), damaged);
  EXPECT_EQ(Archive(), kHeaderLine + kRossi + "Verdi,Anna,F,Ro\r\n" + kBianchi);
}

// A shared archive the desk cannot write is refused, and nothing is kept in
// the user's folder, where the other desks would never see it.
TEST_F(CliArchiveFile, AReadOnlySharedArchiveIsRefusedNotForked) {
  Write(ArchivePath(), kHeaderLine + kRossi);
  fs::permissions(PathOf(ArchivePath()),
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const Outcome added = Archivio(kAddBianchi);
  EXPECT_EQ(added.status, 2);
  EXPECT_EQ(added.err, "L'archivio " + ArchivePath() +
                           " non può essere scritto (il file o la cartella è di sola lettura): "
                           "chiedere a chi gestisce la cartella il permesso di scrivervi. "
                           "Nessun record è conservato altrove.\n");
  EXPECT_EQ(added.out, "");
  EXPECT_FALSE(fs::exists(PathOf(UserFolder() + "/archivio.dat")));
  EXPECT_EQ(Archive(), kHeaderLine + kRossi);
}

TEST_F(CliArchiveFile, ABusyLockOnANewArchiveGivesTheBusyText) {
  const FileLock held(LockPathOf(ArchivePath()));
  const Outcome added = Archivio(kAddBianchi);
  EXPECT_EQ(added.status, 2);
  EXPECT_EQ(added.err, Busy());
}

// The command waits for the lock once: a write it told as failed is not
// tried again on closing, when the other desk may have let go meanwhile.
TEST_F(CliArchiveFile, ABusyArchiveIsWaitedForOnceAndWhatFailedStaysUnstored) {
  ASSERT_EQ(Archivio(kAddRossi).status, 0);
  std::optional<FileLock> held(std::in_place, LockPathOf(ArchivePath()));
  fs::remove(PathOf(TempPath("stderr")));
  auto running = std::async(std::launch::async, [&] { return Archivio(kAddBianchi); });
  while (ReadAll(TempPath("stderr")).empty() &&
         running.wait_for(std::chrono::milliseconds(100)) != std::future_status::ready) {
  }
  held.reset();
  const Outcome added = running.get();
  EXPECT_EQ(added.status, 2);
  EXPECT_EQ(added.err, Busy());
  EXPECT_EQ(Archive(), kHeaderLine + kRossi);
}

TEST_F(CliArchiveFile, ANameLongerThanTheArchiveHoldsIsRefusedNotCut) {
  const Outcome added = Archivio("aggiungi " + std::string(300, 'A') + " Anna F 01/01/1990 Roma");
  EXPECT_EQ(added.status, 2);
  EXPECT_EQ(added.err, "Cognome troppo lungo per l'archivio: 300 byte, al massimo 255\n");
  EXPECT_EQ(Archive(), kHeaderLine);
}

}  // namespace
#endif
