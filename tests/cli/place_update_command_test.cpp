// `vivezecf aggiorna-comuni` in a portable copy of the program of the test's
// own, on copies of the shipped registry file.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "storage/files/file_names.h"
#include "tests/cli/program_run.h"
#include "tests/support/registry_copies.h"

namespace fs = std::filesystem;

TEST(CliPlaceUpdate, RefusesWhatCannotUpdateThenUpdatesAndComputesTheNewPlace) {
  const fs::path folder = PathOf(TempPath("portable-places"));
  const auto in = [&](const char* name) { return Utf8Of(folder / name); };
  fs::create_directories(folder);
  const std::string program = Utf8Of(folder / PathOf(VIVEZECF).filename());
  fs::copy_file(PathOf(VIVEZECF), PathOf(program), fs::copy_options::overwrite_existing);
  const std::string data = VIVEZE_DATA_DIR;
  fs::copy_file(PathOf(data + "/comuni.dat"), folder / "comuni.dat",
                fs::copy_options::overwrite_existing);
  const auto update = [&](const std::string& file) {
    return RunProgram(program, "aggiorna-comuni '" + file + "'");
  };
  const std::string merger = RegistryWithMerger(data);
  std::string withoutA001 = merger;
  for (std::size_t at; (at = withoutA001.find(",\"A001\",")) != std::string::npos;) {
    const std::size_t start = withoutA001.rfind('\n', at) + 1;
    withoutA001.erase(start, withoutA001.find('\n', at) + 1 - start);
  }
  Write(in("senza-A001.csv"), withoutA001);
  Write(in("senza-colonne.csv"), merger.substr(merger.find('\n') + 1));
  const struct {
    std::string file, err;
  } refusals[] = {
      {data + "/anpr-archivio-comuni-2023-10-03.csv",
       "Il file non contiene i comuni: M435, M436, M437, M438\n"},
      {in("senza-colonne.csv"), "File non riconosciuto: " + in("senza-colonne.csv") + "\n"},
      {in("senza-A001.csv"), "Il file non contiene i comuni: A001\n"},
  };
  for (const auto& refusal : refusals) {
    const Outcome refused = update(refusal.file);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err, refusal.err);
  }
  EXPECT_EQ(ReadAll(in("comuni.dat")), ReadAll(data + "/comuni.dat"));
  EXPECT_FALSE(fs::exists(folder / "comuni-aggiornati.dat"));

  Write(in("ANPR_archivio_comuni.csv"), merger);
  const Outcome updated = update(in("ANPR_archivio_comuni.csv"));
  EXPECT_EQ(updated.status, 0);
  EXPECT_EQ(updated.out, "Elenco comuni aggiornato: 1 nuovi, 2 cessati, 0 rinominati\n");
  const std::string calcola = "calcola Rossi Mario M 15/03/2025 'Albese Albavilla'";
  EXPECT_EQ(RunProgram(program, calcola).out.substr(0, 15), "RSSMRA25C15M999");
  const Outcome again = update(in("ANPR_archivio_comuni.csv"));
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.out, "Elenco comuni già aggiornato\n");
  std::error_code ignored;
  fs::remove_all(folder, ignored);
}
