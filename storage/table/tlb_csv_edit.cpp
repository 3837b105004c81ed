// Changing a table through its cursor: inserting, editing, posting,
// cancelling and deleting records, and the merged lines of its file put in
// place of its own.
#include <algorithm>
#include <string>
#include <utility>

#include "storage/table/record_format.h"
#include "storage/table/table_file.h"
#include "storage/table/tlb_csv.h"
#include "storage/table/tlb_csv_impl.h"

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
    d_->edits.Appended(d_->recordCount);
  } else if (d_->modified) {
    // An edit that wrote nothing leaves the line as it was read.
    const std::size_t index = static_cast<std::size_t>(d_->current) + 1;
    std::string line = WriteRecord(d_->values);
    d_->Lose(d_->file.Line(index));
    d_->changes.added.push_back(line);
    d_->file.Replace(index, std::move(line));
    d_->edits.Replaced(static_cast<int>(index));
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
  d_->edits.Erased(static_cast<int>(index));
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

const TTableChanges& TLbCsv::Changes() const { return d_->changes; }
TTableChanges TLbCsv::TakeChanges() { return std::exchange(d_->changes, {}); }

void TLbCsv::ReplaceLines(TableFile lines, int current) {
  d_->RequireOpen();
  if (d_->Pending()) d_->Fail("Dataset not in browse mode");
  if (lines.LineCount() == 0) throw TableError("List index out of bounds (0)");
  d_->file = std::move(lines);
  d_->edits.Reset();
  d_->recordCount = static_cast<int>(d_->file.LineCount() - 1);
  d_->current = d_->recordCount > 0 ? std::clamp(current, 1, d_->recordCount) - 1 : -1;
  d_->SettleFlags();
  d_->ReadCurrent();
  d_->Notify(TDataEvent::DataSetChanged);
}

void TLbCsv::TakeInLines(const std::vector<std::size_t>& erase, std::vector<std::string> append,
                         int current) {
  d_->RequireOpen();
  if (d_->Pending()) d_->Fail("Dataset not in browse mode");
  // From the last, so that the indexes still to go stay true.
  for (auto at = erase.rbegin(); at != erase.rend(); ++at) {
    d_->file.Erase(*at);
    d_->edits.Erased(static_cast<int>(*at));
  }
  for (std::string& line : append) {
    d_->file.Append(std::move(line));
    d_->edits.Appended(static_cast<int>(d_->file.LineCount() - 1));
  }
  d_->recordCount = static_cast<int>(d_->file.LineCount() - 1);
  d_->current = d_->recordCount > 0 ? std::clamp(current, 1, d_->recordCount) - 1 : -1;
  d_->SettleFlags();
  d_->ReadCurrent();
  d_->Notify(TDataEvent::DataSetChanged);
}

void TLbCsv::SetFieldText(const TStringField& field, const std::string& value) {
  if (!d_->Pending()) d_->Fail("Dataset not in edit or insert mode");
  if (!d_->IsColumn(field)) d_->Fail("Field '" + field.FieldName() + "' not found");
  d_->values[field.Index()] = value.substr(0, TStringField::Size());
  d_->modified = true;
  d_->Notify(TDataEvent::FieldChanged);
}
