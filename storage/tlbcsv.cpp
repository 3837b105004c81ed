#include "storage/tlbcsv.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "engine/ascii_case.h"
#include "storage/record_format.h"
#include "storage/table_error.h"
#include "storage/table_file.h"

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

TLbCsv::TLbCsv(std::string name) : d_(std::make_unique<Impl>(*this, std::move(name))) {}

TLbCsv::~TLbCsv() {
  try {
    Close();
  } catch (...) {
    // The owner closes first where it wants to report a failed write-back.
  }
  if (d_->state == TDataSetState::Inactive) return;
  try {
    d_->Release();
    d_->Notify(TDataEvent::ActiveChanged);
  } catch (...) {
    // Nothing may leave a destructor, not even a view's failure.
  }
}

const std::string& TLbCsv::Name() const { return d_->name; }
void TLbCsv::SetName(const std::string& name) { d_->name = name; }
const std::string& TLbCsv::TableName() const { return d_->tableName; }

void TLbCsv::SetTableName(const std::string& path) {
  if (path == d_->tableName) return;
  Close();
  d_->tableName = path;
}

bool TLbCsv::ReadOnly() const { return d_->readOnly; }
void TLbCsv::SetReadOnly(bool readOnly) { d_->readOnly = readOnly; }
bool TLbCsv::Active() const { return d_->state != TDataSetState::Inactive; }
void TLbCsv::SetActive(bool active) { active ? Open() : Close(); }

void TLbCsv::Open() {
  if (Active()) return;
  Open(TableFile::Load(d_->tableName));
}

void TLbCsv::Open(TableFile file) {
  if (Active()) return;
  if (file.LineCount() == 0) throw TableError("List index out of bounds (0)");
  const std::vector<std::string> names = SplitHeader(file.Line(0));
  std::unordered_set<std::string> seen;
  for (const std::string& name : names) {
    if (name.empty()) d_->Fail("Field name missing");
    if (!seen.insert(LowerAscii(name)).second) {
      throw TableError("A component named " + name + " already exists");
    }
  }
  d_->columns.clear();
  for (std::size_t i = 0; i < names.size(); ++i) {
    d_->columns.push_back(std::make_unique<TStringField>(*this, names[i], i));
  }
  d_->recordCount = static_cast<int>(file.LineCount() - 1);
  d_->file = std::move(file);
  d_->state = TDataSetState::Browse;
  d_->modified = false;
  d_->current = d_->recordCount > 0 ? 0 : -1;
  d_->SetFlags(true, d_->recordCount == 0);
  d_->ReadCurrent();
  d_->Notify(TDataEvent::ActiveChanged);
}

void TLbCsv::Close() {
  if (!Active()) return;
  Cancel();
  // Written before anything is released: when the file cannot be replaced the
  // table stays open with every record, and closing can be tried again.
  if (!d_->readOnly) Save();
  Discard();
}

void TLbCsv::Discard() {
  if (!Active()) return;
  d_->Release();
  d_->Notify(TDataEvent::ActiveChanged);
}

void TLbCsv::Save() {
  d_->RequireOpen();
  if (d_->saver != nullptr) {
    d_->saver->Save(*this);
  } else {
    d_->file.WriteBack(d_->tableName);
  }
}

void TLbCsv::SetSaver(TTableSaver* saver) { d_->saver = saver; }
const TableFile& TLbCsv::Lines() const { return d_->file; }
const TTableChanges& TLbCsv::Changes() const { return d_->changes; }
TTableChanges TLbCsv::TakeChanges() { return std::exchange(d_->changes, {}); }

void TLbCsv::ReplaceLines(TableFile lines, int current) {
  d_->RequireOpen();
  if (d_->Pending()) d_->Fail("Dataset not in browse mode");
  if (lines.LineCount() == 0) throw TableError("List index out of bounds (0)");
  d_->file = std::move(lines);
  d_->recordCount = static_cast<int>(d_->file.LineCount() - 1);
  d_->current = d_->recordCount > 0 ? std::clamp(current, 1, d_->recordCount) - 1 : -1;
  d_->SettleFlags();
  d_->ReadCurrent();
  d_->Notify(TDataEvent::DataSetChanged);
}

int TLbCsv::RecordCount() const { return d_->recordCount; }

void TLbCsv::First() {
  d_->RequireOpen();
  d_->FinishPending();
  const Impl::Position before = d_->Where();
  d_->current = d_->recordCount > 0 ? 0 : -1;
  d_->SetFlags(true, d_->recordCount == 0);
  d_->Arrived(before);
}

void TLbCsv::Last() {
  d_->RequireOpen();
  d_->FinishPending();
  const Impl::Position before = d_->Where();
  d_->current = d_->recordCount > 0 ? d_->recordCount - 1 : d_->recordCount;
  d_->SetFlags(d_->recordCount == 0, true);
  d_->Arrived(before);
}

void TLbCsv::Next() { Skip(1); }
void TLbCsv::Prior() { Skip(-1); }

int TLbCsv::Skip(int n) {
  d_->RequireOpen();
  d_->FinishPending();
  if (n == 0 || (n > 0 && d_->atEnd) || (n < 0 && d_->atBeginning)) return 0;
  const Impl::Position before = d_->Where();
  d_->SetFlags(false, false);
  const long long wanted = n > 0 ? static_cast<long long>(n) : -static_cast<long long>(n);
  const long long room = n > 0 ? d_->recordCount - 1 - d_->current : d_->current;
  const int steps = static_cast<int>(std::clamp(wanted, 0LL, room < 0 ? 0LL : room));
  if (n > 0) {
    d_->current += steps;
    if (steps < wanted) d_->atEnd = true;
  } else {
    d_->current -= steps;
    if (steps < wanted) d_->atBeginning = true;
  }
  d_->Arrived(before);
  return n > 0 ? steps : -steps;
}

bool TLbCsv::AtBeginning() const { return d_->atBeginning; }
bool TLbCsv::AtEnd() const { return d_->atEnd; }
bool TLbCsv::Empty() const { return !d_->HasCurrent(); }
bool TLbCsv::Writable() const { return !d_->readOnly; }

int TLbCsv::RecordNumber() const {
  if (!Active()) return 0;
  if (d_->state == TDataSetState::Insert) return d_->recordCount + 1;
  return d_->OnStoredRecord() ? d_->current + 1 : 1;
}

void TLbCsv::SetRecordNumber(int number) {
  d_->RequireOpen();
  d_->FinishPending();
  if (d_->recordCount == 0) return;
  const Impl::Position before = d_->Where();
  d_->current = std::clamp(number, 1, d_->recordCount) - 1;
  d_->SetFlags(false, false);
  d_->Arrived(before);
}

TStringField& TLbCsv::FieldNamed(const std::string& name) {
  // Callers mostly write the name as the header does: try that first.
  for (const auto& column : d_->columns) {
    if (column->FieldName() == name) return *column;
  }
  for (const auto& column : d_->columns) {
    if (EqualIgnoringCase(column->FieldName(), name)) return *column;
  }
  d_->Fail("Field '" + name + "' not found");
}

int TLbCsv::FieldCount() const { return static_cast<int>(d_->columns.size()); }

TStringField& TLbCsv::Field(int index) {
  if (index < 0 || index >= FieldCount()) {
    throw TableError(std::string("List index out of bounds (") + std::to_string(index) + ")");
  }
  return *d_->columns[static_cast<std::size_t>(index)];
}

void TLbCsv::Insert() {
  d_->RequireOpen();
  if (d_->readOnly) d_->Fail("Cannot modify a read-only dataset");
  d_->FinishPending();
  d_->state = TDataSetState::Insert;
  d_->modified = false;
  d_->values.assign(d_->columns.size(), std::string());
  d_->read.assign(d_->values.size(), 1);
  d_->SetFlags(false, false);
  d_->Notify(TDataEvent::StateChanged);
}

void TLbCsv::Edit() {
  d_->RequireOpen();
  if (d_->Pending()) return;
  if (d_->recordCount == 0) {
    Insert();
    return;
  }
  if (d_->readOnly) d_->Fail("Cannot modify a read-only dataset");
  // The pending record is the whole record.
  d_->ReadAll();
  d_->state = TDataSetState::Edit;
  d_->modified = false;
  d_->Notify(TDataEvent::StateChanged);
}

void TLbCsv::Post() {
  if (!d_->Pending()) d_->Fail("Dataset not in edit or insert mode");
  if (d_->state == TDataSetState::Insert) {
    std::string line = WriteRecord(d_->values);
    d_->changes.added.push_back(line);
    d_->file.Append(std::move(line));
    ++d_->recordCount;
    d_->current = d_->recordCount - 1;
  } else if (d_->modified) {
    // An edit that wrote nothing leaves the line as it was read.
    const std::size_t index = static_cast<std::size_t>(d_->current) + 1;
    std::string line = WriteRecord(d_->values);
    d_->Lose(d_->file.Line(index));
    d_->changes.added.push_back(line);
    d_->file.Replace(index, std::move(line));
  }
  d_->state = TDataSetState::Browse;
  d_->modified = false;
  d_->SettleFlags();
  // Read back from the line, the only store, so the record shows what the
  // file will hold.
  d_->ReadCurrent();
  d_->Notify(TDataEvent::StateChanged);
  d_->Notify(TDataEvent::DataSetChanged);
}

void TLbCsv::Cancel() {
  if (!d_->Pending()) return;
  if (d_->state == TDataSetState::Insert) {
    d_->current = d_->recordCount > 0 ? d_->recordCount - 1 : -1;
    d_->SettleFlags();
  }
  d_->state = TDataSetState::Browse;
  d_->modified = false;
  d_->ReadCurrent();
  d_->Notify(TDataEvent::StateChanged);
  d_->Notify(TDataEvent::DataSetChanged);
}

void TLbCsv::Delete() {
  d_->RequireOpen();
  if (d_->state == TDataSetState::Insert) {
    Cancel();
    return;
  }
  if (d_->recordCount == 0) d_->Fail("Cannot perform this operation on an empty dataset");
  const bool wasEditing = d_->state == TDataSetState::Edit;
  const std::size_t index = static_cast<std::size_t>(d_->current) + 1;
  d_->Lose(d_->file.Line(index));
  d_->file.Erase(index);
  --d_->recordCount;
  d_->state = TDataSetState::Browse;
  d_->modified = false;
  if (d_->recordCount == 0) {
    d_->current = -1;
  } else {
    d_->current = std::min(d_->current, d_->recordCount - 1);
  }
  d_->SettleFlags();
  d_->ReadCurrent();
  if (wasEditing) d_->Notify(TDataEvent::StateChanged);
  d_->Notify(TDataEvent::DataSetChanged);
}

TDataSetState TLbCsv::State() const { return d_->state; }
bool TLbCsv::Modified() const { return d_->modified; }

std::vector<std::string> TLbCsv::RecordValues(int number) const {
  if (d_->Pending() && number == RecordNumber()) return d_->values;
  std::vector<std::string> values;
  if (Active() && number >= 1 && number <= d_->recordCount) {
    d_->ReadRecord(number, values);
  } else {
    values.resize(d_->columns.size());
  }
  return values;
}

void TLbCsv::Attach(TLbCsvObserver* view) {
  if (view != nullptr && std::ranges::find(d_->observers, view) == d_->observers.end()) {
    d_->observers.push_back(view);
  }
}

void TLbCsv::Detach(TLbCsvObserver* view) { std::erase(d_->observers, view); }

void TLbCsv::HoldMoves() { ++d_->movesHeld; }

void TLbCsv::ReleaseMoves() {
  if (d_->movesHeld == 0 || --d_->movesHeld > 0 || !d_->heldMove) return;
  d_->heldMove = false;
  d_->Notify(TDataEvent::RecordChanged);
}

const std::string* TLbCsv::FieldValue(const TStringField& field) const {
  if (!d_->IsColumn(field) || !d_->HasCurrent()) return nullptr;
  return &d_->ValueOf(field.Index());
}

void TLbCsv::SetFieldText(const TStringField& field, const std::string& value) {
  if (!d_->Pending()) d_->Fail("Dataset not in edit or insert mode");
  if (!d_->IsColumn(field)) d_->Fail("Field '" + field.FieldName() + "' not found");
  d_->values[field.Index()] = value.substr(0, TStringField::Size());
  d_->modified = true;
  d_->Notify(TDataEvent::FieldChanged);
}
