#include "lists/list_run.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <utility>

#include "lists/text_encoding.h"
#include "storage/files/file_io.h"
#include "storage/files/file_names.h"
#include "storage/table/delimited_text.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;
// Written out a few megabytes at a time.
constexpr std::size_t kOutputFlush = 4 << 20;
// A row longer than this is a quote never closed, not an office's row: the
// list is refused before it fills the memory.
constexpr std::size_t kLongestRow = 16 << 20;

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Paths are UTF-8; on Windows they reach the system widened, as storage
// hands them over, since the ANSI code page cannot hold every letter.
std::FILE* OpenFile(const std::string& path, const wchar_t* wideMode, const char* mode) {
#ifdef _WIN32
  static_cast<void>(mode);
  return _wfopen(PathOf(path).c_str(), wideMode);
#else
  static_cast<void>(wideMode);
  return std::fopen(path.c_str(), mode);
#endif
}

// Standard input is read twice (encoding, then rows), so it is spooled first.
File Spool() {
  File spool(std::tmpfile(), &std::fclose);
  if (!spool) return spool;
  std::vector<char> buffer(kChunk);
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), stdin)) > 0) {
    if (std::fwrite(buffer.data(), 1, n, spool.get()) != n) return File(nullptr, &std::fclose);
  }
  if (std::ferror(stdin) || std::fflush(spool.get()) != 0) return File(nullptr, &std::fclose);
  std::rewind(spool.get());
  return spool;
}

// Read whole before any row: a long list is cancelled here too.
bool IsUtf8(std::FILE* file, const std::atomic<bool>* cancel) {
  Utf8Validator validator;
  std::vector<char> buffer(kChunk);
  std::size_t n;
  while ((cancel == nullptr || !cancel->load(std::memory_order_relaxed)) &&
         (n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    validator.Feed({buffer.data(), n});
  }
  std::rewind(file);
  return validator.Valid();
}

// The list's text, read a piece at a time, in UTF-8.
class ListText {
 public:
  ListText(std::FILE* file, bool utf8) : file_(file), utf8_(utf8) {}

  // Appends the next piece to `text`; false at the end or on a failed read.
  bool More(std::string& text) {
    const std::size_t had = text.size();
    if (utf8_) {
      text.resize(had + kChunk);
      const std::size_t n = std::fread(text.data() + had, 1, kChunk, file_);
      text.resize(had + n);
      return n > 0;
    }
    raw_.resize(kChunk);
    const std::size_t n = std::fread(raw_.data(), 1, kChunk, file_);
    std::string_view piece(raw_.data(), n);
    // A byte-order mark stays one, whatever the bytes after it.
    if (first_ && piece.starts_with(kByteOrderMark)) {
      text.append(kByteOrderMark);
      piece.remove_prefix(kByteOrderMark.size());
    }
    first_ = false;
    AppendWindows1252AsUtf8(piece, text);
    return n > 0;
  }
  bool Failed() const { return std::ferror(file_) != 0; }

 private:
  std::FILE* file_;
  bool utf8_;
  bool first_ = true;
  std::vector<char> raw_;
};

// One pass over the list, its output handed to `sink`; false with `failure`
// set when the list cannot be read, with it empty when `sink` failed or the
// watcher cancelled.
bool Pass(ListText& list, const ListPass& pass, const ListWatch& watch, const ByteSink& sink,
          std::string& failure) {
  std::string text;
  std::size_t at = 0;
  bool last = false;
  // The header whole, for its separator, before any row is read.
  while (!last && text.find('\n', std::min(text.find_first_not_of("\r\n"), text.size())) ==
                      std::string::npos) {
    last = !list.More(text);
  }
  if (list.Failed()) {
    failure = "Impossibile leggere il file";
    return false;
  }
  if (text.starts_with(kByteOrderMark)) at = kByteOrderMark.size();
  const char separator = FindSeparator(std::string_view(text).substr(at));

  std::string written(kByteOrderMark);
  written.reserve(kOutputFlush + (1 << 16));
  DelimitedRow row;
  bool headerRead = false;
  ListColumns columns;
  std::vector<std::pair<std::size_t, std::size_t>> order;  // (column, index in pass.filled)
  std::vector<std::pair<std::size_t, std::string_view>> fills;
  std::vector<std::string> out(pass.filled.size());
  ListValues values;
  long rows = 0;
  for (;;) {
    if (watch.cancel != nullptr && watch.cancel->load(std::memory_order_relaxed)) return false;
    const RowStep step = ReadDelimitedRow(text, at, separator, last, row);
    if (step == RowStep::End) break;
    if (step == RowStep::Unclosed || (step == RowStep::More && text.size() - at > kLongestRow)) {
      failure = "Virgolette aperte e mai chiuse nel file";
      return false;
    }
    if (step == RowStep::More) {
      text.erase(0, at);
      at = 0;
      last = !list.More(text);
      if (list.Failed()) {
        failure = "Impossibile leggere il file";
        return false;
      }
      continue;
    }
    if (!headerRead) {
      headerRead = true;
      columns = FindListColumns(row.values);
      if (!columns.refusal.empty()) {
        failure = columns.refusal;
        return false;
      }
      for (const ListField field : pass.required) {
        if (columns[field] < 0) {
          failure = pass.missing;
          return false;
        }
      }
      std::size_t width = row.values.size();
      for (std::size_t i = 0; i < pass.filled.size(); ++i) {
        const int column = columns[pass.filled[i]];
        if (column >= 0) {
          order.emplace_back(static_cast<std::size_t>(column), i);
        } else {
          order.emplace_back(width, i);
          fills.emplace_back(width++, ListFieldName(pass.filled[i]));
        }
      }
      std::sort(order.begin(), order.end());
      AppendFilledRow(row, fills, separator, written);
      written.append("\r\n");
      fills.resize(order.size());
      continue;
    }
    // A row of separators only, as spreadsheets save an empty row.
    const bool blank = row.text.size() < row.values.size() &&
                       std::all_of(row.values.begin(), row.values.end(),
                                   [](std::string_view value) { return value.empty(); });
    for (std::size_t f = 0; f < kListFieldCount; ++f) {
      const auto column = static_cast<std::size_t>(columns.at[f]);
      values[f] = column < row.values.size() ? row.values[column] : std::string_view();
    }
    if (!blank) pass.row(values, out);
    for (std::size_t k = 0; k < order.size(); ++k) {
      fills[k] = {order[k].first, blank ? std::string_view() : out[order[k].second]};
    }
    AppendFilledRow(row, fills, separator, written);
    written.append("\r\n");
    if (watch.progress) watch.progress(++rows);
    if (written.size() >= kOutputFlush) {
      if (!sink(written)) return false;
      written.clear();
    }
  }
  if (!headerRead) {
    failure = pass.missing;
    return false;
  }
  return sink(written);
}

}  // namespace

bool WriteListOutput(const std::string& output, const std::function<bool(const ByteSink&)>& write) {
  const auto writeTo = [](std::FILE* file) {
    return [file](std::string_view bytes) {
      return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    };
  };
  std::error_code ec;
  const std::filesystem::file_status status = std::filesystem::status(PathOf(output), ec);
  if (output.empty()) return write(writeTo(stdout)) && std::fflush(stdout) == 0;
  if (status.type() == std::filesystem::file_type::not_found ||
      status.type() == std::filesystem::file_type::regular) {
    return ReplaceFileFrom(output, write, false);
  }
  File out(OpenFile(output, L"wb", "wb"), &std::fclose);
  const bool done = out && write(writeTo(out.get()));
  // Closed here, so that a failed close is a failed write.
  return out && std::fclose(out.release()) == 0 && done;
}

ListOutcome RunListPass(const std::string& input, const std::string& output, const ListPass& pass,
                        const ListWatch& watch) {
  const auto failed = [](std::string message) {
    return ListOutcome{2, false, std::move(message), {}};
  };
  std::error_code ec;
  if (!input.empty() && !output.empty() && std::filesystem::exists(PathOf(output), ec) &&
      std::filesystem::equivalent(PathOf(input), PathOf(output), ec)) {
    return failed("Il file di uscita e' il file di ingresso: non viene scritto sopra: " + output);
  }
  const std::string inputName = input.empty() ? "-" : input;
  File in = input.empty() ? Spool() : File(OpenFile(input, L"rb", "rb"), &std::fclose);
  if (!in) return failed("Impossibile leggere il file: " + inputName);
  ListText list(in.get(), IsUtf8(in.get(), watch.cancel));
  std::string failure;
  const bool done = WriteListOutput(
      output, [&](const ByteSink& sink) { return Pass(list, pass, watch, sink, failure); });
  if (done) return {};
  if (watch.cancel != nullptr && watch.cancel->load() && failure.empty()) {
    return {0, true, {}, {}};
  }
  if (failure == "Impossibile leggere il file") failure += ": " + inputName;
  return failed(failure.empty() ? "Impossibile scrivere il file: " + (output.empty() ? "-" : output)
                                : failure);
}
