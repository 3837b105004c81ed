// A table opened from any bytes: walked, edited and closed, it never crashes,
// and the file written back reopens with the records the table held.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "storage/table/tlb_csv.h"
#include "storage/table_error.h"
#include "tests/fuzz/fuzz_folder.h"

namespace {

const std::string& TablePath() {
  static const std::string path = FuzzFilePath("table.csv");
  return path;
}

void WriteFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) std::abort();
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::vector<std::string>> AllRecords(const TLbCsv& table) {
  std::vector<std::vector<std::string>> records;
  for (int n = 1; n <= table.RecordCount(); ++n) records.push_back(table.RecordValues(n));
  return records;
}

// Every move in both directions, reading each column of each record.
void Walk(TLbCsv& table) {
  const int count = table.RecordCount();
  int seen = 0;
  for (table.First(); !table.AtEnd(); table.Next()) {
    for (int f = 0; f < table.FieldCount(); ++f) (void)table.Field(f).Text();
    if (++seen > count) std::abort();
  }
  if (seen != count) std::abort();
  for (table.Last(); !table.AtBeginning(); table.Prior()) --seen;
  if (seen != 0) std::abort();
  for (int n = -1; n <= count + 2; ++n) {
    if (table.RecordValues(n).size() != static_cast<std::size_t>(table.FieldCount())) {
      std::abort();
    }
  }
}

// Edits driven by the input's last bytes; the values written are cut from the
// input too. A refused step (a read-only table, an empty one) is a TableError.
void Edit(TLbCsv& table, std::string_view bytes) {
  const std::size_t steps = std::min<std::size_t>(bytes.size(), 24);
  for (std::size_t i = 0; i < steps; ++i) {
    const auto op = static_cast<unsigned char>(bytes[bytes.size() - 1 - i]);
    const std::string text(bytes.substr(i * 7 % (bytes.size() + 1), op % 300));
    try {
      switch (op % 8) {
        case 0:
          table.Insert();
          break;
        case 1:
          table.Edit();
          break;
        case 2:
          if (table.FieldCount() > 0) table.Field(op / 8 % table.FieldCount()).SetText(text);
          break;
        case 3:
          table.Post();
          break;
        case 4:
          table.Cancel();
          break;
        case 5:
          table.Delete();
          break;
        case 6:
          table.SetRecordNumber(op / 8 - 4);
          break;
        case 7:
          (void)table.Skip(op / 8 % 2 == 0 ? 1 : -2);
          break;
      }
    } catch (const TableError&) {
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string& path = TablePath();
  WriteFile(path, bytes);
  const bool readOnly = size > 0 && data[0] % 5 == 0;

  std::vector<std::vector<std::string>> kept;
  {
    TLbCsv table("LbCsv2");
    table.SetTableName(path);
    table.SetReadOnly(readOnly);
    try {
      table.Open();
    } catch (const TableError&) {
      return 0;  // no header, or one the table refuses
    }
    Walk(table);
    Edit(table, bytes);
    table.Cancel();
    Walk(table);
    kept = AllRecords(table);
    table.Close();
  }
  // A read-only table may delete in memory, but never touches its file.
  if (readOnly) {
    if (ReadFile(path) != bytes) std::abort();
    return 0;
  }

  TLbCsv reopened("LbCsv2");
  reopened.SetTableName(path);
  reopened.SetReadOnly(true);
  reopened.Open();
  if (AllRecords(reopened) != kept) std::abort();
  return 0;
}
