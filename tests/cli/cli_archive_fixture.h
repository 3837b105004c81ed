// A portable copy of vivezecf in a folder of the test's own, for the tests of
// `vivezecf archivio`.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "storage/files/file_names.h"
#include "tests/cli/program_run.h"

inline const std::string kHeaderLine = "Cognome,Nome,Sex,Comune,Data,CodiceFiscale\r\n";
// Two people as `aggiungi` archives them, and the line of the first.
inline const std::string kAddRossi = "aggiungi Rossi Mario M 15/03/1975 Montalcino";
inline const std::string kRossi = "Rossi,Mario,M,Montalcino,15/03/1975,RSSMRA75C15F402O\r\n";
inline const std::string kAddBianchi = "aggiungi Bianchi Anna F 01/01/1990 Roma";

class CliArchive : public ::testing::Test {
 protected:
  void SetUp() override {
#ifndef _WIN32
    // The C locale's dates, as the window makes them: d/MM/yyyy.
    setenv("LC_ALL", "C", 1);
    // The user's own folder, where records wait for a server.
    setenv("XDG_DATA_HOME", user_.c_str(), 1);
#endif
    std::filesystem::create_directories(PathOf(folder_));
    program_ = Utf8Of(PathOf(folder_) / PathOf(VIVEZECF).filename());
    std::filesystem::copy_file(PathOf(VIVEZECF), PathOf(program_),
                               std::filesystem::copy_options::overwrite_existing);
    std::filesystem::copy_file(PathOf(std::string(VIVEZE_DATA_DIR) + "/comuni.dat"),
                               PathOf(folder_) / "comuni.dat",
                               std::filesystem::copy_options::overwrite_existing);
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(PathOf(folder_), ignored);
    std::filesystem::remove_all(PathOf(user_), ignored);
  }

  Outcome Archivio(const std::string& args) { return RunProgram(program_, "archivio " + args); }
  std::string Archive() const { return ReadAll(Utf8Of(PathOf(folder_) / "archivio.dat")); }

  // The folder the user's records wait in.
  std::string UserFolder() const { return user_ + "/vivezevevoziv"; }

  std::string folder_ = TempPath("portable");
  std::string user_ = TempPath("utente");
  std::string program_;
};
