// One desk of scripts/bench-desks: the archive open for the whole run, as a
// window keeps it, and one person archived a second.
//
//   desk_bench DESK SECONDS ARCHIVE_FILE [OFFSET_MS]
//
// The archive is the database VIVEZE_ARCHIVIO names, its waiting records in
// the user's data folder, or else the file ARCHIVE_FILE. For SECONDS from its
// start (below), the desk archives at each second, OFFSET_MS into it (at
// once when the last one overran), a person no other desk or second archives: the duplicate check,
// then the add. A line per archiving, "<microseconds> <status>", the check
// and the add timed together:
//
//   0  stored
//   1  kept for the server, and the user told so
//   2  a failure told, the record waiting in memory
//   3  anything else (the code found, a failure with nothing waiting), on
//      stderr too
//
// Between archivings a database desk takes in other desks' changes four
// times a second, as the window's timer does.
//
// Opening a large archive takes seconds, more with many desks opening at
// once, so that desks started together would not overlap: when stdin is not
// a terminal, a desk once open says "open" on stderr and starts its clock
// only when stdin ends (a script closes one pipe for all of them).
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <thread>

#include <unistd.h>

#include "storage/archive/archive.h"
#include "storage/archive/db_archive.h"
#include "storage/setup/archive_choice.h"
#include "storage/setup/data_files.h"
#include "storage/table/tlb_csv.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr std::chrono::milliseconds kRefreshEvery{250};
constexpr std::size_t kCodeLength = 16;

// A number's digits as the letters A to J, so that names stay letters only.
std::string Letters(int number) {
  std::string text = std::to_string(number);
  for (char& c : text) c = static_cast<char>('A' + (c - '0'));
  return text;
}

// Someone only this desk archives, and only at this second: X ends the
// desk's letters (which are A to J), Z pads the code.
ArchiveRecord Person(int desk, int second) {
  const std::string desks = Letters(desk);
  const std::string seconds = Letters(second);
  std::string code = "DSK" + desks + "X" + seconds;
  code.resize(kCodeLength, 'Z');
  return {desks + "X" + seconds, "PROVA", "M", "ROMA", "01/01/1980", code};
}

bool CodeFits(int desk, int seconds) {
  return 3 + Letters(desk).size() + 1 + Letters(seconds).size() <= kCodeLength;
}

// What the error handler heard during one archiving.
struct Told {
  bool any = false;
  bool unreachable = false;
  std::string text;
};

int StatusOf(bool found, const Told& told, const TLbCsv& table) {
  const bool waiting = !table.Changes().Empty();
  if (found) return 3;
  if (!told.any) return waiting ? 3 : 0;
  if (told.unreachable && told.text.find("è conservato") != std::string::npos && !waiting) {
    return 1;
  }
  return waiting ? 2 : 3;
}

// Waits until `until`, a database desk taking in other desks' changes on its
// timer's ticks meanwhile; ticks missed while busy are not made up.
void Idle(DbArchive* database, Clock::time_point until, Clock::time_point& nextRefresh) {
  for (;;) {
    if (database == nullptr || nextRefresh >= until) {
      std::this_thread::sleep_until(until);
      return;
    }
    std::this_thread::sleep_until(nextRefresh);
    database->Refresh();
    nextRefresh += kRefreshEvery;
    const Clock::time_point now = Clock::now();
    if (nextRefresh < now) nextRefresh = now + kRefreshEvery;
  }
}

int Usage() {
  std::fprintf(stderr, "usage: desk_bench DESK SECONDS ARCHIVE_FILE [OFFSET_MS]\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4 && argc != 5) return Usage();
  char* end = nullptr;
  const long desk = std::strtol(argv[1], &end, 10);
  if (*end != '\0' || desk < 0 || desk > 99999) return Usage();
  const long seconds = std::strtol(argv[2], &end, 10);
  if (*end != '\0' || seconds < 1 || seconds > 9999999) return Usage();
  if (!CodeFits(static_cast<int>(desk), static_cast<int>(seconds))) return Usage();
  const long offset = argc == 5 ? std::strtol(argv[4], &end, 10) : 0;
  if (argc == 5 && (*end != '\0' || offset < 0 || offset > 999)) return Usage();

  TLbCsv table("LbCsv2");
  std::unique_ptr<Archive> archive = MakeArchive(table);
  auto* database = dynamic_cast<DbArchive*>(archive.get());
  DataFilePaths paths;
  paths.archive = argv[3];
  try {
    OpenArchive(*archive, paths);
  } catch (const ArchiveUnreachable& away) {
    // As the window: a warning, and what is added waits for the server.
    std::fprintf(stderr, "%s\n", away.what());
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  if (isatty(STDIN_FILENO) == 0) {
    std::fprintf(stderr, "open\n");
    std::fflush(stderr);
    // Whatever comes is only the wait.
    while (std::fgetc(stdin) != EOF) continue;
  }
  Told told;
  archive->SetErrorHandler([&told](const std::exception& error) {
    told.any = true;
    told.unreachable = dynamic_cast<const ArchiveUnreachable*>(&error) != nullptr;
    told.text = error.what();
  });

  const Clock::time_point start = Clock::now() + std::chrono::milliseconds(offset);
  const Clock::time_point stop = start + std::chrono::seconds(seconds);
  Clock::time_point nextRefresh = start + kRefreshEvery;
  for (int second = 0; start + std::chrono::seconds(second) < stop; ++second) {
    Idle(database, start + std::chrono::seconds(second), nextRefresh);
    if (Clock::now() >= stop) break;
    const ArchiveRecord person = Person(static_cast<int>(desk), second);
    told = Told{};
    bool found = false;
    std::string thrown;
    const Clock::time_point begun = Clock::now();
    try {
      found = archive->FindCode(person.codiceFiscale);
      if (!found) archive->Add(person);
    } catch (const std::exception& error) {
      // The archive reports its failures; one thrown is a fault of its own.
      thrown = error.what();
    }
    const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - begun);
    const int status = thrown.empty() ? StatusOf(found, told, table) : 3;
    std::printf("%lld %d\n", static_cast<long long>(micros.count()), status);
    if (found) std::fprintf(stderr, "already archived: %s\n", person.codiceFiscale.c_str());
    if (!thrown.empty()) std::fprintf(stderr, "thrown: %s\n", thrown.c_str());
    if (told.any) std::fprintf(stderr, "%s\n", told.text.c_str());
    std::fflush(stdout);
  }

  try {
    archive->Close();
  } catch (const std::exception& error) {
    std::fprintf(stderr, "closing: %s\n", error.what());
  }
  return 0;
}
