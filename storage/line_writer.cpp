#include "storage/line_writer.h"

#include <algorithm>
#include <cstring>
#include <memory>

bool WriteLinesThrough(const std::vector<std::string_view>& lines,
                       const std::function<bool(std::string_view)>& write, std::size_t bufferSize) {
  constexpr std::string_view kLineEnd = "\r\n";
  std::size_t total = 0;
  for (const std::string_view line : lines) total += line.size() + kLineEnd.size();
  // Room for a line end at least, and no more than the text needs.
  const std::size_t capacity = std::max(std::min(total, bufferSize), kLineEnd.size());
  const std::unique_ptr<char[]> buffer(new char[capacity]);
  std::size_t used = 0;
  auto append = [&](std::string_view bytes) {
    std::memcpy(buffer.get() + used, bytes.data(), bytes.size());
    used += bytes.size();
  };
  auto flush = [&] {
    const bool written = used == 0 || write(std::string_view(buffer.get(), used));
    used = 0;
    return written;
  };
  for (const std::string_view line : lines) {
    if (capacity - used < line.size() + kLineEnd.size() && !flush()) return false;
    if (capacity < line.size() + kLineEnd.size()) {
      if (!write(line)) return false;
    } else {
      append(line);
    }
    append(kLineEnd);
  }
  return flush();
}
