// The inside of the table cursor, for the files that implement it.
#pragma once

// The inside of the table cursor, shared by the files that implement it.
#include <algorithm>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "storage/table/record_edits.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "storage/table_error.h"

struct TLbCsv::Impl {
  explicit Impl(TLbCsv& owner, std::string componentName)
      : self(owner), name(std::move(componentName)) {}

  TLbCsv& self;
  std::string name;
  std::string tableName;
  bool readOnly = false;
  TDataSetState state = TDataSetState::Inactive;
  TableFile file;
  std::vector<std::unique_ptr<TStringField>> columns;
  // Columns of earlier openings: a caller may still hold one, so they live as
  // long as the cursor and read as having no record.
  std::vector<std::unique_ptr<TStringField>> retired;
  int recordCount = 0;
  int current = -1;  // 0-based; -1 before the first record, recordCount after the last
  bool atBeginning = true;
  bool atEnd = true;
  bool modified = false;
  // The current record's values, one per column: the pending ones during an
  // edit or insert; otherwise each read from its line when first asked for,
  // which read[i] tells. starts[0, located) are where the values of the first
  // columns begin on that line, so that a column is found by passing over
  // the ones before it, once.
  mutable std::vector<std::string> values;
  mutable std::vector<unsigned char> read;
  mutable std::vector<std::size_t> starts;
  mutable std::size_t located = 0;
  std::vector<TLbCsvObserver*> observers;
  int movesHeld = 0;      // TQuietWalk brackets open
  bool heldMove = false;  // a move made inside one, not yet told
  TTableChanges changes;
  RecordEdits edits;
  TTableSaver* saver = nullptr;

  [[noreturn]] void Fail(const std::string& message) const {
    throw TableError(name + ": " + message);
  }

  void RequireOpen() const {
    if (state == TDataSetState::Inactive) Fail("Cannot perform this operation on a closed dataset");
  }

  bool Pending() const { return state == TDataSetState::Edit || state == TDataSetState::Insert; }

  bool OnStoredRecord() const {
    return state != TDataSetState::Inactive && current >= 0 && current < recordCount;
  }

  bool HasCurrent() const { return state == TDataSetState::Insert || OnStoredRecord(); }

  bool IsColumn(const TStringField& field) const {
    return field.Index() < columns.size() && columns[field.Index()].get() == &field;
  }

  void ReadRecord(int number, std::vector<std::string>& into) const {
    ParseRecord(file.Line(static_cast<std::size_t>(number)), into);
    into.resize(columns.size());
  }

  // A move reads nothing yet: a column is parsed when it is asked for.
  void ReadCurrent() {
    const bool stored = OnStoredRecord();
    values.resize(columns.size());
    read.assign(columns.size(), stored ? 0 : 1);
    starts.resize(columns.size() + 1);
    starts[0] = 0;
    located = 1;
    if (!stored) {
      for (std::string& value : values) value.clear();
    }
  }

  const std::string& ValueOf(std::size_t index) const {
    if (read[index] == 0) ReadColumn(index);
    return values[index];
  }

  // Values are left unread only on a stored record.
  void ReadColumn(std::size_t index) const {
    const std::string_view line = file.Line(static_cast<std::size_t>(current) + 1);
    for (; located <= index; ++located) {
      std::size_t at = starts[located - 1];
      if (!SkipValue(line, at)) break;
      starts[located] = at;
    }
    std::size_t at = starts[index];
    // A missing value (short line, unclosed quote) reads as empty.
    if (index >= located || !ReadValue(line, at, values[index])) values[index].clear();
    read[index] = 1;
  }

  void ReadAll() const {
    for (std::size_t i = 0; i < values.size(); ++i) ValueOf(i);
  }

  void SetFlags(bool beginning, bool end) {
    atBeginning = beginning;
    atEnd = end;
  }

  // After Post, Cancel and Delete: a current record clears both flags, none
  // left sets them.
  void SettleFlags() {
    const bool none = recordCount == 0;
    SetFlags(none, none);
  }

  // A move first posts what was written to a pending record, or drops it.
  void FinishPending() {
    if (!Pending()) return;
    if (modified) {
      self.Post();
    } else {
      self.Cancel();
    }
  }

  struct Position {
    int current;
    bool atBeginning;
    bool atEnd;
  };
  Position Where() const { return {current, atBeginning, atEnd}; }

  // Reads the record a move reached, and tells the views when anything moved.
  void Arrived(const Position& before) {
    if (current != before.current) ReadCurrent();
    if (current == before.current && atBeginning == before.atBeginning && atEnd == before.atEnd) {
      return;
    }
    if (movesHeld > 0) {
      heldMove = true;
    } else {
      Notify(TDataEvent::RecordChanged);
    }
  }

  // A line gone from the list: one added since the changes were last taken
  // simply never happened.
  void Lose(std::string_view line) {
    const auto added = std::find(changes.added.begin(), changes.added.end(), line);
    if (added != changes.added.end()) {
      changes.added.erase(added);
    } else {
      changes.removed.emplace_back(line);
    }
  }

  void Release() {
    state = TDataSetState::Inactive;
    file = TableFile();
    for (auto& column : columns) retired.push_back(std::move(column));
    columns.clear();
    values.clear();
    read.clear();
    recordCount = 0;
    current = -1;
    modified = false;
    changes = {};
    edits.Reset();
    SetFlags(true, true);
  }

  // A view may detach itself, or others, while it is told.
  void Notify(TDataEvent event) {
    const std::vector<TLbCsvObserver*> told = observers;
    for (TLbCsvObserver* view : told) {
      if (std::find(observers.begin(), observers.end(), view) != observers.end()) {
        view->DataEvent(self, event);
      }
    }
  }
};
