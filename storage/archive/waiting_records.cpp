#include "storage/archive/waiting_records.h"

#include <filesystem>
#include <system_error>

#include "storage/archive/archive.h"
#include "storage/files/data_folder.h"
#include "storage/files/file_io.h"
#include "storage/files/file_lock.h"
#include "storage/files/file_names.h"
#include "storage/files/host_system.h"
#include "storage/table/table_file.h"

namespace {

// The database's label made a file name on any system.
std::string FileName(const std::string& label) {
  std::string name = "in-attesa-";
  for (const char c : label) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '.' || c == '@';
    name.push_back(plain ? c : '_');
  }
  return name + ".dat";
}

}  // namespace

WaitingRecords::WaitingRecords(std::string folder, const std::string& databaseLabel)
    : folder_(std::move(folder)) {
  if (folder_.empty()) return;
  path_ = folder_;
  if (path_.back() != '/' && path_.back() != '\\')
    path_.push_back(kThisSystem == HostSystem::Windows ? '\\' : '/');
  path_ += FileName(databaseLabel);
}

std::vector<std::string> WaitingRecords::Lines() const {
  std::vector<std::string> lines;
  if (path_.empty()) return lines;
  std::optional<FileBytes> bytes = ReadWholeFile(path_);
  if (!bytes) return lines;
  const TableFile file = TableFile::FromBytes(std::move(*bytes));
  for (std::size_t i = 1; i < file.LineCount(); ++i) {
    if (!file.Line(i).empty()) lines.emplace_back(file.Line(i));
  }
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

void WaitingRecords::Send(const std::function<void(const std::vector<std::string>& lines)>& send) {
  if (path_.empty() || !StampOf(path_).exists) return;
  const FileLock lock(LockPathOf(path_));
  const std::vector<std::string> lines = Lines();
  if (!lines.empty()) send(lines);
  std::error_code ignored;
  // One left behind is sent again, harmlessly: a code already stored is skipped.
  std::filesystem::remove(PathOf(path_), ignored);
}
