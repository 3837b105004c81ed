#include "cli/commands.h"

#include <iostream>
#include <memory>
#include <stdexcept>

#include "cli/archive_commands.h"
#include "cli/batch.h"
#include "cli/person_code.h"
#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"
#include "storage/place_table_update.h"
#include "storage/places.h"

namespace {

const char* const kUsage = "Uso: vivezecf --help per i comandi\n";

std::string Iso(const CalendarDate& date) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

PersonText PersonFrom(const std::vector<std::string>& args, std::size_t first) {
  return {args[first], args[first + 1], args[first + 2], args[first + 3], args[first + 4]};
}

int Calcola(PlaceRegister& places, const std::vector<std::string>& args) {
  if (args.size() != 5) {
    std::cerr << "calcola vuole COGNOME NOME SESSO DATA LUOGO\n" << kUsage;
    return 2;
  }
  const PersonCode result = ComputePersonCode(PersonFrom(args, 0), places);
  if (!result.Computed()) {
    std::cerr << result.error << "\n";
    return result.usage ? 2 : 1;
  }
  std::cout << result.code << "\n";
  return 0;
}

int Verifica(PlaceRegister& places, const std::vector<std::string>& args) {
  if (args.size() != 1 && args.size() != 6) {
    std::cerr << "verifica vuole CODICE [COGNOME NOME SESSO DATA LUOGO]\n" << kUsage;
    return 2;
  }
  const std::string code = UpperAscii(args[0]);
  const CodeCheck check = CheckFiscalCode(code);
  std::cout << CodeCheckText(check) << "\n";
  if (args.size() == 1) return check.Valid() ? 0 : 1;
  const PersonCode result = ComputePersonCode(PersonFrom(args, 1), places);
  if (!result.Computed()) {
    std::cerr << result.error << "\n";
    return result.usage ? 2 : 1;
  }
  const bool matches = MatchesComputedCode(code, result.code);
  std::cout << (matches ? "Corrisponde ai dati inseriti" : "Non corrisponde ai dati inseriti")
            << "\n";
  return check.Valid() && matches ? 0 : 1;
}

int Decodifica(PlaceRegister& places, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "decodifica vuole CODICE\n" << kUsage;
    return 2;
  }
  const std::string code = UpperAscii(args[0]);
  const CodeCheck check = CheckFiscalCode(code);
  if (!check.Valid() || check.numeric) {
    std::cerr << (check.Valid() ? "Un codice numerico non contiene dati della persona"
                                : CodeCheckText(check))
              << "\n";
    return 1;
  }
  const DecodedCode decoded = DecodeFiscalCode(code);
  std::cout << "sesso: " << decoded.sex << "\n"
            << "data di nascita: " << Iso(decoded.birthDate) << "\n";
  const PlaceLookup lookup = places.FindCode(decoded.placeCode, decoded.birthDate);
  const PlaceRecord& place = lookup.place;
  if (lookup.match == PlaceMatch::UnknownName) {
    std::cout << "luogo: sconosciuto (codice non presente nella tabella dei comuni)\n";
  } else {
    std::cout << "luogo: " << place.name
              << (place.province.empty() ? "" : " (" + place.province + ")") << "\n";
  }
  std::cout << "codice luogo: " << decoded.placeCode << "\n";
  return 0;
}

int Lotto(PlaceRegister& places, const std::vector<std::string>& args) {
  std::string input, output;
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (args[i] != "-o" && input.empty() && args[i] != "-") {
      input = args[i];
    } else {
      std::cerr << "lotto vuole [FILE] [-o USCITA]\n" << kUsage;
      return 2;
    }
  }
  return RunBatch(input, output, places);
}

}  // namespace

const char* HelpText() {
  return "vivezecf - codice fiscale dalla riga di comando\n"
         "\n"
         "  vivezecf calcola COGNOME NOME SESSO DATA LUOGO\n"
         "      stampa il codice fiscale. SESSO: F o M; DATA: gg/mm/aaaa, g/m/aaaa,\n"
         "      gg/mm/aa o aaaa-mm-gg; LUOGO: nome del comune o dello stato estero\n"
         "      come nell'elenco, oppure codice catastale di quattro caratteri.\n"
         "      Esempio: vivezecf calcola Rossi Mario M 15/03/1975 Montalcino\n"
         "  vivezecf verifica CODICE [COGNOME NOME SESSO DATA LUOGO]\n"
         "      dice se il codice e' valido e, con i dati, se corrisponde alla persona\n"
         "      (omocodici compresi).\n"
         "      Esempio: vivezecf verifica RSSMRA75C15F402O Rossi Mario M 15/03/1975 Montalcino\n"
         "  vivezecf decodifica CODICE\n"
         "      stampa una riga per dato: 'sesso: M o F', 'data di nascita: aaaa-mm-gg',\n"
         "      'luogo: NOME (PROVINCIA)', 'codice luogo: codice catastale'.\n"
         "      Esempio: vivezecf decodifica RSSMRA75C15F402O\n"
         "  vivezecf lotto [FILE] [-o USCITA]\n"
         "      legge un file CSV (standard input senza FILE) con le colonne Cognome,\n"
         "      Nome, Sex, Comune e Data e lo riscrive in UTF-8 (standard output senza\n"
         "      -o) con le colonne CodiceFiscale ed Errore; riepilogo su standard error.\n"
         "      Esempio: vivezecf lotto archivio.dat -o codici.csv\n"
         "  vivezecf archivio aggiungi COGNOME NOME SESSO DATA LUOGO\n"
         "      calcola il codice come il programma a finestre e lo aggiunge al suo\n"
         "      archivio (lo stesso file, o il database che VIVEZE_ARCHIVIO indica),\n"
         "      se non c'e' gia'; stampa il codice.\n"
         "  vivezecf archivio elimina CODICE\n"
         "      elimina dall'archivio il record con quel codice (stato 1 se non c'e').\n"
         "  vivezecf archivio elenca\n"
         "      stampa l'archivio com'e' nel file, intestazione compresa.\n"
         "  vivezecf archivio importa FILE\n"
         "      copia nel database di VIVEZE_ARCHIVIO i record di un archivio su file;\n"
         "      salta i codici gia' presenti, scarta (stato 1) le date illeggibili o\n"
         "      diverse da quella del codice.\n"
         "  vivezecf archivio esporta [-o FILE]\n"
         "      scrive l'archivio nel formato del file (standard output senza -o).\n"
         "  vivezecf aggiorna-comuni FILE\n"
         "      aggiorna l'elenco dei comuni dall'archivio dei comuni dell'anagrafe\n"
         "      nazionale (ANPR_archivio_comuni.csv, scaricato dal sito dell'ANPR);\n"
         "      lo usano da allora il programma a finestre e vivezecf.\n"
         "      Esempio: vivezecf aggiorna-comuni ANPR_archivio_comuni.csv\n"
         "  vivezecf --version   versione del programma\n"
         "  vivezecf --help      questo aiuto\n"
         "\n"
         "Stato d'uscita: 0 riuscito, 1 dati senza risultato (o righe con errori),\n"
         "2 uso errato, file illeggibile o archivio che non si puo' scrivere.\n";
}

namespace {

// `aggiorna-comuni FILE`: the place table updated from the registry's file,
// written beside the archive.
int AggiornaComuni(const DataFilePaths& paths, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << kUsage;
    return 2;
  }
  try {
    PrepareArchive(paths);  // its folder takes the updated table
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }
  const PlaceUpdate update =
      UpdatePlaceTable(args[0], paths.municipalities, paths.updatedMunicipalities);
  (update.outcome == PlaceUpdateOutcome::Refused ? std::cerr : std::cout) << update.message << "\n";
  return update.outcome == PlaceUpdateOutcome::Refused ? 2 : 0;
}

}  // namespace

int RunCommand(const DataFilePaths& paths, const std::vector<std::string>& args) {
  if (args.empty()) {
    std::cerr << "Nessun comando\n" << kUsage;
    return 2;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    std::cout << HelpText();
    return 0;
  }
  if (command == "--version") {
    std::cout << "vivezecf 1.0\n";
    return 0;
  }
  int (*run)(PlaceRegister&, const std::vector<std::string>&) = nullptr;
  if (command == "calcola") run = Calcola;
  if (command == "verifica") run = Verifica;
  if (command == "decodifica") run = Decodifica;
  if (command == "lotto") run = Lotto;
  if (command == "archivio") run = RunArchiveCommand;
  if (command == "aggiorna-comuni") return AggiornaComuni(paths, {args.begin() + 1, args.end()});
  if (run == nullptr) {
    std::cerr << "Comando sconosciuto: " << command << "\n" << kUsage;
    return 2;
  }
  std::unique_ptr<PlaceRegister> places;
  try {
    places = std::make_unique<PlaceRegister>(paths.municipalities);
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }
  return run(*places, {args.begin() + 1, args.end()});
}
