// Finding people in the archive by what a clerk types.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/archive/archive_keys.h"
#include "storage/table/record_order.h"
#include "storage/table/record_set.h"

class TLbCsv;

// Finds the archive's records from a text as a clerk types it, over the
// table cursor both kinds of archive hold their records in. The words of
// the text are read so:
// - a code, whole or its start past its six letters, in a code's form
//   (spaces and homocode letters allowed: "RSSMRA75", " rss mra 75c15 "):
//   the records whose code begins so;
// - a date with a four-digit year in the short date format or yyyy-mm-dd
//   ("15/03/1975"), or a year ("1975"): only the people born then; a date
//   still being typed is passed over;
// - the other words: a surname, a name, or both, either first ("ROSSI",
//   "MARIO", "ROSSI MARIO", "MARIO ROSSI", "DE LUCA ANNA"), folded as names
//   are (FoldedNameKey), the last word read as the start of a word being
//   typed ("ROSSI MA"); a single word also finds a code beginning so.
// Each kind of key is kept in an order of its own, made when first asked
// and following the table's edits after that, so a search among a million
// records is a few lookups, not a pass over them.
class ArchiveFind {
 public:
  explicit ArchiveFind(const TLbCsv& table, ArchiveTextToUtf8 toUtf8 = {});
  ~ArchiveFind();
  ArchiveFind(const ArchiveFind&) = delete;
  ArchiveFind& operator=(const ArchiveFind&) = delete;

  // The records `typed` (UTF-8) finds; none for a text that says nothing.
  RecordSet Search(std::string_view typed);
  // Makes every order a search may ask for, so that no key typed later
  // waits for one: the only pass over all the records, once.
  void Prepare();

 private:
  RecordOrder& Order(std::unique_ptr<RecordOrder>& order, RecordOrder::Key key);
  RecordOrder& ByCode();
  RecordOrder& BySurname();
  RecordOrder& ByName();
  RecordOrder& ByDate();
  // Every record in the order's positions [range.first, range.second).
  static void AddRange(RecordOrder& order, std::pair<int, int> range, RecordSet& into);
  void AddNames(const std::vector<std::string>& words, RecordSet& into);

  const TLbCsv& table_;
  ArchiveTextToUtf8 toUtf8_;
  std::unique_ptr<RecordOrder> surnameFirst_, nameFirst_, code_, date_;
};
