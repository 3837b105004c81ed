// The command-line program run as a user runs it: exit status, output, files.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/fiscal_code.h"
#include "engine/fiscal_code_check.h"
#include "engine/letter_folding.h"
#include "engine/short_date.h"
#include "storage/files/file_names.h"
#include "storage/places/places.h"
#include "storage/table/record_format.h"
#include "storage/table/tlb_csv.h"
#include "tests/cli/program_run.h"

namespace {

// The program started directly, as a shell would start it.
Outcome Vivezecf(const std::string& args, const std::string& stdinFile = kNoInput) {
  return RunProgram(VIVEZECF, args, stdinFile);
}

TEST(CliCommands, CalcolaGivesTheWorkedExamples) {
  EXPECT_EQ(Vivezecf("calcola ROSSI MARIO M 15/03/1975 MONTALCINO").out, "RSSMRA75C15F402O\n");
  EXPECT_EQ(Vivezecf("calcola rossi mario m 2020-03-15 montalcino").out, "RSSMRA20C15M378X\n");
  EXPECT_EQ(Vivezecf("calcola CHAN WAI M 3/3/1985 'hong kong'").out, "CHNWAI85C03Z221B\n");
  EXPECT_EQ(Vivezecf("calcola MARTIN FRANÇOIS M 01/01/1980 forlì").out, "MRTFNC80A01D704V\n");
  const Outcome byCode = Vivezecf("calcola ROSSI MARIO M 15/03/75 F402");
  EXPECT_EQ(byCode.status, 0);
  EXPECT_EQ(byCode.out, "RSSMRA75C15F402O\n");
}

TEST(CliCommands, CalcolaRefusesWhatGivesNoCode) {
  const Outcome early = Vivezecf("calcola ROSSI MARIO M 01/01/1975 CORIGLIANO-ROSSANO");
  EXPECT_EQ(early.status, 1);
  EXPECT_EQ(early.out, "");
  EXPECT_EQ(early.err,
            "CORIGLIANO-ROSSANO: nessun codice in uso alla data di nascita (in uso dal "
            "31/03/2018)\n");
  const Outcome unknown = Vivezecf("calcola ROSSI MARIO M 01/01/1975 NOWHERE");
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "Comune non trovato: NOWHERE\n");
  const Outcome ambiguous = Vivezecf("calcola ROSSI MARIO M 01/01/1980 castro");
  EXPECT_EQ(ambiguous.status, 1);
  EXPECT_EQ(ambiguous.err, "Comune ambiguo: CASTRO (BG), CASTRO (LE)\n");
  EXPECT_EQ(Vivezecf("calcola 12 B M 01/01/1975 ROMA").status, 1);
  EXPECT_EQ(Vivezecf("calcola ROSSI MARIO M 31/02/1975 ROMA").status, 2);
  EXPECT_EQ(Vivezecf("calcola ROSSI MARIO M 1975/02/01 ROMA").status, 2);
  EXPECT_EQ(Vivezecf("calcola ROSSI MARIO X 01/02/1975 ROMA").status, 2);
  EXPECT_EQ(Vivezecf("calcola ROSSI MARIO M").status, 2);
  EXPECT_EQ(Vivezecf("boh").status, 2);
  EXPECT_EQ(Vivezecf("").status, 2);
}

// Every command that reads a birth date reads it as offices and spreadsheets
// write it, with "-" or "." as with "/".
TEST(CliCommands, DatesWithDashesAndDotsAreReadEverywhere) {
  const std::string in = TempPath("dates.csv"), out = TempPath("dates_out.csv");
  for (const std::string date : {"15-03-1975", "15.3.1975", "15.03.75", "15-3-75"}) {
    SCOPED_TRACE(date);
    EXPECT_EQ(Vivezecf("calcola ROSSI MARIO M " + date + " MONTALCINO").out, "RSSMRA75C15F402O\n");
    EXPECT_EQ(Vivezecf("verifica RSSMRA75C15F402O ROSSI MARIO M " + date + " MONTALCINO").status,
              0);
    Write(in, "Cognome,Nome,Sesso,Comune,Data,CF\r\nROSSI,MARIO,M,MONTALCINO," + date +
                  ",RSSMRA75C15F402O\r\n");
    EXPECT_NE(Vivezecf("lotto '" + in + "'").out.find(date + ",RSSMRA75C15F402O,\r\n"),
              std::string::npos);
    EXPECT_EQ(Vivezecf("controlla '" + in + "' -o '" + out + "'").status, 0);
  }
  const Outcome mixed = Vivezecf("calcola ROSSI MARIO M 15-03.1975 MONTALCINO");
  EXPECT_EQ(mixed.status, 2);
  EXPECT_EQ(mixed.err, "Data non valida: 15-03.1975\n");
}

TEST(CliCommands, VerificaSaysValidityAndWhetherTheCodeIsThePersons) {
  const Outcome valid = Vivezecf("verifica RSSMRA26C15F402D");  // F402 ended in 2016
  EXPECT_EQ(valid.status, 0);
  EXPECT_EQ(valid.out, "Codice valido\n");
  const Outcome wrong = Vivezecf("verifica RSSMRA75C15F402X");
  EXPECT_EQ(wrong.status, 1);
  EXPECT_EQ(wrong.out, "Carattere di controllo errato: atteso O\n");
  const Outcome theirs = Vivezecf("verifica RSSMRA75C15F402O ROSSI MARIO M 15/03/1975 MONTALCINO");
  EXPECT_EQ(theirs.status, 0);
  EXPECT_EQ(theirs.out, "Codice valido\nCorrisponde ai dati inseriti\n");
  const Outcome homocode = Vivezecf("verifica " + Homocodes("RSSMRA75C15F402O")[2] +
                                    " ROSSI MARIO M 15/03/1975 MONTALCINO");
  EXPECT_EQ(homocode.status, 0);
  EXPECT_EQ(homocode.out.substr(homocode.out.find('\n') + 1), "Corrisponde ai dati inseriti\n");
  const Outcome other = Vivezecf("verifica RSSMRA75C15F402O ROSSI MARIA F 15/03/1975 MONTALCINO");
  EXPECT_EQ(other.status, 1);
  EXPECT_EQ(other.out,
            "Codice valido\nNon corrisponde ai dati inseriti\nSesso: nel codice M, nei dati F\n");
}

TEST(CliCommands, DecodificaOneValuePerLineAndUnknownPlacesSaid) {
  const Outcome run = Vivezecf("decodifica rssmra26c15f402d");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "sesso: M\ndata di nascita: 1926-03-15\nluogo: MONTALCINO (SI)\ncodice luogo: F402\n");
  const std::string unknownPlace = "RSSMRA75C15Z999";
  const std::string code = unknownPlace + CheckFiscalCode(unknownPlace + "A").expected;
  const Outcome unknown = Vivezecf("decodifica " + code);
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.err, "Codice luogo sconosciuto: Z999\n");
  EXPECT_EQ(Vivezecf("decodifica").status, 2);
  EXPECT_EQ(Vivezecf("--help").status, 0);
  EXPECT_NE(Vivezecf("--help").out.find("Esempio: vivezecf lotto"), std::string::npos);
  EXPECT_EQ(Vivezecf("--version").out, "vivezecf 1.0\n");
}

// SANGIANO had H872 in 1926 and has it again since 1963: the code of a
// person born there on 24/03 of '26 fits both centuries.
TEST(CliCommands, ACodeThatFitsTwoCenturiesSaysTheOther) {
  const Outcome decoded = Vivezecf("decodifica FOXDRA26C24H872Y");
  EXPECT_EQ(decoded.status, 0);
  EXPECT_EQ(decoded.out,
            "sesso: M\ndata di nascita: 2026-03-24\nluogo: SANGIANO (VA)\ncodice luogo: H872\n"
            "nota: data di nascita anche 1926-03-24\n");
  const Outcome checked = Vivezecf("verifica FOXDRA26C24H872Y");
  EXPECT_EQ(checked.status, 0);
  EXPECT_EQ(checked.out, "Codice valido\nData di nascita: 24/03/2026; anche 24/03/1926\n");
  for (const char* born : {"24/03/1926", "24/03/2026", "24/03/26"}) {
    EXPECT_EQ(
        Vivezecf(std::string("verifica FOXDRA26C24H872Y FO DARIO M ") + born + " SANGIANO").out,
        "Codice valido\nCorrisponde ai dati inseriti\n")
        << born;
  }
}

// `COMANDO --help` and `-h` print that command's part of the whole help:
// its usage line first, nothing of the others.
TEST(CliCommands, EachCommandGivesItsOwnHelp) {
  const std::string whole = Vivezecf("--help").out;
  const struct {
    std::string args;
    std::vector<std::string> usages;
  } cases[] = {
      {"verifica --help", {"vivezecf verifica CODICE"}},
      {"verifica -h", {"vivezecf verifica CODICE"}},
      {"calcola -h", {"vivezecf calcola [--codice-vicino]"}},
      {"controlla --help", {"vivezecf controlla [FILE]"}},
      {"aggiorna-comuni --help", {"vivezecf aggiorna-comuni FILE"}},
      {"archivio elimina --help", {"vivezecf archivio elimina CODICE"}},
      {"archivio -h",
       {"vivezecf archivio aggiungi", "vivezecf archivio elimina", "vivezecf archivio elenca",
        "vivezecf archivio importa", "vivezecf archivio esporta"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    const Outcome help = Vivezecf(c.args);
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.err, "");
    EXPECT_NE(whole.find(help.out), std::string::npos);  // a part of the whole, as it stands
    EXPECT_EQ(help.out.find("  " + c.usages.front()), 0u);
    std::size_t usages = 0;
    for (std::size_t at = 0; (at = help.out.find("  vivezecf ", at)) != std::string::npos; ++at) {
      ++usages;
    }
    EXPECT_EQ(usages, c.usages.size());
    for (const std::string& usage : c.usages) EXPECT_NE(help.out.find(usage), std::string::npos);
  }
  EXPECT_EQ(Vivezecf("boh --help").status, 2);
}

TEST(CliCommands, CodesReadAndComputedAsTheAgenziaIssuedThem) {
  const std::string m378 = "RSSMRA10C15M378";  // M378 only from 2017
  const Outcome noted = Vivezecf("decodifica " + m378 + CheckFiscalCode(m378 + "A").expected);
  EXPECT_EQ(noted.out,
            "sesso: M\ndata di nascita: 2010-03-15\nluogo: MONTALCINO (SI)\ncodice luogo: M378\n"
            "nota: codice luogo non in uso alla data di nascita\n");
  EXPECT_EQ(Vivezecf("verifica ' rss mra 75c15 f402o '").status, 0);
  EXPECT_EQ(Vivezecf("calcola BIANCHI ANNA F 10/05/1956 DAIRAGO").status, 1);
  const Outcome nearby = Vivezecf("calcola --codice-vicino BIANCHI ANNA F 10/05/1956 DAIRAGO");
  EXPECT_EQ(nearby.status, 0);
  EXPECT_EQ(nearby.out, "BNCNNA56E50D244C\n");
  EXPECT_EQ(nearby.err, "nota: codice luogo non in uso alla data di nascita\n");
  EXPECT_NE(Vivezecf("--help").out.find("calcola [--codice-vicino]"), std::string::npos);
  const Outcome future = Vivezecf("calcola ROSSI MARIO M 01/01/2999 ROMA");
  EXPECT_EQ(future.status, 1);
  EXPECT_EQ(future.err, "Data di nascita nel futuro: 01/01/2999\n");
}

const char* const kList =
    "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n"
    "ROSSI,MARIO,M,MONTALCINO,15/03/1975,\r\n"
    "\r\n"  // a blank line is no row
    "\"DE, LUCA\",ANNA,F,\"ROMA\",1990-01-02,OLD\n"
    ",MARIO,M,ROMA,1/1/80,\r\n"
    "X,Y,M,NOWHERE,01/01/1980,\r\n"
    "XX,YY,M,ROMA,99/99/1980,\r\n"
    "XX,YY,M,CORIGLIANO-ROSSANO,01/01/1975,\r\n";

// A place found once is found again for another row only when the date
// gives the same answer.
TEST(CliLotto, EachRowsDateChoosesAmongHomonyms) {
  const std::string in = TempPath("brione.csv"), out = TempPath("brione_out.csv");
  Write(in,
        "Cognome,Nome,Sex,Comune,Data\r\nROSSI,MARIO,M,BRIONE,01/01/2020\r\n"
        "ROSSI,MARIO,M,BRIONE,01/01/2000\r\n");
  EXPECT_EQ(Vivezecf("lotto '" + in + "' -o '" + out + "'").status, 1);
  const std::string text = ReadAll(out);
  EXPECT_NE(text.find("BRIONE,01/01/2020,RSSMRA20A01B184"), std::string::npos);
  EXPECT_NE(text.find("BRIONE,01/01/2000,,\"Comune ambiguo: BRIONE (BS), BRIONE (TN)\""),
            std::string::npos);
}

TEST(CliLotto, RowsWithCodesOrErrorsAndASummary) {
  const std::string in = TempPath("list.csv"), out = TempPath("list_out.csv");
  Write(in, kList);
  const Outcome run = Vivezecf("lotto '" + in + "' -o '" + out + "'");
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.err, "Righe lette: 6, codici calcolati: 2, righe con errori: 4\n");
  const std::string text = ReadAll(out);
  EXPECT_NE(text.find("Cognome,Nome,Sex,Comune,Data,CodiceFiscale,Errore\r\n"), std::string::npos);
  EXPECT_NE(text.find("ROSSI,MARIO,M,MONTALCINO,15/03/1975,RSSMRA75C15F402O,\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("\"DE, LUCA\",ANNA,F,\"ROMA\",1990-01-02,DLCNNA90A42H501D,\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("X,Y,M,NOWHERE,01/01/1980,,Comune non trovato: NOWHERE\r\n"),
            std::string::npos);
  EXPECT_NE(text.find("99/99/1980,,Data non valida: 99/99/1980\r\n"), std::string::npos);
  EXPECT_NE(text.find("CORIGLIANO-ROSSANO,01/01/1975,,CORIGLIANO-ROSSANO: nessun codice"),
            std::string::npos);
  EXPECT_NE(text.find(",MARIO,M,ROMA,1/1/80,,Codice incompleto"), std::string::npos);
  EXPECT_EQ(ReadAll(in), kList);  // untouched
}

TEST(CliLotto, StandardInputWindows1252AndAnOwnArchive) {
  const std::string in = TempPath("ansi.csv");
  Write(in, "x,data,comune,sex,nome,cognome\nkept,01/01/1980,Forl\xEC,M,Fran\xE7ois,Martin\n");
  const Outcome run = Vivezecf("lotto", in);
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "\xEF\xBB\xBFx,data,comune,sex,nome,cognome,CodiceFiscale,Errore\r\n"
            "kept,01/01/1980,Forlì,M,François,Martin,MRTFNC80A01D704V,\r\n");
  const std::string archive = TempPath("archivio.dat");
  Write(archive,
        "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\nCHAN,WAI,M,HONG KONG,03/03/1985,"
        "CHNWAI85C03Z221B\r\n");
  const Outcome own = Vivezecf("lotto '" + archive + "'");
  EXPECT_EQ(own.status, 0);
  EXPECT_NE(own.out.find("03/03/1985,CHNWAI85C03Z221B,\r\n"), std::string::npos);
}

TEST(CliLotto, NeverWritesOverItsInputAndSaysWhenItCannotRead) {
  const std::string in = TempPath("same.csv"), link = TempPath("same_link.csv");
  Write(in, kList);
  EXPECT_EQ(Vivezecf("lotto '" + in + "' -o '" + in + "'").status, 2);
#ifndef _WIN32
  // Making a link on Windows takes a privilege users do not have.
  std::remove(link.c_str());
  ASSERT_EQ(std::system(("ln -s '" + in + "' '" + link + "'").c_str()), 0);
  EXPECT_EQ(Vivezecf("lotto '" + in + "' -o '" + link + "'").status, 2);
#endif
  EXPECT_EQ(ReadAll(in), kList);
  EXPECT_EQ(Vivezecf("lotto '" + TempPath("missing.csv") + "'").status, 2);
  Write(in, "Nome,Data\nA,01/01/1980\n");
  EXPECT_EQ(Vivezecf("lotto '" + in + "'").status, 2);
}

// A user's folder can be named with any letters.
TEST(CliLotto, ReadsAndWritesInAFolderNamedInAnyLetters) {
  const std::string folder =
      TempPath("Nicol\xC3\xB2 \xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1");
  std::filesystem::create_directories(PathOf(folder));
  std::string in = folder, out = folder;
  in.append("/persone.csv");
  out.append("/codici.csv");
  Write(in, "Cognome,Nome,Sex,Comune,Data\nROSSI,MARIO,M,MONTALCINO,15/03/1975\n");
  const Outcome run = Vivezecf("lotto '" + in + "' -o '" + out + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(ReadAll(out).find(",RSSMRA75C15F402O,\r\n"), std::string::npos);
  EXPECT_EQ(Vivezecf("lotto '" + in + "' -o '" + in + "'").status, 2);
  std::error_code ignored;
  std::filesystem::remove_all(PathOf(folder), ignored);
}

// The window's path: folded names, the place found on the birth date by name.
TEST(CliLotto, GivesTheCodesTheWindowGives) {
  SetShortDateFormat("dd/MM/yyyy");
  TLbCsv table;
  table.SetTableName(std::string(VIVEZE_DATA_DIR) + "/comuni.dat");
  table.SetReadOnly(true);
  table.Open();
  Places places(table);
  const std::vector<std::string> names = places.Names();
  const char* const surnames[] = {"Rossi", "Àlvarez", "D'Angelo", "Øster", "Li", "Bianchi"};
  const char* const given[] = {"Mario", "Chloé", "Anna Maria", "Ugo", "Zoë", "Luca"};
  std::mt19937 random(15);
  std::string list = "Cognome,Nome,Sex,Comune,Data\n";
  std::vector<std::string> expected;
  for (int i = 0; i < 300; ++i) {
    const std::string surname = surnames[random() % 6], name = given[random() % 6];
    const std::string sex = random() % 2 ? "M" : "F";
    const std::string place = names[random() % names.size()];
    char date[16];
    std::snprintf(date, sizeof date, "%02d/%02d/%04d", 1 + static_cast<int>(random() % 28),
                  1 + static_cast<int>(random() % 12), 1930 + static_cast<int>(random() % 95));
    const CalendarDate born = TextToDate(date);
    std::string code;
    if (const PlaceLookup found = places.Find(place, born); found.Found()) {
      code = ComputeFiscalCode(FoldNameLetters(surname), FoldNameLetters(name), date, sex,
                               found.place.code);
    }
    // Quoted or not, as a spreadsheet writes it: both kinds of line are read.
    const bool quoted = place.find(',') != std::string::npos || random() % 2;
    list.append(surname).append(",").append(name).append(",").append(sex).append(",");
    list.append(quoted ? "\"" + place + "\"" : place).append(",").append(date).append("\n");
    expected.push_back(code);
  }
  const std::string in = TempPath("window.csv");
  Write(in, list);
  const Outcome run = Vivezecf("lotto '" + in + "'");
  std::istringstream rows(run.out);
  std::string line;
  std::getline(rows, line);
  std::vector<std::string> values;
  int computed = 0;
  for (const std::string& code : expected) {
    ASSERT_TRUE(std::getline(rows, line));
    line.pop_back();  // CR
    ParseRecord(line, values);
    ASSERT_EQ(values.size(), 7u);
    EXPECT_EQ(values[5], code == kErrorCode ? "" : code) << line;
    computed += !code.empty() && code != kErrorCode;
  }
  EXPECT_GT(computed, 100);
}

// Every row written back as it was, whatever the quoting, blanks or length
// of the line, but for the two columns filled wherever they stand.
TEST(CliLotto, KeepsEveryValueOfEveryKindOfLine) {
  const char* const header = "CodiceFiscale,Cognome,Note,Nome,Sex,Errore,Comune,Data,Extra1,Extra2";
  const char* const notes[] = {"plain", "",         "\"a,b\"",   "\"say \"\"hi\"\"\"",
                               "x\ry",  "x\"y\"z",  "tab\there", "\"\"",
                               "é à ü", "\"x\ry,\""};
  const char* const oldErrors[] = {"", "old error", "\"quoted, old\""};
  const char* const tails[] = {"", ",e1", ",e1,e2", ",e1,e2,more", ",\"\""};
  std::mt19937 random(2026);
  std::string list = std::string(header) + "\n";
  std::string expected = "\xEF\xBB\xBF" + std::string(header) + "\r\n";
  for (int i = 0; i < 400; ++i) {
    std::string line = random() % 3 ? "" : "RSSMRA00A01H501X";
    std::string kept = ",ROSSI," + std::string(notes[random() % std::size(notes)]);
    if (i % 50 == 7) kept.push_back('\0');
    kept.append(",MARIO,M,");
    const std::string oldError = oldErrors[random() % std::size(oldErrors)];
    std::string rest = random() % 2 ? ",MONTALCINO," : ",\"Montalcino\",";
    rest.append("15/03/1975").append(tails[random() % std::size(tails)]);
    list.append(line + kept + oldError + rest).append(random() % 2 ? "\r\n" : "\n");
    expected.append("RSSMRA75C15F402O" + kept + rest + "\r\n");
  }
  const std::string in = TempPath("kinds.csv");
  Write(in, list);
  const Outcome run = Vivezecf("lotto '" + in + "'");
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_EQ(run.out, expected);
}

}  // namespace
