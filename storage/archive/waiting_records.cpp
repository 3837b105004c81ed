#include "storage/archive/waiting_records.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

#include "storage/archive/archive.h"
#include "storage/archive/archive_import.h"
#include "storage/files/data_folder.h"
#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/files/host_system.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"

namespace {

// The refused records' file: the archive's columns and why.
constexpr std::string_view kReasonColumn = "Motivo";

// The database's label made a file name on any system, one name per label:
// lower-case letters, digits, '-', '.' and '@' as they are, any other byte
// (capitals too, for systems that ignore case) as %XX.
std::string FileName(const std::string& label) {
  std::string name = "in-attesa-";
  for (const char c : label) {
    const bool plain =
        (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '@';
    if (plain) {
      name.push_back(c);
      continue;
    }
    char escaped[4];
    std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
    name += escaped;
  }
  return name + ".dat";
}

// The file at `path` as read; none when there is none. One there that cannot
// be read is an error, never taken for an empty one.
std::optional<TableFile> Read(const std::string& path) {
  if (!StampOf(path).exists) return std::nullopt;
  std::optional<FileBytes> bytes = ReadWholeFile(path);
  if (!bytes) throw TableError("Impossibile leggere i record in attesa: " + path);
  return TableFile::FromBytes(std::move(*bytes));
}

// A waiting line as a record, in the header's order the file is written in.
ArchiveRecord RecordOf(std::string_view line) {
  std::vector<std::string> values;
  ParseRecord(line, values);
  values.resize(kArchiveColumns.size());
  return {values[0], values[1], values[2], values[3], values[4], values[5]};
}

struct Refused {
  std::size_t line;  // in the waiting file
  std::string text;
  std::string reason;
};

// `refused` after the records already in the file at `path`, each with its
// reason: a file to correct and import.
void KeepRefused(const std::string& path, const std::vector<Refused>& refused) {
  const std::string header = std::string(kArchiveHeader) + "," + std::string(kReasonColumn);
  const std::optional<TableFile> before = Read(path);
  std::vector<std::string> lines;
  for (std::size_t i = 1; before && i < before->LineCount(); ++i)
    lines.emplace_back(before->Line(i));
  for (const Refused& record : refused) {
    std::string line = record.text + ",";
    AppendValue(record.reason, line);
    lines.push_back(std::move(line));
  }
  std::vector<std::string_view> text{header};
  text.insert(text.end(), lines.begin(), lines.end());
  if (!ReplaceFileLines(path, text)) throw TableError("Cannot create file " + path);
}

}  // namespace

WaitingRecords::WaitingRecords(std::string folder) : folder_(std::move(folder)) {}

void WaitingRecords::Name(const std::string& label) {
  path_.clear();
  if (folder_.empty() || label.empty()) return;
  path_ = folder_;
  if (path_.back() != '/' && path_.back() != '\\')
    path_.push_back(kThisSystem == HostSystem::Windows ? '\\' : '/');
  path_ += FileName(label);
}

std::string WaitingRecords::RefusedPath() const {
  if (path_.empty()) return {};
  return path_.substr(0, path_.size() - 4) + "-rifiutati.dat";
}

std::vector<std::string> WaitingRecords::Lines() const {
  std::vector<std::string> lines;
  if (path_.empty()) return lines;
  const std::optional<TableFile> file = Read(path_);
  for (std::size_t i = 1; file && i < file->LineCount(); ++i) lines.emplace_back(file->Line(i));
  return lines;
}

void WaitingRecords::Append(const std::vector<std::string>& lines) {
  if (path_.empty()) throw TableError("Cannot create file in-attesa");
  MakeDataFolder(folder_, path_);
  const FileLock lock(LockPathOf(path_));
  std::vector<std::string> all = Lines();
  all.insert(all.end(), lines.begin(), lines.end());
  std::vector<std::string_view> text{kArchiveHeader};
  text.insert(text.end(), all.begin(), all.end());
  if (!ReplaceFileLines(path_, text)) throw TableError("Cannot create file " + path_);
}

std::string WaitingRecords::Send(const Sender& send) {
  if (path_.empty() || !StampOf(path_).exists) return {};
  const FileLock lock(LockPathOf(path_));
  const std::optional<TableFile> file = Read(path_);
  if (!file) return {};  // sent by another copy meanwhile
  const std::vector<std::size_t> numbers = file->TextLineNumbers();
  std::vector<std::string> lines;
  std::vector<std::size_t> lineNumbers;
  std::vector<Refused> refused;
  for (std::size_t i = 1; i < file->LineCount(); ++i) {
    const std::string_view line = file->Line(i);
    if (std::optional<std::string> why = ImportRefusal(RecordOf(line), line)) {
      refused.push_back({numbers[i], std::string(line), std::move(*why)});
    } else {
      lines.emplace_back(line);
      lineNumbers.push_back(numbers[i]);
    }
  }
  if (!lines.empty()) {
    for (WaitingRecords::Refusal& no : send(lines)) {
      refused.push_back({lineNumbers[no.index], lines[no.index], std::move(no.reason)});
    }
  }
  // Stored, or kept aside with the reason, before the file goes; one left
  // behind by a crash is sent again, harmlessly: a code already stored is
  // skipped, a refused one refused again.
  std::string told;
  if (!refused.empty()) {
    std::stable_sort(refused.begin(), refused.end(),
                     [](const Refused& a, const Refused& b) { return a.line < b.line; });
    const std::string aside = RefusedPath();
    KeepRefused(aside, refused);
    told = "Record in attesa non archiviati, spostati in " + aside + ":";
    for (const Refused& record : refused) {
      told += "\n" + path_ + ":" + std::to_string(record.line) + ": " + record.reason;
    }
  }
  std::error_code ignored;
  std::filesystem::remove(PathOf(path_), ignored);
  return told;
}
