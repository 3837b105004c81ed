#include "cli/batch.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <vector>

#include "cli/person_code.h"
#include "cli/text_encoding.h"
#include "storage/file_names.h"
#include "storage/record_format.h"

namespace {

constexpr std::size_t kChunk = 1 << 20;

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
    std::fwrite(buffer.data(), 1, n, spool.get());
  }
  std::rewind(spool.get());
  return spool;
}

bool IsUtf8(std::FILE* file) {
  Utf8Validator validator;
  std::vector<char> buffer(kChunk);
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    validator.Feed({buffer.data(), n});
  }
  std::rewind(file);
  return validator.Valid();
}

// Calls `row` with each line, its CR LF or LF taken off.
template <typename Row>
bool ForEachLine(std::FILE* file, Row&& row) {
  std::vector<char> buffer(kChunk);
  std::string carry;
  std::size_t n;
  while ((n = std::fread(buffer.data(), 1, buffer.size(), file)) > 0) {
    std::string_view piece(buffer.data(), n);
    std::size_t start = 0;
    for (std::size_t lf; (lf = piece.find('\n', start)) != std::string_view::npos; start = lf + 1) {
      std::string_view line = piece.substr(start, lf - start);
      if (!carry.empty()) {
        carry.append(line);
        line = carry;
      }
      if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      row(line);
      carry.clear();
    }
    carry.append(piece.substr(start));
  }
  if (!carry.empty()) {
    std::string_view line = carry;
    if (line.back() == '\r') line.remove_suffix(1);
    row(line);
  }
  return !std::ferror(file);
}

// For each byte of `word` equal to the byte repeated in `pattern`, its top
// bit; exact, with no carry from one byte into the next.
constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7FULL;
constexpr std::uint64_t kEvery = 0x0101010101010101ULL;

std::uint64_t BytesEqual(std::uint64_t word, std::uint64_t pattern) {
  const std::uint64_t t = word ^ pattern;
  return ~(((t & kLow7) + kLow7) | t | kLow7);
}

// Splits a line that needs no unquoting into its values, viewed in the
// line; false when it holds a double quote, or a CR or NUL that a written
// value turns into a blank: such a line takes the full parse. Eight bytes
// are looked at in one go, the commas then taken from the bits found.
bool SplitPlainLine(std::string_view line, std::vector<std::string_view>& values) {
  values.clear();
  const char* const data = line.data();
  const std::size_t size = line.size();
  std::size_t start = 0;
  for (std::size_t at = 0; at < size; at += 8) {
    const std::size_t count = size - at < 8 ? size - at : 8;
    // Byte k of the line at bits 8k, whatever the machine's byte order.
    std::uint64_t word = 0;
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(&word, data + at, count);
    } else {
      for (std::size_t k = 0; k < count; ++k) {
        word |= std::uint64_t{static_cast<unsigned char>(data[at + k])} << (8 * k);
      }
    }
    // The bytes past the end of a short last piece are no NULs of the line.
    const std::uint64_t inLine = count == 8 ? ~0ULL : (1ULL << (8 * count)) - 1;
    const std::uint64_t special =
        (BytesEqual(word, '"' * kEvery) | BytesEqual(word, '\r' * kEvery) | BytesEqual(word, 0)) &
        inLine;
    if (special != 0) return false;
    for (std::uint64_t commas = BytesEqual(word, ',' * kEvery) & inLine; commas != 0;
         commas &= commas - 1) {
      const std::size_t comma = at + static_cast<std::size_t>(std::countr_zero(commas)) / 8;
      values.emplace_back(data + start, comma - start);
      start = comma + 1;
    }
  }
  values.emplace_back(data + start, size - start);
  return true;
}

// Written out a few megabytes at a time.
constexpr std::size_t kOutputFlush = 4 << 20;

}  // namespace

int RunBatch(const std::string& input, const std::string& output, PlaceRegister& places) {
  std::error_code ec;
  if (!input.empty() && !output.empty() && std::filesystem::exists(PathOf(output), ec) &&
      std::filesystem::equivalent(PathOf(input), PathOf(output), ec)) {
    std::cerr << "Il file di uscita e' il file di ingresso: non viene scritto sopra: " << output
              << "\n";
    return 2;
  }
  File in = input.empty() ? Spool() : File(OpenFile(input, L"rb", "rb"), &std::fclose);
  if (!in) {
    std::cerr << "Impossibile leggere il file: " << (input.empty() ? "-" : input) << "\n";
    return 2;
  }
  const bool utf8 = IsUtf8(in.get());

  File outFile(nullptr, &std::fclose);
  std::FILE* out = stdout;
  if (!output.empty()) {
    outFile.reset(OpenFile(output, L"wb", "wb"));
    if (!outFile) {
      std::cerr << "Impossibile scrivere il file: " << output << "\n";
      return 2;
    }
    out = outFile.get();
  }
  std::vector<std::string> header;
  std::vector<std::string> parsed;       // the values of a line that needs unquoting
  std::vector<std::string_view> values;  // the row's values, in the line or in `parsed`
  std::string converted;
  int cognome = -1, nome = -1, sex = -1, comune = -1, data = -1, codice = -1, errore = -1;
  std::size_t width = 0;
  bool headerRead = false, missing = false, writeOk = true;
  long rows = 0, computed = 0;
  std::string written;
  written.reserve(kOutputFlush + (1 << 16));
  std::string code;
  PersonError error;
  const auto flush = [&] {
    if (std::fwrite(written.data(), 1, written.size(), out) != written.size()) writeOk = false;
    written.clear();
  };

  const bool readOk = ForEachLine(in.get(), [&](std::string_view line) {
    if (missing) return;
    if (!utf8) {
      converted.clear();
      AppendWindows1252AsUtf8(line, converted);
      line = converted;
    }
    if (!headerRead) {
      headerRead = true;
      header = SplitHeader(line);
      cognome = FindColumn(header, "Cognome");
      nome = FindColumn(header, "Nome");
      sex = FindColumn(header, "Sex");
      comune = FindColumn(header, "Comune");
      data = FindColumn(header, "Data");
      if (cognome < 0 || nome < 0 || sex < 0 || comune < 0 || data < 0) {
        missing = true;
        return;
      }
      codice = FindColumn(header, "CodiceFiscale");
      if (codice < 0) codice = static_cast<int>(header.size()), header.push_back("CodiceFiscale");
      errore = FindColumn(header, "Errore");
      if (errore < 0) errore = static_cast<int>(header.size()), header.push_back("Errore");
      width = header.size();
      written.append(WriteRecord(header)).append("\r\n");
      return;
    }
    if (line.empty()) return;
    const bool plain = SplitPlainLine(line, values);
    if (!plain) {
      ParseRecord(line, parsed);
      values.assign(parsed.begin(), parsed.end());
    }
    const std::size_t inLine = values.size();
    if (values.size() < width) values.resize(width);
    ++rows;
    const PersonText person{values[cognome], values[nome], values[sex], values[data],
                            values[comune]};
    code.clear();
    const bool ok = AppendPersonCode(person, places, code, error);
    if (ok) ++computed;
    const auto appendFilled = [&](std::size_t column) {
      if (column == static_cast<std::size_t>(codice)) written.append(code);
      if (column == static_cast<std::size_t>(errore) && !ok) AppendValue(error.text, written);
    };
    if (plain) {
      // The line as it is, but for the two columns filled in: nothing in it
      // needs quoting or blanking.
      const auto codeColumn = static_cast<std::size_t>(codice);
      const auto errorColumn = static_cast<std::size_t>(errore);
      const std::size_t first = std::min(codeColumn, errorColumn);
      const std::size_t second = std::max(codeColumn, errorColumn);
      std::size_t copied = 0;
      for (const std::size_t column : {first, second}) {
        if (column >= inLine) break;
        const auto begin = static_cast<std::size_t>(values[column].data() - line.data());
        written.append(line.data() + copied, begin - copied);
        appendFilled(column);
        copied = begin + values[column].size();
      }
      written.append(line.data() + copied, line.size() - copied);
      for (std::size_t i = inLine; i < values.size(); ++i) {
        written.push_back(',');
        appendFilled(i);
      }
    } else {
      for (std::size_t i = 0; i < values.size(); ++i) {
        if (i > 0) written.push_back(',');
        if (i == static_cast<std::size_t>(codice) || i == static_cast<std::size_t>(errore)) {
          appendFilled(i);
        } else {
          AppendValue(values[i], written);
        }
      }
    }
    written.append("\r\n");
    if (written.size() >= kOutputFlush) flush();
  });
  flush();
  if (!readOk) {
    std::cerr << "Impossibile leggere il file: " << (input.empty() ? "-" : input) << "\n";
    return 2;
  }
  if (!headerRead || missing) {
    std::cerr << "Intestazione senza le colonne Cognome, Nome, Sex, Comune e Data\n";
    return 2;
  }
  if (!writeOk || std::fflush(out) != 0) {
    std::cerr << "Impossibile scrivere il file: " << (output.empty() ? "-" : output) << "\n";
    return 2;
  }
  std::cerr << "Righe lette: " << rows << ", codici calcolati: " << computed
            << ", righe con errori: " << rows - computed << "\n";
  return computed == rows ? 0 : 1;
}
