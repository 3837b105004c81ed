// Peak resident memory of the archive's storage, each measure in a process of
// its own (the peak of a process only grows):
//
//   storage_memory write N PATH      writes an archive of N people at PATH
//   storage_memory idle              the peak of a process that only started
//   storage_memory insert PATH IDLE  opens the archive at PATH under the
//                                    archive's rules, adds one person (written
//                                    through), closes it (written again) and
//                                    prints its peak beside the file's size,
//                                    with and without IDLE (KiB) taken off
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <string_view>

#include "storage/archive/file_archive.h"
#include "storage/table/tlb_csv.h"
#include "tests/bench/bench_archive.h"

namespace {

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

int Usage() {
  std::fprintf(stderr, "usage: storage_memory write N PATH | idle | insert PATH IDLE_KIB\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string_view mode;
  if (argc > 1) mode = argv[1];
  if (mode == "write" && argc == 4) {
    BenchArchive::Write(argv[3], std::atoi(argv[2]));
    return 0;
  }
  if (mode == "idle" && argc == 2) {
    std::printf("%ld\n", PeakKiB());
    return 0;
  }
  if (mode != "insert" || argc != 4) return Usage();
  const std::string path = argv[2];
  const long idle = std::atol(argv[3]);
  TLbCsv table("LbCsv2");
  table.SetTableName(path);
  table.Open();
  const double records = table.RecordCount();
  {
    FileArchive archive(table);
    std::mt19937 random(3u);
    archive.Add(BenchArchive::Person(random, table.RecordCount() + 1));
    if (!archive.LastError().empty()) {
      std::fprintf(stderr, "%s\n", archive.LastError().c_str());
      return 1;
    }
    table.Close();
  }
  const double peak = static_cast<double>(PeakKiB()) * 1024;
  const double size = static_cast<double>(std::filesystem::file_size(path));
  std::printf(
      "peak memory, %.0f records after an insert: %.1f MiB, file %.1f MiB: %.2fx the file; "
      "less the %.1f MiB of a process that only started: %.2fx\n",
      records, peak / 1048576, size / 1048576, peak / size, static_cast<double>(idle) / 1024,
      (peak - static_cast<double>(idle) * 1024) / size);
  return 0;
}
