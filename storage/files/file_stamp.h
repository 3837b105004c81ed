// A file's stamp: what the system says of it without reading it.
#pragma once

#include <cstdint>

// What the system says of a file without reading it: enough to tell that
// the file is no longer the one this program last read or wrote.
struct FileStamp {
  bool exists = false;
  std::uint64_t size = 0;
  // Nanoseconds since the system's epoch.
  std::int64_t modified = 0;
  // Which file on its volume (inode, or file index on Windows): a file
  // replaced by another copy's save gets a new one even within one clock tick.
  std::uint64_t identity = 0;

  bool operator==(const FileStamp&) const = default;
};
