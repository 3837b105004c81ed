// One copy of the program on an archive file, and the codes the file holds.
#pragma once

#include <string>
#include <vector>

#include "storage/archive/file_archive.h"
#include "storage/table/tlb_csv.h"

struct ArchiveCopy {
  explicit ArchiveCopy(const std::string& path) {
    table.SetTableName(path);
    table.Open();
  }
  TLbCsv table{"LbCsv2"};
  FileArchive archive{table};
};

// The codes an archive file holds, in its order, read as another copy would.
inline std::vector<std::string> CodesIn(const std::string& path) {
  TLbCsv table("LbCsv2");
  table.SetTableName(path);
  table.SetReadOnly(true);
  table.Open();
  std::vector<std::string> codes;
  for (table.First(); !table.AtEnd(); table.Next()) {
    if (!table.Empty()) codes.push_back(table.FieldNamed("CodiceFiscale").Text());
  }
  return codes;
}
