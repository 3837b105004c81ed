#include "cli/archive_commands.h"

#include <iostream>
#include <memory>

#include "engine/ascii_case.h"
#include "engine/date_reading.h"
#include "engine/short_date.h"
#include "lists/archive_export.h"
#include "lists/desk_locale.h"
#include "lists/person_code.h"
#include "storage/archive/archive_import.h"
#include "storage/archive/db_archive.h"
#include "storage/archive/file_archive.h"
#include "storage/setup/archive_choice.h"
#include "storage/setup/data_files.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"

namespace {

const char* const kUsage =
    "archivio vuole: aggiungi COGNOME NOME SESSO DATA LUOGO | elimina CODICE | elenca |\n"
    "  importa FILE | esporta [-o FILE]\n"
    "Uso: vivezecf --help per i comandi\n";

// The archive the window would use (the file, or the database VIVEZE_ARCHIVIO
// names), open, its failures kept for the exit status.
struct OpenedArchive {
  // `awayToo`: a server out of reach is no failure yet (what is added waits).
  explicit OpenedArchive(bool awayToo = false) {
    // Records refused while opening are told too.
    archive.SetNoticeHandler([](const std::string& text) { std::cerr << text << "\n"; });
    try {
      OpenArchive(archive, LocateDataFiles());
    } catch (const ArchiveUnreachable& away) {
      if (!awayToo) throw;
      std::cerr << away.what() << "\n";
    }
    archive.SetErrorHandler([this](const std::exception& error) { failure = error.what(); });
  }
  // A change told as not stored is not tried again on closing: that would
  // wait for the lock a second time, and could store what the user was
  // told is not.
  ~OpenedArchive() {
    if (!failure.empty()) table.Discard();
  }
  OpenedArchive(const OpenedArchive&) = delete;
  OpenedArchive& operator=(const OpenedArchive&) = delete;
  TLbCsv table{"LbCsv2"};
  std::unique_ptr<Archive> archive_ = MakeArchive(table);
  Archive& archive = *archive_;
  std::string failure;
};

int Failed(const std::string& message) {
  std::cerr << message << "\n";
  return 2;
}

// "<path>:<line>:<column>: carattere NUL, ..." for a file read only up to a
// NUL byte; empty for one read whole.
std::string NulText(const std::string& path, const TableFile& lines) {
  const std::optional<TableFile::TextPlace> nul = lines.LostBytesPlace();
  if (!nul) return {};
  return path + ":" + std::to_string(nul->line) + ":" + std::to_string(nul->column) +
         ": carattere NUL, il resto del file non è stato letto";
}

// The archive as the file format writes it, values a spreadsheet would run
// guarded, on standard output; a file read only up to a NUL byte is told,
// and fails.
int Printed(const OpenedArchive& open) {
  std::cout << ArchiveListing(open.table.Lines()) << std::flush;
  if (!std::cout) return Failed("Impossibile scrivere: -");
  const std::string nul = NulText(open.table.TableName(), open.table.Lines());
  return nul.empty() ? 0 : Failed(nul);
}

int Aggiungi(const std::vector<std::string>& args, PlaceRegister& places) {
  if (args.size() != 6) {
    std::cerr << kUsage;
    return 2;
  }
  const PersonText person{args[1], args[2], args[3], args[4], args[5]};
  const PersonCode result = ComputePersonCode(person, places);
  if (!result.Computed()) {
    std::cerr << result.error << "\n";
    return result.usage ? 2 : 1;
  }
  CalendarDate born;
  ReadDate(person.date, DateRules::CommandLine(), born);
  OpenedArchive open(true);
  if (open.archive.FindCode(result.code)) {
    std::cerr << "Codice già in archivio: " << result.code << "\n";
  } else {
    // As the window archives it: names and place as typed, the date in the
    // desk's short date format.
    open.archive.Add({DeskArchiveText(args[1]), DeskArchiveText(args[2]),
                      std::string(1, UpperAscii(args[3][0])), DeskArchiveText(args[5]),
                      DateToText(born), result.code});
    if (!open.failure.empty()) {
      // Kept for the server: told, and done.
      if (!open.table.Changes().Empty()) return Failed(open.failure);
      std::cerr << open.failure << "\n";
    }
  }
  std::cout << result.code << "\n";
  return 0;
}

int Elimina(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << kUsage;
    return 2;
  }
  const std::string code = UpperAscii(args[1]);
  OpenedArchive open;
  if (!open.archive.FindCode(code)) {
    std::cerr << "Codice non in archivio: " << code << "\n";
    return 1;
  }
  open.archive.DeleteCurrent();
  return open.failure.empty() ? 0 : Failed(open.failure);
}

int Elenca(const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << kUsage;
    return 2;
  }
  const OpenedArchive open;
  return Printed(open);
}

int Importa(const std::vector<std::string>& args) {
  if (args.size() != 2) {
    std::cerr << kUsage;
    return 2;
  }
  if (ArchiveConnectionString().empty()) {
    return Failed("archivio importa copia in un archivio su server: manca VIVEZE_ARCHIVIO");
  }
  // The file archive's records, its columns found by name.
  TLbCsv file{"LbCsv2"};
  file.SetTableName(args[1]);
  file.SetReadOnly(true);
  file.Open();
  const TableFile& lines = file.Lines();
  // All or nothing: what follows a NUL cannot be read.
  if (const std::string nul = NulText(args[1], lines); !nul.empty()) {
    return Failed(nul + ": nulla importato");
  }
  const std::vector<ArchiveRecord> read = FileArchive(file).Records();
  // As an editor numbers them, empty lines too.
  const std::vector<std::size_t> numbers = lines.TextLineNumbers();
  std::vector<ArchiveRecord> accepted;
  accepted.reserve(read.size());
  for (std::size_t i = 0; i < read.size(); ++i) {
    const std::optional<std::string> refusal = ImportRefusal(read[i], lines.Line(i + 1));
    if (!refusal) {
      accepted.push_back(read[i]);
    } else {
      std::cerr << args[1] << ":" << numbers[i + 1] << ": " << *refusal << "\n";
    }
  }
  OpenedArchive open;
  const int stored = static_cast<DbArchive&>(open.archive).AddAll(accepted);
  const std::size_t skipped = read.size() - accepted.size();
  std::cout << "Record letti: " << read.size() << ", importati: " << stored
            << ", già presenti: " << accepted.size() - static_cast<std::size_t>(stored)
            << ", scartati: " << skipped << "\n";
  return skipped > 0 ? 1 : 0;
}

int Esporta(const std::vector<std::string>& args) {
  const bool toFile = args.size() == 3 && args[1] == "-o";
  if (args.size() != 1 && !toFile) {
    std::cerr << kUsage;
    return 2;
  }
  const OpenedArchive open;
  // As a spreadsheet on this desk opens it, whatever the archive's kind: the
  // same bytes as the window's export.
  const ListOutcome outcome =
      ExportArchive(open.table.Lines(), toFile ? args[2] : std::string(), DeskListSeparator());
  if (outcome.status == 2) return Failed(outcome.message);
  const std::string nul = NulText(open.table.TableName(), open.table.Lines());
  return nul.empty() ? 0 : Failed(nul);
}

}  // namespace

int RunArchiveCommand(PlaceRegister& places, const std::vector<std::string>& args) {
  // Dates stored, read and told as the window on this desk does.
  SetShortDateFormat(DeskShortDatePattern());
  try {
    if (!args.empty() && args[0] == "aggiungi") return Aggiungi(args, places);
    if (!args.empty() && args[0] == "elimina") return Elimina(args);
    if (!args.empty() && args[0] == "elenca") return Elenca(args);
    if (!args.empty() && args[0] == "importa") return Importa(args);
    if (!args.empty() && args[0] == "esporta") return Esporta(args);
  } catch (const std::exception& error) {
    return Failed(error.what());
  }
  std::cerr << kUsage;
  return 2;
}
