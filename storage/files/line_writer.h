// Lines gathered into pieces for a file's writer.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

// Where written bytes go, piece by piece; false when they could not be
// written.
using ByteSink = std::function<bool(std::string_view)>;

// Gathers the text of a file for `write` in pieces of at most `capacity`
// bytes: lines, each then followed by CR LF, and stretches that hold their
// line ends already. A line too long for the buffer goes out on its own, a
// long stretch too, without a copy, so a file is written from what holds its
// lines and never from a copy of its whole text. Once `write` failed, every
// call gives false.
class LineWriter {
 public:
  static constexpr std::size_t kCapacity = std::size_t{1} << 20;

  explicit LineWriter(ByteSink write, std::size_t capacity = kCapacity);
  LineWriter(const LineWriter&) = delete;
  LineWriter& operator=(const LineWriter&) = delete;

  bool Line(std::string_view line);
  bool Stretch(std::string_view bytes);
  // Writes what is still gathered.
  bool Finish();

 private:
  void Append(std::string_view bytes);
  bool Flush();
  bool Send(std::string_view bytes);

  ByteSink write_;
  std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  bool failed_ = false;
};

// Gives `write` every line followed by CR LF through a LineWriter whose
// buffer is no larger than the text needs. False as soon as `write` fails.
bool WriteLinesThrough(const std::vector<std::string_view>& lines, const ByteSink& write,
                       std::size_t bufferSize = LineWriter::kCapacity);
