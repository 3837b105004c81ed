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

namespace {

const std::string& ArchivePath() {
  static const std::string path = [] {
    const std::filesystem::path shm = "/dev/shm";
    const std::filesystem::path base =
        std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path();
    std::string folder = (base / "viveze-merge-fuzz-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) std::abort();
    static const std::filesystem::path made = folder;
    std::atexit([] { std::filesystem::remove_all(made); });
    return (made / "archivio.dat").string();
  }();
  return path;
}

std::set<std::string> CodesOnDisk(const std::string& path) {
  TLbCsv table("LbCsv2");
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  std::set<std::string> codes;
  for (int n = 1; n <= table.RecordCount(); ++n) {
    if (!codes.insert(table.RecordValues(n)[5]).second) std::abort();  // archived twice
  }
  return codes;
}

struct Copy {
  explicit Copy(const std::string& path) {
    table.SetTableName(path);
    table.Open();
  }
  TLbCsv table{"LbCsv2"};
  FileArchive archive{table};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ArchivePath();
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << kArchiveHeader << "\r\n";
  }
  std::set<std::string> expected;
  {
    Copy copies[2] = {Copy(path), Copy(path)};
    for (std::size_t i = 0; i < size && i < 64; ++i) {
      Copy& copy = copies[data[i] & 1];
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
    for (Copy& copy : copies) copy.table.Close();
  }
  // Every write merged: the file is what the adds and deletes, in their
  // order, give, each code once.
  if (CodesOnDisk(path) != expected) std::abort();
  return 0;
}
