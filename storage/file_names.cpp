#include "storage/file_names.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>

namespace fs = std::filesystem;

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr std::size_t kTagDigits = 16;
constexpr std::string_view kTemporaryEnd = ".tmp";

}  // namespace

#ifdef _WIN32
fs::path PathOf(const std::string& utf8) {
  return fs::path(std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string Utf8Of(const fs::path& path) {
  const std::u8string text = path.u8string();
  return std::string(reinterpret_cast<const char*>(text.data()), text.size());
}
#else
fs::path PathOf(const std::string& utf8) { return fs::path(utf8); }
std::string Utf8Of(const fs::path& path) { return path.string(); }
#endif

std::optional<fs::path> FinalTarget(fs::path path) {
  std::error_code error;
  for (int hop = 0; hop < 40; ++hop) {
    if (fs::symlink_status(path, error).type() != fs::file_type::symlink) return path;
    const fs::path link = fs::read_symlink(path, error);
    if (error) return std::nullopt;
    path = link.is_absolute() ? link : path.parent_path() / link;
  }
  return std::nullopt;
}

fs::path FolderOf(const fs::path& file) {
  return file.has_parent_path() ? file.parent_path() : fs::path(".");
}

// The temporary file must sit in the same folder for the rename to replace
// the old file in one step.
fs::path TemporaryPathBeside(const fs::path& target) {
  static std::atomic<std::uint64_t> counter{0};
  const auto ticks =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  const std::uint64_t tag = ticks * 0x9E3779B97F4A7C15ull + counter.fetch_add(1);
  std::string suffix = ".";
  for (int shift = 60; shift >= 0; shift -= 4) suffix += kHex[(tag >> shift) & 0xF];
  suffix += kTemporaryEnd;
  fs::path name = target.filename();
  name += suffix;
  return target.parent_path() / name;
}

bool IsTemporaryNameOf(std::string_view name, std::string_view base) {
  if (name.size() != base.size() + 1 + kTagDigits + kTemporaryEnd.size()) return false;
  if (name.substr(0, base.size()) != base || name[base.size()] != '.') return false;
  const std::string_view tag = name.substr(base.size() + 1, kTagDigits);
  if (tag.find_first_not_of(kHex) != std::string_view::npos) return false;
  return name.substr(name.size() - kTemporaryEnd.size()) == kTemporaryEnd;
}

std::string LockPathOf(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  return (target ? Utf8Of(*target) : path) + ".lock";
}

std::size_t RemoveStaleTemporaryFiles(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return 0;
  const std::string base = Utf8Of(target->filename());
  std::size_t removed = 0;
  std::error_code error;
  for (fs::directory_iterator entry(FolderOf(*target), error), end; !error && entry != end;
       entry.increment(error)) {
    if (!IsTemporaryNameOf(Utf8Of(entry->path().filename()), base)) continue;
    std::error_code ignored;
    if (entry->symlink_status(ignored).type() != fs::file_type::regular) continue;
    if (fs::remove(entry->path(), ignored)) ++removed;
  }
  return removed;
}
