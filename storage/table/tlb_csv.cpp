#include "storage/table/tlb_csv.h"

#include <algorithm>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "engine/ascii_case.h"
#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv_impl.h"
#include "storage/table_error.h"

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
  d_->edits.Reset();
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

const RecordEdits& TLbCsv::Edits() const { return d_->edits; }
const TableFile& TLbCsv::Lines() const { return d_->file; }
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
