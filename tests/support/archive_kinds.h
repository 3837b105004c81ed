// The file and the database archive, for tests that run on both.
#pragma once

// The two kinds of archive the tests of the archive's rules run on, one
// suite for both: the file, and the database the variable
// VIVEZE_TEST_ARCHIVIO names (scripts/test-server starts one). Without the
// variable the database's tests are skipped, saying so.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "storage/archive/db_archive.h"
#include "storage/archive/file_archive.h"
#include "storage/archive/pq_connection.h"
#include "storage/table/record_format.h"
#include "tests/support/temp_folder.h"

#ifdef _WIN32
inline void SetEnvironment(const char* name, const std::string& value) {
  _putenv_s(name, value.c_str());
}
#else
inline void SetEnvironment(const char* name, const std::string& value) {
  setenv(name, value.c_str(), 1);
}
#endif

class FileKind {
 public:
  static constexpr const char* kName = "file";
  static std::string Unready() { return {}; }

  void Make(const std::vector<ArchiveRecord>& records) {
    std::string text = std::string(kArchiveHeader) + "\r\n";
    for (const ArchiveRecord& r : records) {
      text += WriteRecord({r.cognome, r.nome, r.sex, r.comune, r.data, r.codiceFiscale}) + "\r\n";
    }
    path_ = folder_.Write("archivio.dat", text);
  }
  // A desk on the archive made.
  std::unique_ptr<Archive> Desk(TLbCsv& table) {
    table.SetTableName(path_);
    table.Open();
    return std::make_unique<FileArchive>(table);
  }

 private:
  TempFolder folder_;
  std::string path_;
};

// Each test in a schema of its own, as ctest runs tests side by side; the
// archive's unqualified table is found there through PGOPTIONS.
class DbKind {
 public:
  static constexpr const char* kName = "database";
  static std::string Unready() {
    if (Target().empty()) {
      return "VIVEZE_TEST_ARCHIVIO is not set: the database archive is not tested here "
             "(scripts/test-server run ctest ... tests it against a server of its own)";
    }
    return {};
  }
  static std::string Target() {
    const char* value = std::getenv("VIVEZE_TEST_ARCHIVIO");
    return value != nullptr ? value : "";
  }

  ~DbKind() {
    if (schema_.empty()) return;
    try {
      PqConnection admin(Target());
      admin.Run("SET client_min_messages TO warning");  // no notice of the cascade
      admin.Run(("DROP SCHEMA " + schema_ + " CASCADE").c_str());
    } catch (const std::exception&) {
      // The server is thrown away with the rest.
    }
  }

  void Make(const std::vector<ArchiveRecord>& records) {
    std::random_device random;
    schema_ = "test_" + std::to_string(random()) + std::to_string(random());
    PqConnection(Target()).Run(("CREATE SCHEMA " + schema_).c_str());
    SetEnvironment("PGOPTIONS", "-c search_path=" + schema_);
    TLbCsv table;
    DbArchive archive(table, Target());
    archive.Open();
    archive.AddAll(records);
  }
  std::unique_ptr<Archive> Desk(TLbCsv& table) {
    auto archive = std::make_unique<DbArchive>(table, Target());
    archive->Open();
    return archive;
  }

 private:
  std::string schema_;
};

template <typename Kind>
class ArchiveKindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string unready = Kind::Unready();
    if (!unready.empty()) GTEST_SKIP() << unready;
  }
  Archive& Open(const std::vector<ArchiveRecord>& records) {
    kind_.Make(records);
    archive_ = kind_.Desk(table_);
    return *archive_;
  }
  // Another desk on the same archive, over `table`.
  std::unique_ptr<Archive> OtherDesk(TLbCsv& table) { return kind_.Desk(table); }

  Kind kind_;
  TLbCsv table_{"LbCsv2"};
  std::unique_ptr<Archive> archive_;
};

struct ArchiveKindName {
  template <typename Kind>
  static std::string GetName(int) {
    return Kind::kName;
  }
};

using ArchiveKinds = ::testing::Types<FileKind, DbKind>;
