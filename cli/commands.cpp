#include "cli/commands.h"

#include <iostream>
#include <stdexcept>
#include <string_view>

#include "cli/archive_commands.h"
#include "engine/ascii_case.h"
#include "engine/fiscal_code_check.h"
#include "lists/batch.h"
#include "lists/code_list.h"
#include "lists/person_code.h"
#include "storage/codes/code_against_data.h"
#include "storage/codes/code_reading.h"
#include "storage/place_table/place_table_update.h"
#include "storage/places/places.h"

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
  std::vector<std::string> person;
  bool nearby = false;
  for (const std::string& arg : args) {
    if (arg == "--codice-vicino") {
      nearby = true;
    } else {
      person.push_back(arg);
    }
  }
  if (person.size() != 5) {
    std::cerr << "calcola vuole [--codice-vicino] COGNOME NOME SESSO DATA LUOGO\n" << kUsage;
    return 2;
  }
  const PersonCode result = ComputePersonCode(PersonFrom(person, 0), places, nearby);
  if (!result.Computed()) {
    std::cerr << result.error << "\n";
    return result.usage ? 2 : 1;
  }
  std::cout << result.code << "\n";
  if (result.nearbyPlace) std::cerr << "nota: codice luogo non in uso alla data di nascita\n";
  return 0;
}

int Verifica(PlaceRegister& places, const std::vector<std::string>& args) {
  if (args.size() != 1 && args.size() != 6) {
    std::cerr << "verifica vuole CODICE [COGNOME NOME SESSO DATA LUOGO]\n" << kUsage;
    return 2;
  }
  const CodeReading reading = ReadCode(args[0], places.Register());
  if (!reading.valid) {
    for (const std::string& line : reading.lines) std::cout << line << "\n";
    // A numeric code is valid, but holds no person's data to match.
    const bool numeric = reading.check.Valid() && reading.check.numeric;
    if (numeric && args.size() == 6) std::cout << "Non corrisponde ai dati inseriti\n";
    return numeric && args.size() == 1 ? 0 : 1;
  }
  std::cout << reading.lines.front() << "\n";
  if (args.size() == 1) {
    // No date to choose between the centuries the code fits: both said.
    if (reading.otherBirthDate) std::cout << BirthDateLine(reading) << "\n";
    return 0;
  }
  // Values left empty are named by the comparison; others must read.
  PersonData person{args[1], args[2], {}, std::nullopt, args[5]};
  CalendarDate born;
  std::string_view sex;
  PersonError error;
  if ((!args[3].empty() && !ReadSex(args[3], sex, error)) ||
      (!args[4].empty() && !ReadBirthDate(args[4], born, error))) {
    std::cerr << error.text << "\n";
    return error.usage ? 2 : 1;
  }
  if (!args[3].empty()) person.sex = sex;
  if (!args[4].empty()) person.birthDate = born;
  const DataCheck check = CheckAgainstData(reading, person, places.Register());
  if (!check.error.empty()) {
    std::cerr << check.error << "\n";
    return 1;
  }
  for (const std::string& line : check.lines) std::cout << line << "\n";
  return check.matches ? 0 : 1;
}

int Decodifica(PlaceRegister& places, const std::vector<std::string>& args) {
  if (args.size() != 1) {
    std::cerr << "decodifica vuole CODICE\n" << kUsage;
    return 2;
  }
  const CodeReading reading = ReadCode(args[0], places.Register());
  if (!reading.valid) {
    if (reading.check.Valid() && reading.check.numeric) {
      std::cerr << "Un codice numerico non contiene dati della persona\n";
    } else {
      for (const std::string& line : reading.lines) std::cerr << line << "\n";
    }
    return 1;
  }
  const DecodedCode& decoded = reading.decoded;
  std::cout << "sesso: " << decoded.sex << "\n"
            << "data di nascita: " << Iso(decoded.birthDate) << "\n"
            << "luogo: " << reading.placeName << "\n"
            << "codice luogo: " << decoded.placeCode << "\n";
  if (reading.otherBirthDate) {
    std::cout << "nota: data di nascita anche " << Iso(*reading.otherBirthDate) << "\n";
  }
  for (const std::string& note : reading.notes) std::cout << note << "\n";
  return 0;
}

// `[FILE] [-o OUT]`, the arguments of the commands over lists; false after
// saying what `command` wants.
bool ListArguments(const char* command, const std::vector<std::string>& args, std::string& input,
                   std::string& output) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "-o" && i + 1 < args.size()) {
      output = args[++i];
    } else if (args[i] != "-o" && input.empty() && args[i] != "-") {
      input = args[i];
    } else {
      std::cerr << command << " vuole [FILE] [-o USCITA]\n" << kUsage;
      return false;
    }
  }
  return true;
}

// A list's end on standard error: the reason, or the counts.
int Told(const ListOutcome& outcome) {
  std::cerr << (outcome.status == 2 ? outcome.message : outcome.summary) << "\n";
  return outcome.status;
}

int Lotto(PlaceRegister& places, const std::vector<std::string>& args) {
  std::string input, output;
  if (!ListArguments("lotto", args, input, output)) return 2;
  return Told(ComputeList(input, output, places));
}

int Controlla(PlaceRegister& places, const std::vector<std::string>& args) {
  std::string input, output;
  if (!ListArguments("controlla", args, input, output)) return 2;
  return Told(CheckList(input, output, places));
}

}  // namespace

namespace {

// Each command's part of the help, in the order the whole help gives them.
struct HelpPart {
  std::string_view command;  // "calcola", "archivio aggiungi"
  const char* text;
};

constexpr HelpPart kHelpParts[] = {
    {"calcola",
     "  vivezecf calcola [--codice-vicino] COGNOME NOME SESSO DATA LUOGO\n"
     "      stampa il codice fiscale. SESSO: F o M; DATA: gg/mm/aaaa, g/m/aaaa,\n"
     "      gg/mm/aa (anche con - o . al posto di /) o aaaa-mm-gg, non dopo oggi;\n"
     "      LUOGO: nome del comune o dello stato estero come nell'elenco, oppure\n"
     "      codice catastale di quattro caratteri. Con --codice-vicino, per un\n"
     "      luogo senza codice in uso alla data di nascita, usa il primo o l'ultimo\n"
     "      codice di quel nome se la data cade al piu' cinque anni prima o dopo il\n"
     "      suo periodo.\n"
     "      Esempio: vivezecf calcola Rossi Mario M 15/03/1975 Montalcino\n"},
    {"verifica",
     "  vivezecf verifica CODICE [COGNOME NOME SESSO DATA LUOGO]\n"
     "      dice se il codice e' valido (spazi e minuscole ammessi) e, con i dati,\n"
     "      se corrisponde alla persona (omocodici compresi, e i codici del luogo\n"
     "      di altri periodi); se no, una riga per ogni dato diverso. Un dato\n"
     "      vuoto ('') e' indicato come mancante. Senza i dati, se il codice vale\n"
     "      per due secoli, la riga 'Data di nascita: ...; anche ...'.\n"
     "      Esempio: vivezecf verifica RSSMRA75C15F402O Rossi Mario M 15/03/1975 Montalcino\n"},
    {"decodifica",
     "  vivezecf decodifica CODICE\n"
     "      stampa una riga per dato: 'sesso: M o F', 'data di nascita: aaaa-mm-gg',\n"
     "      'luogo: NOME (PROVINCIA)', 'codice luogo: codice catastale', e righe\n"
     "      'nota: ...'. Il secolo della data e' quello in cui il codice del luogo\n"
     "      era in uso (il piu' recente se lo era in entrambi, e la nota 'data di\n"
     "      nascita anche aaaa-mm-gg' dice l'altro); il luogo e' detto col nome di\n"
     "      allora e quello di oggi.\n"
     "      Esempio: vivezecf decodifica RSSMRA75C15F402O\n"},
    {"lotto",
     "  vivezecf lotto [FILE] [-o USCITA]\n"
     "      legge un elenco CSV (standard input senza FILE; separato da virgole,\n"
     "      punti e virgola o tabulazioni; UTF-8 o Windows-1252) con le colonne\n"
     "      Cognome, Nome, Sesso (o Sex), Luogo di nascita (o Comune) e Data di\n"
     "      nascita (o Data) e lo riscrive in UTF-8 (standard output senza -o) con\n"
     "      le colonne CodiceFiscale ed Errore; riepilogo su standard error.\n"
     "      Esempio: vivezecf lotto dipendenti.csv -o codici.csv\n"},
    {"controlla",
     "  vivezecf controlla [FILE] [-o USCITA]\n"
     "      controlla i codici di un elenco con la colonna Codice fiscale (o CF) e i\n"
     "      dati delle persone; scrive le colonne Esito (corrisponde, non\n"
     "      corrisponde, valido, non valido) e Dettaglio; riepilogo su standard error.\n"
     "      Esempio: vivezecf controlla dipendenti.csv -o controllo.csv\n"},
    {"archivio aggiungi",
     "  vivezecf archivio aggiungi COGNOME NOME SESSO DATA LUOGO\n"
     "      calcola il codice come il programma a finestre e lo aggiunge al suo\n"
     "      archivio (lo stesso file, o il database che VIVEZE_ARCHIVIO indica),\n"
     "      se non c'e' gia'; stampa il codice.\n"},
    {"archivio elimina",
     "  vivezecf archivio elimina CODICE\n"
     "      elimina dall'archivio il record con quel codice (stato 1 se non c'e').\n"},
    {"archivio elenca",
     "  vivezecf archivio elenca\n"
     "      stampa l'archivio com'e' nel file, intestazione compresa.\n"},
    {"archivio importa",
     "  vivezecf archivio importa FILE\n"
     "      copia nel database di VIVEZE_ARCHIVIO i record di un archivio su file;\n"
     "      salta i codici gia' presenti, scarta (stato 1) le date illeggibili o\n"
     "      diverse da quella del codice.\n"},
    {"archivio esporta",
     "  vivezecf archivio esporta [-o FILE]\n"
     "      scrive l'archivio nel formato del file (standard output senza -o).\n"},
    {"aggiorna-comuni",
     "  vivezecf aggiorna-comuni FILE\n"
     "      aggiorna l'elenco dei comuni dall'archivio dei comuni dell'anagrafe\n"
     "      nazionale (ANPR_archivio_comuni.csv, scaricato dal sito dell'ANPR);\n"
     "      lo usano da allora il programma a finestre e vivezecf.\n"
     "      Esempio: vivezecf aggiorna-comuni ANPR_archivio_comuni.csv\n"},
};

bool IsHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

// `COMANDO --help`, or `archivio [SOTTOCOMANDO] --help`: the parts of that
// command; false when `args` ask for no help.
bool PrintCommandHelp(const std::vector<std::string>& args) {
  std::string command = args[0];
  std::size_t at = 1;
  if (command == "archivio" && args.size() > 2 && !IsHelp(args[1])) command += ' ' + args[at++];
  if (args.size() <= at || !IsHelp(args[at])) return false;
  bool printed = false;
  for (const HelpPart& part : kHelpParts) {
    if (part.command == command || part.command.starts_with(command + ' ')) {
      std::cout << part.text;
      printed = true;
    }
  }
  return printed;
}

}  // namespace

std::string HelpText() {
  std::string text = "vivezecf - codice fiscale dalla riga di comando\n\n";
  for (const HelpPart& part : kHelpParts) text += part.text;
  return text +
         "  vivezecf --version   versione del programma\n"
         "  vivezecf --help      questo aiuto; vivezecf COMANDO --help, l'aiuto del comando\n"
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
  if (PrintCommandHelp(args)) return 0;
  if (command == "--version") {
    std::cout << "vivezecf 1.0\n";
    return 0;
  }
  int (*run)(PlaceRegister&, const std::vector<std::string>&) = nullptr;
  if (command == "calcola") run = Calcola;
  if (command == "verifica") run = Verifica;
  if (command == "decodifica") run = Decodifica;
  if (command == "lotto") run = Lotto;
  if (command == "controlla") run = Controlla;
  if (command == "archivio") run = RunArchiveCommand;
  if (command == "aggiorna-comuni") return AggiornaComuni(paths, {args.begin() + 1, args.end()});
  if (run == nullptr) {
    std::cerr << "Comando sconosciuto: " << command << "\n" << kUsage;
    return 2;
  }
  // A code read alone needs the lines holding its place code, not the table.
  const bool oneCode = command == "decodifica" || (command == "verifica" && args.size() == 2);
  // A table refused at start, or found unreadable, or without the columns a
  // lookup needs, when a command reads it.
  try {
    PlaceRegister places(paths.municipalities,
                         oneCode ? PlaceTableReading::ForOneCode : PlaceTableReading::Whole);
    return run(places, {args.begin() + 1, args.end()});
  } catch (const std::exception& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }
}
