// Opening a 100,000-record archive, reading every record with First, Next and
// FieldNamed, and closing it (which writes it back), next to copying the same
// file.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "storage/tlbcsv.h"

namespace {

constexpr int kRecords = 100000;
const char* const kColumns[] = {"Cognome", "Nome", "Sex", "Comune", "Data", "CodiceFiscale"};

class ArchiveFolder {
 public:
  ArchiveFolder() {
    std::random_device random;
    folder_ = std::filesystem::temp_directory_path() /
              (std::string("viveze-storage-bench-") + std::to_string(random()));
    std::filesystem::create_directories(folder_);
    std::ofstream out(Archive(), std::ios::binary);
    out << "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n";
    std::mt19937 generator(7);
    auto letters = [&](int count) {
      std::string text;
      for (int i = 0; i < count; ++i) text += static_cast<char>('A' + generator() % 26);
      return text;
    };
    for (int i = 0; i < kRecords; ++i) {
      out << letters(8) << ',' << letters(6) << ',' << (i % 2 ? 'M' : 'F') << ','
          << (i % 7 ? letters(9) : std::string("\"SAN ") + letters(5) + ", FRAZIONE\"") << ','
          << 1 + i % 28 << '/' << 1 + i % 12 << '/' << 1940 + i % 70 << ',' << letters(16)
          << "\r\n";
    }
  }
  ~ArchiveFolder() {
    std::error_code error;
    std::filesystem::remove_all(folder_, error);
  }
  std::string Archive() const { return (folder_ / "archivio.dat").string(); }
  std::string Copy() const { return (folder_ / "copia.dat").string(); }

 private:
  std::filesystem::path folder_;
};

const ArchiveFolder& Folder() {
  static const ArchiveFolder folder;
  return folder;
}

void BM_OpenScanClose(benchmark::State& state) {
  const std::string path = Folder().Archive();
  TLbCsv table("LbCsv2");
  table.SetTableName(path);
  for (auto _ : state) {
    table.Open();
    std::size_t characters = 0;
    for (table.First(); !table.AtEnd(); table.Next()) {
      for (const char* column : kColumns) characters += table.FieldNamed(column).Text().size();
    }
    benchmark::DoNotOptimize(characters);
    table.Close();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_OpenScanClose)->Unit(benchmark::kMillisecond);

void BM_CopyFile(benchmark::State& state) {
  const std::string path = Folder().Archive();
  for (auto _ : state) {
    std::filesystem::copy_file(path, Folder().Copy(),
                               std::filesystem::copy_options::overwrite_existing);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(std::filesystem::file_size(path)));
}
BENCHMARK(BM_CopyFile)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
