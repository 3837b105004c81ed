// A place table that cannot be used, beside a portable copy of the program:
// the commands that read a code alone, which read the table only up to the
// lines holding the code, refuse it as those that read it whole do.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/fiscal_code_check.h"
#include "storage/files/file_names.h"
#include "tests/cli/program_run.h"

namespace fs = std::filesystem;

TEST(CliPlaceTable, ATableThatCannotServeIsRefusedAlikeByEveryCommand) {
  const fs::path folder = PathOf(TempPath("portable-damaged-places"));
  fs::create_directories(folder);
  const std::string program = Utf8Of(folder / PathOf(VIVEZECF).filename());
  fs::copy_file(PathOf(VIVEZECF), PathOf(program), fs::copy_options::overwrite_existing);
  const std::string place = "RSSMRA75C15H501";
  const std::string code = place + CheckFiscalCode(place + "A").expected;
  const struct {
    const char* table;
    const char* err;
  } cases[] = {
      {"", "List index out of bounds (0)\n"},
      {"comuni,,Code\r\nROMA,,H501\r\n", "LbCsv1: Field name missing\n"},
      {"comuni,Code,COMUNI\r\nROMA,H501,x\r\n", "A component named COMUNI already exists\n"},
      // Found at the first lookup: once the program ended there without a word.
      {"nome,Code\r\nROMA,H501\r\n", "LbCsv1: Field 'comuni' not found\n"},
  };
  for (const auto& c : cases) {
    Write(Utf8Of(folder / "comuni.dat"), c.table);
    for (const std::string& command : {"decodifica " + code, "verifica " + code,
                                       "verifica " + code + " ROSSI MARIO M 15/03/1975 ROMA",
                                       std::string("calcola ROSSI MARIO M 15/03/1975 ROMA")}) {
      const Outcome run = RunProgram(program, command);
      EXPECT_EQ(run.status, 2) << c.table << command;
      EXPECT_EQ(run.err, c.err) << c.table << command;
      EXPECT_EQ(run.out, "") << c.table << command;
    }
  }
}
