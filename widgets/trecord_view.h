// A table's records in the order a view shows them, and the moves in it.
#pragma once

#include <memory>

#include "storage/table/record_order.h"
#include "storage/table/tlb_csv_observer.h"

class RecordSet;
class TLbCsv;

// The records of a table in the order a view shows them: the table's own,
// or a RecordOrder read up or down. The table keeps its order either way;
// the moves here (the grid's keys, the record actions) go through the rows
// as shown. Without an order every move is the table's own, flags and all;
// in an order the view keeps the flags of its own moves: at the beginning
// after First or a Prior on the first row, at the end after Last or a Next
// on the last, until the table moves or changes otherwise. Rows are 0-based,
// records 1-based; the pending record of an insert is the row after the
// last.
class TRecordView {
 public:
  explicit TRecordView(TLbCsv* table = nullptr) : table_(table) {}

  TLbCsv* Table() const { return table_; }
  // Another table: shown in its own order.
  void SetTable(TLbCsv* table);

  void SetOrder(std::unique_ptr<RecordOrder> order, bool descending);
  void ClearOrder();
  bool Ordered() const { return order_ != nullptr; }
  bool Descending() const { return descending_; }

  int RecordOfRow(int row);
  int RowOfRecord(int record);
  // The row of the table's current record.
  int CurrentRow();

  void First();
  void Prior();
  void Next();
  void Last();
  void Skip(int rows);
  void MoveToRow(int row);
  bool AtBeginning() const;
  bool AtEnd() const;

  // The table told its views something: after a move or a change the view
  // did not make, its flags are the table's again.
  void TableEvent(TDataEvent event);

  // The first row from `row` on (`forward`) or back that shows a record of
  // `set`; -1 for none.
  int NextRow(const RecordSet& set, int row, bool forward);
  // How many rows before `row` show a record of `set`.
  int CountBefore(const RecordSet& set, int row);

 private:
  enum class Edge { None, Beginning, End };
  int Count() const;
  // To the record of `row` (clamped), a move of the view's own.
  void Go(int row, Edge edge);

  TLbCsv* table_;
  std::unique_ptr<RecordOrder> order_;
  bool descending_ = false;
  Edge edge_ = Edge::None;
  bool moving_ = false;
};
