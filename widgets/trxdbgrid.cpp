#include "widgets/trxdbgrid.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <utility>
#include <vector>

#include "storage/tlbcsv.h"
#include "widgets/tdataset_action.h"

namespace {

std::vector<TRxDBGrid*>& Registry() {
  static std::vector<TRxDBGrid*> grids;
  return grids;
}

TErrorHook& Errors() {
  static TErrorHook hook;
  return hook;
}

constexpr int kWheelStep = 120;  // one notch of a standard wheel

}  // namespace

TRxDBGrid::TRxDBGrid(QWidget* parent)
    : QTableView(parent),
      model_(new TArchiveModel(this)),
      header_(new TTitleButtonHeader(this)),
      recordBar_(new QScrollBar(Qt::Vertical, this)) {
  setHorizontalHeader(header_);
  setModel(model_);
  verticalHeader()->hide();
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  setCornerButtonEnabled(false);
  setShowGrid(true);
  setWordWrap(false);
  setTextElideMode(Qt::ElideNone);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setTabKeyNavigation(false);
  setAutoScroll(false);
  setDragEnabled(false);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setFocusPolicy(Qt::StrongFocus);

  // The current row stays highlighted without the focus.
  QPalette colours = palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
  }
  setPalette(colours);

  // The view's own vertical bar keeps the scroll offset and decides when a bar
  // is needed; the bar shown in its place stands for the current record.
  recordBar_->setFocusPolicy(Qt::NoFocus);
  recordBar_->setRange(1, 1);
  addScrollBarWidget(recordBar_, Qt::AlignTop);
  verticalScrollBar()->hide();
  connect(recordBar_, &QScrollBar::actionTriggered, this, &TRxDBGrid::OnRecordBarAction);
  recordBar_->installEventFilter(this);

  header_->viewport()->installEventFilter(this);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, header_,
          &TTitleButtonHeader::CancelTracking);

  FitRowHeight();
  Registry().push_back(this);
}

TRxDBGrid::~TRxDBGrid() { std::erase(Registry(), this); }

const std::vector<TRxDBGrid*>& TRxDBGrid::Grids() { return Registry(); }

void TRxDBGrid::SetErrorHandler(TErrorHook::Handler handler) { Errors().Set(std::move(handler)); }

bool TRxDBGrid::ServesAction(const TDataSetAction& action) const {
  return isVisible() && action.HandlesTarget(source_);
}

void TRxDBGrid::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_ != nullptr) disconnect(source_, nullptr, this, nullptr);
  source_ = source;
  if (source_ != nullptr) {
    connect(source_, qOverload<TDataEvent>(&TDataSource::DataEvent), this, &TRxDBGrid::OnDataEvent);
    connect(source_, &QObject::destroyed, this, [this] {
      source_ = nullptr;
      model_->SetTable(nullptr);
      FollowCursor();
    });
  }
  model_->SetTable(source_ != nullptr ? source_->DataSet() : nullptr);
  FollowCursor();
}

void TRxDBGrid::AddColumn(const QString& fieldName, int width) {
  model_->AddColumn(fieldName);
  setColumnWidth(model_->columnCount() - 1, width);
  FollowCursor();
}

void TRxDBGrid::SetTitleFont(const QFont& font) {
  header_->setFont(font);
  updateGeometries();
}

QFont TRxDBGrid::TitleFont() const { return header_->font(); }

int TRxDBGrid::VisibleRowCount() const {
  const int rowHeight = std::max(1, verticalHeader()->defaultSectionSize());
  return std::max(1, viewport()->height() / rowHeight);
}

TLbCsv* TRxDBGrid::ActiveTable() const {
  TLbCsv* table = source_ != nullptr ? source_->DataSet() : nullptr;
  return table != nullptr && table->Active() ? table : nullptr;
}

void TRxDBGrid::OnDataEvent(TDataEvent event) {
  TLbCsv* table = source_ != nullptr ? source_->DataSet() : nullptr;
  if (model_->Table() != table) {
    model_->SetTable(table);
  } else {
    model_->TableEvent(event);
  }
  FollowCursor();
}

void TRxDBGrid::FollowCursor() {
  TLbCsv* table = ActiveTable();
  const int rows = model_->rowCount();
  const int columns = model_->columnCount();
  if (table == nullptr || rows == 0 || columns == 0) {
    selectionModel()->clear();
    UpdateRecordBar();
    return;
  }
  const int row = std::clamp(table->RecordNumber() - 1, 0, rows - 1);
  const QModelIndex current = model_->index(row, std::clamp(column_, 0, columns - 1));
  selectionModel()->setCurrentIndex(
      current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
  KeepCurrentVisible();
}

void TRxDBGrid::KeepCurrentVisible() {
  const QModelIndex current = currentIndex();
  if (current.isValid()) {
    // Scroll rows only: the columns stay where the user put them.
    const int sideways = horizontalScrollBar()->value();
    scrollTo(current, QAbstractItemView::EnsureVisible);
    horizontalScrollBar()->setValue(sideways);
  }
  UpdateRecordBar();
}

void TRxDBGrid::UpdateRecordBar() {
  TLbCsv* table = ActiveTable();
  const int count = table != nullptr ? table->RecordCount() : 0;
  recordBar_->setRange(1, std::max(1, count));
  recordBar_->setPageStep(VisibleRowCount());
  // While a record is being inserted the bar keeps its position.
  if (table != nullptr && table->State() != TDataSetState::Insert) {
    recordBar_->setValue(table->RecordNumber());
  }
}

void TRxDBGrid::OnRecordBarAction(int action) {
  TLbCsv* table = ActiveTable();
  if (table == nullptr) return;
  Errors().Run([&] {
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        table->Next();
        break;
      case QAbstractSlider::SliderSingleStepSub:
        table->Prior();
        break;
      case QAbstractSlider::SliderPageStepAdd:
        table->Skip(VisibleRowCount());
        break;
      case QAbstractSlider::SliderPageStepSub:
        table->Skip(-VisibleRowCount());
        break;
      case QAbstractSlider::SliderToMinimum:
        table->First();
        break;
      case QAbstractSlider::SliderToMaximum:
        table->Last();
        break;
      case QAbstractSlider::SliderMove:
        if (recordBar_->sliderPosition() != table->RecordNumber()) {
          table->SetRecordNumber(recordBar_->sliderPosition());
        }
        break;
      default:
        break;
    }
  });
  UpdateRecordBar();
}

void TRxDBGrid::MoveToRow(TLbCsv& table, int row) {
  if (table.RecordCount() == 0) return;
  const int current = table.RecordNumber() - 1;
  if (row == current) return;
  if (table.State() == TDataSetState::Browse) {
    table.Skip(row - current);
  } else {
    // Finishing the pending record may shift rows; a number stays right.
    table.SetRecordNumber(row + 1);
  }
}

int TRxDBGrid::TopRow() const { return std::max(0, rowAt(0)); }

int TRxDBGrid::BottomRow() const {
  return std::min(model_->rowCount() - 1, TopRow() + VisibleRowCount() - 1);
}

void TRxDBGrid::WheelRecords(int angleDelta) {
  TLbCsv* table = ActiveTable();
  if (table == nullptr) return;
  wheelDelta_ += angleDelta;
  Errors().Run([&] {
    for (; wheelDelta_ >= kWheelStep; wheelDelta_ -= kWheelStep) table->Prior();
    for (; wheelDelta_ <= -kWheelStep; wheelDelta_ += kWheelStep) table->Next();
  });
}

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
  if (table != nullptr && move != KeyMove::None) Errors().Run([&] { ApplyKeyMove(*table, move); });
}

void TRxDBGrid::ApplyKeyMove(TLbCsv& table, KeyMove move) {
  switch (move) {
    case KeyMove::None:
      break;
    case KeyMove::Prior:
      table.Prior();
      break;
    case KeyMove::Next:
      table.Next();
      break;
    case KeyMove::PageBack:
      table.Skip(-VisibleRowCount());
      break;
    case KeyMove::PageOn:
      table.Skip(VisibleRowCount());
      break;
    case KeyMove::First:
      table.First();
      break;
    case KeyMove::Last:
      table.Last();
      break;
    case KeyMove::TopRow:
      MoveToRow(table, TopRow());
      break;
    case KeyMove::BottomRow:
      MoveToRow(table, BottomRow());
      break;
    case KeyMove::Cancel:
      table.Cancel();
      break;
  }
}

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
  if (TLbCsv* table = ActiveTable()) Errors().Run([&] { MoveToRow(*table, row); });
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

void TRxDBGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  // Leaving the grid for another control drops an insert nobody has written to.
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
    return;
  }
  TLbCsv* table = ActiveTable();
  if (table != nullptr && table->State() == TDataSetState::Insert && !table->Modified()) {
    Errors().Run([&] { table->Cancel(); });
  }
}

void TRxDBGrid::resizeEvent(QResizeEvent* event) {
  QTableView::resizeEvent(event);
  KeepCurrentVisible();
}

void TRxDBGrid::showEvent(QShowEvent* event) {
  QTableView::showEvent(event);
  KeepCurrentVisible();
}

void TRxDBGrid::changeEvent(QEvent* event) {
  QTableView::changeEvent(event);
  if (event->type() == QEvent::FontChange) FitRowHeight();
}

void TRxDBGrid::FitRowHeight() {
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
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

void TRxDBGrid::ConfirmDelete() {
  TLbCsv* table = ActiveTable();
  if (table == nullptr || !table->Writable() || (table->AtBeginning() && table->AtEnd())) return;
  // On the heap: whatever happens while it waits, it is deleted once.
  const QPointer<QMessageBox> box =
      new QMessageBox(QMessageBox::Question, QStringLiteral("Confirm"),
                      QStringLiteral("Delete record?"), QMessageBox::NoButton, this);
  QPushButton* yes = box->addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
  box->setDefaultButton(yes);
  box->setEscapeButton(no);
  box->adjustSize();
  if (const QScreen* shown = screen()) {
    box->move(shown->availableGeometry().center() - box->rect().center());
  }
  box->exec();
  if (box == nullptr) return;
  const bool confirmed = box->clickedButton() == yes;
  delete box;
  if (!confirmed) return;
  // The table may have changed while the box waited.
  if (TLbCsv* now = ActiveTable(); now != nullptr && !(now->AtBeginning() && now->AtEnd())) {
    Errors().Run([&] { now->Delete(); });
  }
}
