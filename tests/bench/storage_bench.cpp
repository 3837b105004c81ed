// The storage of an archive of 1,000 to 1,000,000 records, each step beside
// its floor: what plain streams take to do the same with the same bytes.
//
//   open    TLbCsv::Open                    read the file with std::ifstream
//   scan    First/Next, "CodiceFiscale"     std::getline over the bytes held
//   insert  Insert, six values, Post        one record line into a stream
//   close   Close after the insert          write the bytes with std::ofstream
//   whole   open + scan + insert + close    read + write
//   archive the same, under the archive's   read + write twice (the insert is
//           rules: lock, write-through      written through, and closing
//                                           writes again)
//
// The cursor's write-back syncs the file to disk before it renames it over
// the old one; the floors "write+sync" and "whole+sync" sync their plain
// stream's file too, to show what that costs. A summary of the ratios
// follows the table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "storage/archive/file_archive.h"
#include "storage/table/tlb_csv.h"
#include "tests/bench/bench_archive.h"

namespace {

namespace fs = std::filesystem;

constexpr int kSizes[] = {1000, 10000, 100000, 1000000};

// The archive of one size, generated once, with its bytes and a person to
// insert; the file is cut back to its own bytes after every insert.
class Sample {
 public:
  explicit Sample(int records) {
    std::random_device random;
    folder_ = fs::temp_directory_path() /
              ("viveze-storage-bench-" + std::to_string(records) + "-" + std::to_string(random()));
    fs::create_directories(folder_);
    path_ = (folder_ / "archivio.dat").string();
    floorPath_ = (folder_ / "floor.dat").string();
    BenchArchive::Write(path_, records);
    size_ = fs::file_size(path_);
    std::mt19937 generator(1u);
    person_ = BenchArchive::Person(generator, records + 1);
    line_ = BenchArchive::Line(person_);
    std::ifstream in(path_, std::ios::binary);
    bytes_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    withInsert_ = bytes_;
    withInsert_.append(line_).append("\r\n");
    lookedFor_ = "NOTINTHEARCHIVE1";
  }
  ~Sample() {
    std::error_code error;
    fs::remove_all(folder_, error);
  }
  Sample(const Sample&) = delete;
  Sample& operator=(const Sample&) = delete;

  const std::string& Path() const { return path_; }
  const std::string& FloorPath() const { return floorPath_; }
  std::uintmax_t Size() const { return size_; }
  const std::string& Bytes() const { return bytes_; }
  const std::string& WithInsert() const { return withInsert_; }
  const ArchiveRecord& Person() const { return person_; }
  const std::string& LookedFor() const { return lookedFor_; }
  void Restore() const { fs::resize_file(path_, size_); }

 private:
  fs::path folder_;
  std::string path_;
  std::string floorPath_;
  std::uintmax_t size_ = 0;
  std::string bytes_;
  std::string withInsert_;
  ArchiveRecord person_;
  std::string line_;
  std::string lookedFor_;
};

const Sample& SampleOf(int records) {
  static std::map<int, std::unique_ptr<Sample>> samples;
  std::unique_ptr<Sample>& sample = samples[records];
  if (!sample) sample = std::make_unique<Sample>(records);
  return *sample;
}

// --- the cursor's steps -----------------------------------------------------

int Scan(TLbCsv& table, const std::string& code) {
  TStringField& column = table.FieldNamed(archive_column::kCodiceFiscale);
  int found = 0;
  for (table.First(); !table.AtEnd(); table.Next()) {
    if (column.Text() == code) ++found;
  }
  return found;
}

void Insert(TLbCsv& table, const ArchiveRecord& person) {
  table.Insert();
  table.FieldNamed(archive_column::kCognome).SetText(person.cognome);
  table.FieldNamed(archive_column::kNome).SetText(person.nome);
  table.FieldNamed(archive_column::kSex).SetText(person.sex);
  table.FieldNamed(archive_column::kComune).SetText(person.comune);
  table.FieldNamed(archive_column::kData).SetText(person.data);
  table.FieldNamed(archive_column::kCodiceFiscale).SetText(person.codiceFiscale);
  table.Post();
}

void Open(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  for (auto _ : state) {
    table.Open();
    state.PauseTiming();
    table.Discard();
    state.ResumeTiming();
  }
}

void ScanTable(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  table.Open();
  for (auto _ : state) benchmark::DoNotOptimize(Scan(table, sample.LookedFor()));
  table.Discard();
}

void InsertRecord(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  table.Open();
  for (auto _ : state) {
    Insert(table, sample.Person());
    state.PauseTiming();
    table.Delete();
    state.ResumeTiming();
  }
  table.Discard();
}

void Close(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  for (auto _ : state) {
    state.PauseTiming();
    table.Open();
    Insert(table, sample.Person());
    state.ResumeTiming();
    table.Close();
    state.PauseTiming();
    sample.Restore();
    state.ResumeTiming();
  }
}

void Whole(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  for (auto _ : state) {
    table.Open();
    benchmark::DoNotOptimize(Scan(table, sample.LookedFor()));
    Insert(table, sample.Person());
    table.Close();
    state.PauseTiming();
    sample.Restore();
    state.ResumeTiming();
  }
}

void ArchiveWhole(benchmark::State& state, const Sample& sample) {
  TLbCsv table("LbCsv2");
  table.SetTableName(sample.Path());
  for (auto _ : state) {
    table.Open();
    {
      FileArchive archive(table);
      benchmark::DoNotOptimize(Scan(table, sample.LookedFor()));
      archive.Add(sample.Person());
      table.Close();
    }
    state.PauseTiming();
    sample.Restore();
    state.ResumeTiming();
  }
}

// --- the floors -------------------------------------------------------------

std::string ReadPlain(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  in.seekg(0, std::ios::end);
  std::string bytes(static_cast<std::size_t>(in.tellg()), '\0');
  in.seekg(0);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return bytes;
}

void WritePlain(const std::string& path, const std::string& bytes, bool sync) {
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  if (sync) {
    const int fd = open(path.c_str(), O_RDONLY);
    fsync(fd);
    close(fd);
  }
}

int ScanPlain(std::istringstream& in, const std::string& code) {
  in.clear();
  in.seekg(0);
  std::string line;
  std::getline(in, line);
  int found = 0;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t comma = line.rfind(',');
    if (line.compare(comma + 1, std::string::npos, code) == 0) ++found;
  }
  return found;
}

void ReadFloor(benchmark::State& state, const Sample& sample) {
  for (auto _ : state) benchmark::DoNotOptimize(ReadPlain(sample.Path()));
}

void ScanFloor(benchmark::State& state, const Sample& sample) {
  std::istringstream in(sample.Bytes());
  for (auto _ : state) benchmark::DoNotOptimize(ScanPlain(in, sample.LookedFor()));
}

void InsertFloor(benchmark::State& state, const Sample& sample) {
  const ArchiveRecord& person = sample.Person();
  for (auto _ : state) {
    std::ostringstream out;
    out << person.cognome << ',' << person.nome << ',' << person.sex << ",\"" << person.comune
        << "\"," << person.data << ',' << person.codiceFiscale << "\r\n";
    benchmark::DoNotOptimize(out.str());
  }
}

void WriteFloor(benchmark::State& state, const Sample& sample, bool sync) {
  for (auto _ : state) WritePlain(sample.FloorPath(), sample.WithInsert(), sync);
}

void WholeFloor(benchmark::State& state, const Sample& sample, int writes, bool sync) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadPlain(sample.Path()));
    for (int i = 0; i < writes; ++i) WritePlain(sample.FloorPath(), sample.WithInsert(), sync);
  }
}

// --- the summary ------------------------------------------------------------

// Each step and the floor it is measured against.
struct Pair {
  const char* step;
  const char* floor;
};
constexpr Pair kPairs[] = {
    {"open", "read"},        {"scan", "getline"},        {"insert", "format"},
    {"close", "write"},      {"close", "write+sync"},    {"whole", "read+write"},
    {"whole", "whole+sync"}, {"archive", "read+2write"}, {"archive", "archive+sync"},
};

// Prints the table as usual, then each step's time over its floor's.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.error_occurred || run.run_type != Run::RT_Iteration) continue;
      times_[run.run_name.function_name] = run.real_accumulated_time / run.iterations;
    }
  }

  void Finalize() override {
    std::FILE* out = stdout;
    std::fprintf(out, "\nstep over its floor (real time)\n%-10s %-14s", "step", "floor");
    for (const int size : kSizes) std::fprintf(out, " %9d", size);
    std::fprintf(out, "\n");
    for (const Pair& pair : kPairs) {
      std::fprintf(out, "%-10s %-14s", pair.step, pair.floor);
      for (const int size : kSizes) {
        const auto step = times_.find(Name(pair.step, size));
        const auto floor = times_.find(Name(pair.floor, size));
        if (step == times_.end() || floor == times_.end() || floor->second <= 0) {
          std::fprintf(out, " %9s", "-");
        } else {
          std::fprintf(out, " %8.2fx", step->second / floor->second);
        }
      }
      std::fprintf(out, "\n");
    }
  }

  static std::string Name(const std::string& what, int size) {
    std::string name = what;
    name.push_back('/');
    name.append(std::to_string(size));
    return name;
  }

 private:
  std::map<std::string, double> times_;
};

template <typename Body>
void Register(const char* what, int size, Body body) {
  benchmark::RegisterBenchmark(
      RatioReporter::Name(what, size).c_str(),
      [size, body](benchmark::State& state) {
        const Sample& sample = SampleOf(size);
        body(state, sample);
        state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                                static_cast<std::int64_t>(sample.Size()));
      })
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime();
}

void RegisterAll() {
  for (const int size : kSizes) {
    Register("open", size, Open);
    Register("read", size, ReadFloor);
    Register("scan", size, ScanTable);
    Register("getline", size, ScanFloor);
    Register("insert", size, InsertRecord);
    Register("format", size, InsertFloor);
    Register("close", size, Close);
    Register("write", size, [](auto& state, const Sample& s) { WriteFloor(state, s, false); });
    Register("write+sync", size, [](auto& state, const Sample& s) { WriteFloor(state, s, true); });
    Register("whole", size, Whole);
    Register("read+write", size,
             [](auto& state, const Sample& s) { WholeFloor(state, s, 1, false); });
    Register("whole+sync", size,
             [](auto& state, const Sample& s) { WholeFloor(state, s, 1, true); });
    Register("archive", size, ArchiveWhole);
    Register("read+2write", size,
             [](auto& state, const Sample& s) { WholeFloor(state, s, 2, false); });
    Register("archive+sync", size,
             [](auto& state, const Sample& s) { WholeFloor(state, s, 2, true); });
  }
}

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RegisterAll();
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
