// What a view of a table cursor is told.
#pragma once

// What a view of a table is told; it then reads again what it shows.
enum class TDataEvent {
  ActiveChanged,   // the table opened or closed
  StateChanged,    // browse / edit / insert changed
  RecordChanged,   // another record became current (a move)
  DataSetChanged,  // records were added, removed or replaced (post, cancel, delete)
  FieldChanged,    // a value of the pending record was written
};

class TLbCsv;

// A view attached to a table cursor. Plain observer: the storage layer knows no
// toolkit.
class TLbCsvObserver {
 public:
  virtual ~TLbCsvObserver() = default;
  virtual void DataEvent(TLbCsv& table, TDataEvent event) = 0;
};
