#include "storage/files/line_writer.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

constexpr std::string_view kLineEnd = "\r\n";

}  // namespace

LineWriter::LineWriter(ByteSink write, std::size_t capacity)
    : write_(std::move(write)), capacity_(std::max(capacity, kLineEnd.size())) {}

void LineWriter::Append(std::string_view bytes) {
  // The buffer is made when first needed: a file written from one stretch
  // needs none.
  if (!buffer_) buffer_.reset(new char[capacity_]);
  std::memcpy(buffer_.get() + used_, bytes.data(), bytes.size());
  used_ += bytes.size();
}

bool LineWriter::Send(std::string_view bytes) {
  if (!failed_ && !write_(bytes)) failed_ = true;
  return !failed_;
}

bool LineWriter::Flush() {
  if (failed_) return false;
  if (used_ == 0) return true;
  const std::size_t used = std::exchange(used_, 0);
  return Send(std::string_view(buffer_.get(), used));
}

bool LineWriter::Line(std::string_view line) {
  const std::size_t size = line.size() + kLineEnd.size();
  if (capacity_ - used_ < size && !Flush()) return false;
  if (capacity_ < size) {
    if (!Send(line)) return false;
  } else {
    Append(line);
  }
  Append(kLineEnd);
  return !failed_;
}

bool LineWriter::Stretch(std::string_view bytes) {
  if (capacity_ - used_ < bytes.size()) {
    if (!Flush()) return false;
    if (capacity_ <= bytes.size()) return Send(bytes);
  }
  Append(bytes);
  return !failed_;
}

bool LineWriter::Finish() { return Flush(); }

bool WriteLinesThrough(const std::vector<std::string_view>& lines, const ByteSink& write,
                       std::size_t bufferSize) {
  std::size_t total = 0;
  for (const std::string_view line : lines) total += line.size() + kLineEnd.size();
  LineWriter writer(write, std::min(total, bufferSize));
  for (const std::string_view line : lines) {
    if (!writer.Line(line)) return false;
  }
  return writer.Finish();
}
