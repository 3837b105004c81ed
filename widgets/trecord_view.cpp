#include "widgets/trecord_view.h"

#include <algorithm>

#include "storage/table/record_set.h"
#include "storage/table/tlb_csv.h"

void TRecordView::SetTable(TLbCsv* table) {
  if (table == table_) return;
  table_ = table;
  ClearOrder();
}

void TRecordView::SetOrder(std::unique_ptr<RecordOrder> order, bool descending) {
  order_ = std::move(order);
  descending_ = descending;
  edge_ = Edge::None;
}

void TRecordView::ClearOrder() {
  order_.reset();
  descending_ = false;
  edge_ = Edge::None;
}

int TRecordView::Count() const {
  return table_ != nullptr && table_->Active() ? table_->RecordCount() : 0;
}

int TRecordView::RecordOfRow(int row) {
  const int count = Count();
  if (!order_ || row < 0 || row >= count) return row + 1;
  return order_->RecordAt(descending_ ? count - 1 - row : row);
}

int TRecordView::RowOfRecord(int record) {
  const int count = Count();
  if (!order_ || record < 1 || record > count) return record - 1;
  const int position = order_->PositionOf(record);
  return descending_ ? count - 1 - position : position;
}

int TRecordView::CurrentRow() {
  return table_ != nullptr ? RowOfRecord(table_->RecordNumber()) : -1;
}

void TRecordView::Go(int row, Edge edge) {
  const int count = Count();
  if (count == 0) return;
  moving_ = true;
  try {
    table_->SetRecordNumber(RecordOfRow(std::clamp(row, 0, count - 1)));
  } catch (...) {
    moving_ = false;
    throw;
  }
  moving_ = false;
  edge_ = edge;
}

void TRecordView::First() {
  if (!order_) return table_->First();
  Go(0, Edge::Beginning);
}

void TRecordView::Prior() {
  if (!order_) return table_->Prior();
  const int row = CurrentRow();
  Go(row - 1, row <= 0 ? Edge::Beginning : Edge::None);
}

void TRecordView::Next() {
  if (!order_) return table_->Next();
  const int row = CurrentRow();
  Go(row + 1, row >= Count() - 1 ? Edge::End : Edge::None);
}

void TRecordView::Last() {
  if (!order_) return table_->Last();
  Go(Count() - 1, Edge::End);
}

void TRecordView::Skip(int rows) {
  if (!order_) {
    table_->Skip(rows);
    return;
  }
  const int target = CurrentRow() + rows;
  Go(target, target < 0 ? Edge::Beginning : target >= Count() ? Edge::End : Edge::None);
}

void TRecordView::MoveToRow(int row) {
  if (Count() == 0) return;
  const int current = CurrentRow();
  if (row == current) return;
  if (!order_ && table_->State() == TDataSetState::Browse) {
    table_->Skip(row - current);
  } else {
    // Finishing the pending record may shift rows; a record number stays right.
    Go(row, Edge::None);
  }
}

bool TRecordView::AtBeginning() const {
  if (!order_ || Count() == 0) return table_->AtBeginning();
  return edge_ == Edge::Beginning;
}

bool TRecordView::AtEnd() const {
  if (!order_ || Count() == 0) return table_->AtEnd();
  return edge_ == Edge::End;
}

void TRecordView::TableEvent(TDataEvent event) {
  if (moving_ || event == TDataEvent::FieldChanged || event == TDataEvent::StateChanged) return;
  edge_ = Edge::None;
}

int TRecordView::NextRow(const RecordSet& set, int row, bool forward) {
  const int count = Count();
  if (set.Empty() || count == 0) return -1;
  if (!order_) {
    const int record = forward ? set.NextFrom(row + 1) : set.PriorFrom(row + 1);
    return record > 0 ? record - 1 : -1;
  }
  for (int at = row; at >= 0 && at < count; at += forward ? 1 : -1) {
    if (set.Contains(RecordOfRow(at))) return at;
  }
  return -1;
}

int TRecordView::CountBefore(const RecordSet& set, int row) {
  if (!order_) return set.CountBefore(row + 1);
  int count = 0;
  for (int at = 0; at < row; ++at) count += set.Contains(RecordOfRow(at)) ? 1 : 0;
  return count;
}
