#include "storage/files/file_names.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <system_error>

#include "storage/files/process_facts.h"

namespace fs = std::filesystem;

namespace {

constexpr char kHex[] = "0123456789abcdef";
constexpr std::size_t kTagDigits = 16;
constexpr std::string_view kTemporaryEnd = ".tmp";

// A machine's name as a temporary name carries it: letters, digits and
// hyphens only.
std::string NameOfMachine() {
  std::string name = ThisMachineName().substr(0, 63);
  for (char& c : name) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (!plain) c = '-';
  }
  return name.empty() ? std::string("-") : name;
}

// Who made a temporary file: "<process>@<machine>" between its tag and its
// end; none in names of the program's earlier versions.
struct Maker {
  std::uint64_t process = 0;
  std::string machine;
};

std::optional<Maker> MakerOf(std::string_view name, std::string_view base) {
  const std::size_t from = base.size() + 1 + kTagDigits;
  if (name.size() <= from + kTemporaryEnd.size() || name[from] != '.') return std::nullopt;
  const std::string_view who = name.substr(from + 1, name.size() - from - 1 - kTemporaryEnd.size());
  const std::size_t at = who.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 == who.size()) return std::nullopt;
  Maker maker;
  for (const char c : who.substr(0, at)) {
    if (c < '0' || c > '9' || maker.process > UINT64_MAX / 10 - 1) return std::nullopt;
    maker.process = maker.process * 10 + static_cast<std::uint64_t>(c - '0');
  }
  maker.machine = std::string(who.substr(at + 1));
  if (maker.machine.find_first_of(".@") != std::string::npos) return std::nullopt;
  return maker;
}

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
  // Who writes it, so that no other copy takes it for one left by a crash.
  suffix.push_back('.');
  suffix.append(std::to_string(ThisProcessId())).push_back('@');
  suffix.append(NameOfMachine()).append(kTemporaryEnd);
  fs::path name = target.filename();
  name += suffix;
  return target.parent_path() / name;
}

bool IsTemporaryNameOf(std::string_view name, std::string_view base) {
  const std::size_t tagAt = base.size() + 1;
  if (name.size() < tagAt + kTagDigits + kTemporaryEnd.size()) return false;
  if (name.substr(0, base.size()) != base || name[base.size()] != '.') return false;
  const std::string_view tag = name.substr(tagAt, kTagDigits);
  if (tag.find_first_not_of(kHex) != std::string_view::npos) return false;
  if (name.substr(name.size() - kTemporaryEnd.size()) != kTemporaryEnd) return false;
  return name.size() == tagAt + kTagDigits + kTemporaryEnd.size() || MakerOf(name, base);
}

std::string LockPathOf(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  return (target ? Utf8Of(*target) : path) + ".lock";
}

std::size_t RemoveStaleTemporaryFiles(const std::string& path) {
  const std::optional<fs::path> target = FinalTarget(PathOf(path));
  if (!target) return 0;
  const std::string base = Utf8Of(target->filename());
  const std::string machine = NameOfMachine();
  // A writer on another machine, or one that says not who it is, is given
  // an hour: no replace takes that long.
  const auto longAgo = fs::file_time_type::clock::now() - std::chrono::hours(1);
  std::size_t removed = 0;
  std::error_code error;
  for (fs::directory_iterator entry(FolderOf(*target), error), end; !error && entry != end;
       entry.increment(error)) {
    const std::string name = Utf8Of(entry->path().filename());
    if (!IsTemporaryNameOf(name, base)) continue;
    std::error_code ignored;
    if (entry->symlink_status(ignored).type() != fs::file_type::regular) continue;
    const std::optional<Maker> maker = MakerOf(name, base);
    const bool writerGone = maker && maker->machine == machine && !ProcessIsRunning(maker->process);
    const auto written = fs::last_write_time(entry->path(), ignored);
    if (!writerGone && (ignored || written > longAgo)) continue;
    if (fs::remove(entry->path(), ignored)) ++removed;
  }
  return removed;
}
