// A table's records in the order of a key, kept beside the table as it changes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class TLbCsv;

// A table's records in the order of a key made from each record's line,
// records of equal keys in the table's order. The table keeps its order:
// this is a view of it, made once and then following the table's edits
// (RecordEdits), so that an add, a delete or another desk's records cost a
// pass over the record numbers, not a sort. Every call first catches up
// with the table. The table must outlive the order.
class RecordOrder {
 public:
  // Makes `key` for one record line; `key` is the caller's from line to
  // line, to reuse its memory.
  using Key = std::function<void(std::string_view line, std::string& key)>;

  RecordOrder(const TLbCsv& table, Key key);

  int Size();
  // The record (1-based) at `position` (0-based) in the order.
  int RecordAt(int position);
  // The position of record `record` (1-based); -1 for none.
  int PositionOf(int record);
  // The positions [first, second) of the records whose key begins with
  // `prefix`.
  std::pair<int, int> PrefixRange(std::string_view prefix);
  // The key of record `record` as the order compares it.
  std::string KeyOf(int record) const;

 private:
  void Follow();
  void Build();
  // Record `record` put in its place among records_; true when it was.
  void Place(int record);
  bool Before(int record, std::string_view key, int other) const;

  const TLbCsv& table_;
  Key key_;
  std::uint64_t revision_ = 0;
  bool built_ = false;
  std::vector<int> records_;
  std::vector<int> positions_;  // made again when asked after a change
  bool positionsKnown_ = false;
  mutable std::string scratch_;
};
