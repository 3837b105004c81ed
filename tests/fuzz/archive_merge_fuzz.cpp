// Two copies of the program on one archive, taking turns at adding and
// deleting as the input says: whatever the order, the file ends up with
// every code added and not deleted since, each once.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "storage/archive/file_archive.h"
#include "storage/table/tlb_csv.h"
#include "tests/fuzz/fuzz_folder.h"
#include "tests/support/archive_copy.h"

namespace {

const std::string& ArchivePath() {
  static const std::string path = FuzzFilePath("archivio.dat");
  return path;
}

std::set<std::string> CodesOnDisk(const std::string& path) {
  std::set<std::string> codes;
  for (const std::string& code : CodesIn(path)) {
    if (!codes.insert(code).second) std::abort();  // archived twice
  }
  return codes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ArchivePath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kArchiveHeader << "\r\n";
  }
  std::set<std::string> expected;
  {
    ArchiveCopy copies[2] = {ArchiveCopy(path), ArchiveCopy(path)};
    for (std::size_t i = 0; i < size && i < 64; ++i) {
      ArchiveCopy& copy = copies[data[i] & 1];
      // Eight codes in all, so the copies meet on the same ones.
      const std::string code(1, static_cast<char>('A' + ((data[i] >> 1) & 7)));
      if ((data[i] & 0x10) == 0) {
        if (!copy.archive.FindCode(code))
          copy.archive.Add({"S", "N", "M", "C", "01/01/1980", code});
        expected.insert(code);
      } else if (copy.archive.FindCode(code)) {
        copy.archive.DeleteCurrent();
        expected.erase(code);
      }
      if (!copy.archive.LastError().empty()) std::abort();
    }
    for (ArchiveCopy& copy : copies) copy.table.Close();
  }
  // Every write merged: the file is what the adds and deletes, in their
  // order, give, each code once.
  if (CodesOnDisk(path) != expected) std::abort();
  return 0;
}
