#include "cli/batch.h"

#include <cstdio>
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

int ColumnOf(const std::vector<std::string>& header, const char* name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    std::string upper = header[i];
    std::string wanted = name;
    for (char& c : upper) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    for (char& c : wanted) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    if (upper == wanted) return static_cast<int>(i);
  }
  return -1;
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

// The record line WriteRecord gives, appended to a buffer kept across rows.
void AppendRecord(const std::vector<std::string>& values, std::string& out) {
  if (values.size() == 1 && values[0].empty()) {
    out += "\"\"";
    return;
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (i > 0) out.push_back(',');
    const std::string& value = values[i];
    const bool quoted = value.find_first_of(",\"") != std::string::npos;
    if (quoted) out.push_back('"');
    for (const char c : value) {
      if (c == '"') out.push_back('"');
      out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    }
    if (quoted) out.push_back('"');
  }
}

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
  // Outlives this call: standard output is flushed again at exit.
  static std::vector<char> outBuffer(kChunk);
  std::setvbuf(out, outBuffer.data(), _IOFBF, outBuffer.size());

  std::vector<std::string> header;
  std::vector<std::string> values;
  std::string converted;
  int cognome = -1, nome = -1, sex = -1, comune = -1, data = -1, codice = -1, errore = -1;
  std::size_t width = 0;
  bool headerRead = false, missing = false;
  long rows = 0, computed = 0;
  PersonText person;
  std::string record;

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
      cognome = ColumnOf(header, "Cognome");
      nome = ColumnOf(header, "Nome");
      sex = ColumnOf(header, "Sex");
      comune = ColumnOf(header, "Comune");
      data = ColumnOf(header, "Data");
      if (cognome < 0 || nome < 0 || sex < 0 || comune < 0 || data < 0) {
        missing = true;
        return;
      }
      codice = ColumnOf(header, "CodiceFiscale");
      if (codice < 0) codice = static_cast<int>(header.size()), header.push_back("CodiceFiscale");
      errore = ColumnOf(header, "Errore");
      if (errore < 0) errore = static_cast<int>(header.size()), header.push_back("Errore");
      width = header.size();
      const std::string text = WriteRecord(header) + "\r\n";
      std::fwrite(text.data(), 1, text.size(), out);
      return;
    }
    if (line.empty()) return;
    ParseRecord(line, values);
    if (values.size() < width) values.resize(width);
    ++rows;
    person.surname = values[cognome];
    person.name = values[nome];
    person.sex = values[sex];
    person.date = values[data];
    person.place = values[comune];
    PersonCode result = ComputePersonCode(person, places);
    if (result.Computed()) ++computed;
    values[codice] = std::move(result.code);
    if (!result.Computed()) values[codice].clear();
    values[errore] = std::move(result.error);
    record.clear();
    AppendRecord(values, record);
    record += "\r\n";
    std::fwrite(record.data(), 1, record.size(), out);
  });
  if (!readOk) {
    std::cerr << "Impossibile leggere il file: " << (input.empty() ? "-" : input) << "\n";
    return 2;
  }
  if (!headerRead || missing) {
    std::cerr << "Intestazione senza le colonne Cognome, Nome, Sex, Comune e Data\n";
    return 2;
  }
  if (std::fflush(out) != 0) {
    std::cerr << "Impossibile scrivere il file: " << (output.empty() ? "-" : output) << "\n";
    return 2;
  }
  std::cerr << "Righe lette: " << rows << ", codici calcolati: " << computed
            << ", righe con errori: " << rows - computed << "\n";
  return computed == rows ? 0 : 1;
}
