// The grid's mouse: focus on every press, record moves by click and wheel,
// double clicks, and the title row's presses.
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>

#include "storage/table/tlb_csv.h"
#include "widgets/trx_db_grid.h"

namespace {

constexpr int kWheelStep = 120;  // one notch of a standard wheel

}  // namespace

bool TRxDBGrid::AcquireFocus() {
  if (focusPolicy() == Qt::NoFocus) return true;
  if (!hasFocus()) setFocus(Qt::MouseFocusReason);
  // Another control's focus-loss handling may have sent the focus elsewhere.
  return window()->focusWidget() == this;
}

void TRxDBGrid::mousePressEvent(QMouseEvent* event) {
  if (!AcquireFocus()) return;
  if (event->button() == Qt::LeftButton) leftPressed_ = true;
  const QPoint pos = event->position().toPoint();
  const int row = rowAt(pos.y());
  const int column = columnAt(pos.x());
  if (row < 0 || column < 0) return;
  column_ = column;
  if (ActiveTable() != nullptr) Guarded([&] { MoveToRow(row); });
  FollowCursor();
}

void TRxDBGrid::mouseMoveEvent(QMouseEvent* event) {
  // No drag selection: the highlighted row is always the current record.
  event->accept();
}

void TRxDBGrid::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !leftPressed_) return;
  leftPressed_ = false;
  const QPoint pos = event->position().toPoint();
  if (rowAt(pos.y()) < 0 || columnAt(pos.x()) < 0) return;
  // The blank row of an empty table has no record to report.
  TLbCsv* table = ActiveTable();
  if (table == nullptr || table->RecordCount() == 0) return;
  emit CellClick(column_);
}

void TRxDBGrid::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    mousePressEvent(event);
    return;
  }
  if (!AcquireFocus()) return;
  leftPressed_ = false;  // its release is no click
  emit DblClick();
}

void TRxDBGrid::wheelEvent(QWheelEvent* event) {
  const int delta = event->angleDelta().y();
  if (delta == 0) {
    QTableView::wheelEvent(event);  // a sideways wheel scrolls the columns
    return;
  }
  event->accept();
  WheelRecords(delta);
}

void TRxDBGrid::WheelRecords(int angleDelta) {
  TLbCsv* table = ActiveTable();
  if (table == nullptr) return;
  wheelDelta_ += angleDelta;
  Guarded([&] {
    for (; wheelDelta_ >= kWheelStep; wheelDelta_ -= kWheelStep) view_.Prior();
    for (; wheelDelta_ <= -kWheelStep; wheelDelta_ += kWheelStep) view_.Next();
  });
}

bool TRxDBGrid::eventFilter(QObject* watched, QEvent* event) {
  if (watched == recordBar_ && event->type() == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    if (wheel->angleDelta().y() != 0) WheelRecords(wheel->angleDelta().y());
    return true;
  }
  if (watched == header_->viewport()) {
    if (event->type() == QEvent::MouseButtonPress) return !AcquireFocus();
    if (event->type() == QEvent::MouseButtonDblClick) {
      auto* click = static_cast<QMouseEvent*>(event);
      if (click->button() != Qt::LeftButton) return !AcquireFocus();
      if (AcquireFocus()) emit DblClick();
      return true;
    }
  }
  return QTableView::eventFilter(watched, event);
}
