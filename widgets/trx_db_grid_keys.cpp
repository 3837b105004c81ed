// The grid's keys: moves through the records, Esc, and Ctrl+Delete.
#include <QKeyEvent>
#include <algorithm>

#include "storage/table/tlb_csv.h"
#include "widgets/tprompter.h"
#include "widgets/trx_db_grid.h"

void TRxDBGrid::keyPressEvent(QKeyEvent* event) {
  const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
  const bool alt = event->modifiers().testFlag(Qt::AltModifier);
  KeyMove move = KeyMove::None;
  switch (event->key()) {
    case Qt::Key_Up:
      move = ctrl ? KeyMove::TopRow : KeyMove::Prior;
      break;
    case Qt::Key_Down:
      move = ctrl ? KeyMove::BottomRow : KeyMove::Next;
      break;
    case Qt::Key_Left:
      move = KeyMove::Prior;
      break;
    case Qt::Key_Right:
      move = KeyMove::Next;
      break;
    case Qt::Key_PageUp:
      move = ctrl ? KeyMove::TopRow : KeyMove::PageBack;
      break;
    case Qt::Key_PageDown:
      move = ctrl ? KeyMove::BottomRow : KeyMove::PageOn;
      break;
    case Qt::Key_Home:
      move = KeyMove::First;
      break;
    case Qt::Key_End:
      move = KeyMove::Last;
      break;
    case Qt::Key_Escape:
      move = KeyMove::Cancel;
      break;
    case Qt::Key_Delete:
      if (ctrl) {
        event->accept();
        ConfirmDelete();
        return;
      }
      break;
    case Qt::Key_Insert:
    case Qt::Key_F2:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      break;
    default:
      // Typed characters do nothing here; anything else is not the grid's.
      if (event->text().isEmpty() || ctrl || alt) {
        event->ignore();
        return;
      }
      break;
  }
  event->accept();
  TLbCsv* table = ActiveTable();
  if (table != nullptr && move != KeyMove::None) Guarded([&] { ApplyKeyMove(*table, move); });
}

void TRxDBGrid::ApplyKeyMove(TLbCsv& table, KeyMove move) {
  switch (move) {
    case KeyMove::None:
      break;
    case KeyMove::Prior:
      view_.Prior();
      break;
    case KeyMove::Next:
      view_.Next();
      break;
    case KeyMove::PageBack:
      view_.Skip(-VisibleRowCount());
      break;
    case KeyMove::PageOn:
      view_.Skip(VisibleRowCount());
      break;
    case KeyMove::First:
      view_.First();
      break;
    case KeyMove::Last:
      view_.Last();
      break;
    case KeyMove::TopRow:
      MoveToRow(TopRow());
      break;
    case KeyMove::BottomRow:
      MoveToRow(BottomRow());
      break;
    case KeyMove::Cancel:
      table.Cancel();
      break;
  }
}

void TRxDBGrid::MoveToRow(int row) { view_.MoveToRow(row); }

int TRxDBGrid::TopRow() const { return std::max(0, rowAt(0)); }

int TRxDBGrid::BottomRow() const {
  return std::min(model_->rowCount() - 1, TopRow() + VisibleRowCount() - 1);
}

void TRxDBGrid::ConfirmDelete() {
  TLbCsv* table = ActiveTable();
  if (table == nullptr || !table->Writable() || (table->AtBeginning() && table->AtEnd())) return;
  if (!TPrompter::Ask(prompter_, this, QStringLiteral("Confirm"),
                      QStringLiteral("Delete record?"))) {
    return;
  }
  // The table may have changed while the question waited.
  if (TLbCsv* now = ActiveTable(); now != nullptr && !(now->AtBeginning() && now->AtEnd())) {
    Guarded([&] { deleter_ ? deleter_() : now->Delete(); });
  }
}
