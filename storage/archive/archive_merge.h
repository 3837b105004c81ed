// One copy's changes to the archive file merged into what the file holds now.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"

// What one copy of the program changed in an archive file merged into what
// the file holds now, another copy having written it meanwhile: this copy's
// deletions take out the first line equal to each deleted one that is still
// there (one line for each deletion, so an equal line someone else added
// stays), and its additions are appended unless their code is in the file
// already. The merge knows no file: it takes the lines and gives lines.
class ArchiveMerge {
 public:
  // `ourHeader` is the header line this copy's lines are written in.
  explicit ArchiveMerge(std::string_view ourHeader);

  struct Result {
    // In this copy's column order: a file whose header another writer put
    // in another order has every record rewritten in ours.
    TableFile lines;
    // The record (1-based) that stands for the one current before: the
    // record added, for an added one; the same line, if still there;
    // otherwise the same row number, clamped.
    int current = 1;
    std::size_t added = 0;    // of ours, appended
    std::size_t present = 0;  // of ours, whose code another copy had archived
    std::size_t deleted = 0;  // of ours, taken out
    std::size_t gone = 0;     // of ours, already taken out by another copy
  };

  // `disk` is the file as read now (header first); `changes` what this copy
  // added and deleted since it last read or wrote; `currentLine` the line of
  // the current record (empty for none) and `currentRow` its number.
  Result Merge(TableFile disk, const TTableChanges& changes, std::string_view currentLine,
               int currentRow) const;

 private:
  std::string header_;
  std::vector<std::string> names_;
  int codeColumn_;
};
