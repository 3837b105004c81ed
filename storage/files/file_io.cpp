// Replacing and copying a file, the same on every system; each system's own
// steps are in file_io_posix.cpp and file_io_windows.cpp.
#include "storage/files/file_io.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "storage/files/file_names.h"
#include "storage/files/line_writer.h"
#include "storage/files/replace_steps.h"
#include "storage/table_error.h"

namespace fs = std::filesystem;
using namespace replace_steps;

namespace {

// Writes a new file through `write`, then moves it over `target`.
template <typename Write>
bool Replace(const std::string& path, Write&& write, bool sync = true) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return false;
  const std::optional<Existing> old = Inspect(*target);
  if (!old || !old->regular || old->readOnly) return false;
  constexpr int kAttempts = 16;
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    const fs::path temporary = TemporaryPathBeside(*target);
    OutputFile out;
    switch (out.Create(temporary, *old)) {
      case NewFile::NameTaken:
        continue;
      case NewFile::Failed:
        return false;
      case NewFile::Created:
        break;
    }
    const bool written = write(out);
    if (!(out.Finish(sync) && written && Install(temporary, *target, *old))) {
      std::error_code error;
      fs::remove(temporary, error);
      return false;
    }
    if (sync) SyncFolder(FolderOf(*target));
    return true;
  }
  return false;
}

}  // namespace

bool ReplaceFileContents(const std::string& path, std::string_view contents) {
  return Replace(
      path, [contents](OutputFile& out) { return out.Write(contents.data(), contents.size()); });
}

bool ReplaceFileLines(const std::string& path, const std::vector<std::string_view>& lines) {
  return ReplaceFileFrom(path,
                         [&lines](const ByteSink& sink) { return WriteLinesThrough(lines, sink); });
}

bool ReplaceFileFrom(const std::string& path,
                     const std::function<bool(const ByteSink& sink)>& produce, bool sync) {
  return Replace(
      path,
      [&produce](OutputFile& out) {
        return produce(
            [&out](std::string_view bytes) { return out.Write(bytes.data(), bytes.size()); });
      },
      sync);
}

std::string CopyBesideAsOriginal(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  const std::optional<FileBytes> bytes = ReadWholeFile(path);
  const std::optional<Existing> old = target ? Inspect(*target) : std::nullopt;
  if (!bytes || !old) throw TableError("Cannot open file " + path);
  fs::path name = target->filename();
  name += ".orig";
  const fs::path first = target->parent_path() / name;
  for (int number = 1; number < 10000; ++number) {
    fs::path copy = first;
    if (number > 1) {
      copy += ".";
      copy += std::to_string(number);
    }
    OutputFile out;
    const NewFile created = out.Create(copy, *old);
    if (created == NewFile::NameTaken) continue;
    if (created == NewFile::Failed) throw TableError("Cannot create file " + Utf8Of(copy));
    const bool written = out.Write(bytes->data(), bytes->size());
    if (out.Finish() && written) {
      SyncFolder(FolderOf(*target));
      return Utf8Of(copy);
    }
    std::error_code ignored;
    fs::remove(copy, ignored);
    throw TableError("Cannot create file " + Utf8Of(copy));
  }
  throw TableError("Cannot create file " + Utf8Of(first));
}

bool IsReplaceableFile(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return false;
  const std::optional<Existing> old = Inspect(*target);
  return old && old->exists && old->regular && !old->readOnly;
}
