#include "cli/archive_commands.h"

#include <iostream>

#include "cli/desk_locale.h"
#include "cli/person_code.h"
#include "engine/ascii_case.h"
#include "engine/date_reading.h"
#include "engine/short_date.h"
#include "storage/data_files.h"
#include "storage/file_archive.h"
#include "storage/table_file.h"
#include "storage/tlbcsv.h"

namespace {

const char* const kUsage =
    "archivio vuole: aggiungi COGNOME NOME SESSO DATA LUOGO | elimina CODICE | elenca\n"
    "Uso: vivezecf --help per i comandi\n";

// The archive open, its failures kept for the exit status.
struct OpenArchive {
  OpenArchive() {
    const DataFilePaths paths = LocateDataFiles();
    PrepareArchive(paths);
    table.SetTableName(paths.archive);
    table.Open();
    archive.SetErrorHandler([this](const std::exception& error) { failure = error.what(); });
  }
  TLbCsv table{"LbCsv2"};
  FileArchive archive{table};
  std::string failure;
};

int Failed(const std::string& message) {
  std::cerr << message << "\n";
  return 2;
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
  OpenArchive open;
  if (open.archive.FindCode(result.code)) {
    std::cerr << "Codice già in archivio: " << result.code << "\n";
  } else {
    // As the window archives it: names and place as typed, the date in the
    // desk's short date format.
    open.archive.Add({DeskArchiveText(args[1]), DeskArchiveText(args[2]),
                      std::string(1, UpperAscii(args[3][0])), DeskArchiveText(args[5]),
                      DateToText(born), result.code});
    if (!open.failure.empty()) return Failed(open.failure);
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
  OpenArchive open;
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
  OpenArchive open;
  std::cout << open.table.Lines().Text() << std::flush;
  return std::cout ? 0 : Failed("Impossibile scrivere: -");
}

}  // namespace

int RunArchiveCommand(PlaceRegister& places, const std::vector<std::string>& args) {
  // Dates stored, read and told as the window on this desk does.
  SetShortDateFormat(DeskShortDatePattern());
  try {
    if (!args.empty() && args[0] == "aggiungi") return Aggiungi(args, places);
    if (!args.empty() && args[0] == "elimina") return Elimina(args);
    if (!args.empty() && args[0] == "elenca") return Elenca(args);
  } catch (const std::exception& error) {
    return Failed(error.what());
  }
  std::cerr << kUsage;
  return 2;
}
