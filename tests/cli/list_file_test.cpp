// Lists as offices save them, through `lotto` and `controlla`.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/cli/program_run.h"

namespace {

const std::string kBom = "\xEF\xBB\xBF";

TEST(CliLists, ReadsAndWritesEveryKindOfList) {
  struct Case {
    std::string what, command, in;
    int status;
    std::string out;  // without the byte-order mark every output begins with
  };
  const std::string person = "Rossi,Mario,M,Montalcino,15/03/1975";
  const std::string code = "RSSMRA75C15F402O";
  const std::vector<Case> cases = {
      {"semicolons, a byte-order mark and Italian names", "lotto",
       kBom + "Cognome;Nome;Sesso;Luogo di nascita;Data di nascita\r\n"
              "Rossi;Mario;M;Montalcino;15/03/1975\r\n",
       0,
       "Cognome;Nome;Sesso;Luogo di nascita;Data di nascita;CodiceFiscale;Errore\r\n"
       "Rossi;Mario;M;Montalcino;15/03/1975;" +
           code + ";\r\n"},
      {"Windows-1252, tabs", "lotto",
       "cognome\tnome\tsex\tcomune\tdata\nMartin\tFran\xE7ois\tM\tForl\xEC\t01/01/1980\n", 0,
       "cognome\tnome\tsex\tcomune\tdata\tCodiceFiscale\tErrore\r\n"
       "Martin\tFran\xC3\xA7ois\tM\tForl\xC3\xAC\t01/01/1980\tMRTFNC80A01D704V\t\r\n"},
      {"a quoted line break and doubled quotes kept whole", "lotto",
       "Cognome,Nome,Sex,Comune,Data,Note\n" + person + ",\"via Roma 1\r\nscala \"\"B\"\"\"\n", 0,
       "Cognome,Nome,Sex,Comune,Data,Note,CodiceFiscale,Errore\r\n" + person +
           ",\"via Roma 1\r\nscala \"\"B\"\"\"," + code + ",\r\n"},
      {"a quote inside an unquoted value kept as it was", "lotto",
       "Cognome,Nome,Sex,Comune,Data,Note\n" + person + ",schermo 24\" usato\n", 0,
       "Cognome,Nome,Sex,Comune,Data,Note,CodiceFiscale,Errore\r\n" + person +
           ",schermo 24\" usato," + code + ",\r\n"},
      {"blank lines passed over, a row of separators kept", "lotto",
       "\r\n\nCognome,Nome,Sex,Comune,Data\n\n" + person + "\r\n\r\n,,,,\n", 0,
       "Cognome,Nome,Sex,Comune,Data,CodiceFiscale,Errore\r\n" + person + "," + code +
           ",\r\n,,,,,,\r\n"},
      {"the place of birth wins over the place of residence", "lotto",
       "CF;Cognome;Nome;Sesso;Comune;Data;Comune di nascita\n;Rossi;Mario;M;Roma;15/03/1975;"
       "Montalcino\n",
       0,
       "CF;Cognome;Nome;Sesso;Comune;Data;Comune di nascita;Errore\r\n" + code +
           ";Rossi;Mario;M;Roma;15/03/1975;Montalcino;\r\n"},
      {"two places of birth refused", "lotto",
       "Cognome,Nome,Sex,Data,Luogo di nascita,Comune di nascita\n", 2, ""},
      {"a row of each verdict", "controlla",
       "Codice fiscale;Cognome;Nome;Sesso;Data di nascita;Luogo di nascita\n" + code +
           ";Rossi;Mario;M;15/03/1975;Montalcino\n" + code +
           ";Rossi;Maria;F;16/03/1975;Montalcino\n" + code + ";;;;;\n" +
           "RSSMRA75C15F402X;Rossi;Mario;M;15/03/1975;Montalcino\n" + code +
           ";Rossi;;M;15/03/1975;Montalcino\n",
       1,
       "Codice fiscale;Cognome;Nome;Sesso;Data di nascita;Luogo di nascita;Esito;Dettaglio\r\n" +
           code + ";Rossi;Mario;M;15/03/1975;Montalcino;corrisponde;\r\n" + code +
           ";Rossi;Maria;F;16/03/1975;Montalcino;non corrisponde;\"Sesso: nel codice M, nei dati "
           "F; Data di nascita: nel codice 15/03/1975, nei dati 16/03/1975\"\r\n" +
           code +
           ";;;;;;valido;\"Data di nascita: 15/03/1975; anche "
           "15/03/1875\"\r\nRSSMRA75C15F402X;Rossi;Mario;M;15/03/1975;Montalcino;"
           "non valido;Carattere di controllo errato: atteso O\r\n" +
           code + ";Rossi;;M;15/03/1975;Montalcino;non corrisponde;Dati mancanti: Nome\r\n"},
  };
  const std::string in = TempPath("list.csv");
  for (const Case& c : cases) {
    Write(in, c.in);
    const Outcome run = RunProgram(VIVEZECF, c.command + " '" + in + "'");
    EXPECT_EQ(run.status, c.status) << c.what << "\n" << run.err;
    EXPECT_EQ(run.out, c.out.empty() ? "" : kBom + c.out) << c.what;
  }
  const Outcome summary = RunProgram(VIVEZECF, "controlla '" + in + "'");
  EXPECT_EQ(summary.err,
            "Righe lette: 5, corrispondono: 1, non corrispondono: 2, valide: 1, non valide: 1\n");
}

TEST(CliLists, AFailedRunKeepsTheOutputAndAFailedWriteIsNoSuccess) {
  const std::string in = TempPath("bad.csv"), out = TempPath("kept.csv");
  Write(in, "a,b\n1,2\n");
  Write(out, "kept");
  EXPECT_EQ(RunProgram(VIVEZECF, "lotto '" + in + "' -o '" + out + "'").status, 2);
  EXPECT_EQ(ReadAll(out), "kept");
#ifndef _WIN32
  Write(in, "Cognome,Nome,Sex,Comune,Data\nRossi,Mario,M,Montalcino,15/03/1975\n");
  EXPECT_EQ(RunProgram(VIVEZECF, "lotto '" + in + "' -o /dev/full").status, 2);
  EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));
#endif
}

}  // namespace
