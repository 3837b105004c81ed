#include "widgets/trx_db_grid.h"

#include <QFocusEvent>
#include <QScrollBar>
#include <algorithm>
#include <memory>

#include "storage/table/record_format.h"
#include "storage/table/tlb_csv.h"
#include "widgets/byte_text.h"
#include "widgets/tdata_link.h"
#include "widgets/tprompter.h"

TRxDBGrid::TRxDBGrid(QWidget* parent)
    : QTableView(parent),
      link_(new TDataLink(this, [this](TDataEvent event) { OnDataEvent(event); })),
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
  link_->SetRecordView(&view_);
  model_->SetRecordView(&view_);
  connect(header_, &TTitleButtonHeader::TitleClicked, this, &TRxDBGrid::SortByColumn);
  connect(horizontalScrollBar(), &QScrollBar::valueChanged, header_,
          &TTitleButtonHeader::CancelTracking);

  FitRowHeight();
}

TRxDBGrid::~TRxDBGrid() = default;

void TRxDBGrid::SetDataSource(TDataSource* source) { link_->SetDataSource(source); }

TDataSource* TRxDBGrid::DataSource() const { return link_->DataSource(); }

void TRxDBGrid::Guarded(const std::function<void()>& work) {
  TPrompter::Guard(prompter_, this, work);
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
  TLbCsv* table = link_->DataSet();
  return table != nullptr && table->Active() ? table : nullptr;
}

void TRxDBGrid::SortByColumn(int column) {
  TLbCsv* table = link_->DataSet();
  const QString field = model_->FieldName(column);
  if (table == nullptr || field.isEmpty()) return;
  const bool descending = header_->SortMarkSection() == column && !view_.Descending();
  const std::string name = ToBytes(field);
  RecordOrder::Key key = sortKeys_ ? sortKeys_(*table, name) : RecordOrder::Key{};
  if (!key) {
    auto at = std::make_shared<int>(-1);
    key = [table, name, at](std::string_view line, std::string& value) {
      if (*at < 0) *at = static_cast<int>(table->FieldNamed(name).Index());
      ValueAt(line, *at, value);
    };
  }
  Guarded([&] {
    auto order = std::make_unique<RecordOrder>(*table, std::move(key));
    order->Size();  // sorted now, while the user waits for it
    view_.SetOrder(std::move(order), descending);
    header_->SetSortMark(column, descending);
  });
  model_->OrderChanged();
  FollowCursor();
}

void TRxDBGrid::ShowTableOrder() {
  view_.ClearOrder();
  header_->SetSortMark(-1, false);
  model_->OrderChanged();
  FollowCursor();
}

void TRxDBGrid::OnDataEvent(TDataEvent event) {
  TLbCsv* table = link_->DataSet();
  if (view_.Table() != table) header_->SetSortMark(-1, false);
  view_.SetTable(table);
  view_.TableEvent(event);
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
  const int row = std::clamp(view_.CurrentRow(), 0, rows - 1);
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
    recordBar_->setValue(view_.CurrentRow() + 1);
  }
}

void TRxDBGrid::OnRecordBarAction(int action) {
  TLbCsv* table = ActiveTable();
  if (table == nullptr) return;
  Guarded([&] {
    switch (action) {
      case QAbstractSlider::SliderSingleStepAdd:
        view_.Next();
        break;
      case QAbstractSlider::SliderSingleStepSub:
        view_.Prior();
        break;
      case QAbstractSlider::SliderPageStepAdd:
        view_.Skip(VisibleRowCount());
        break;
      case QAbstractSlider::SliderPageStepSub:
        view_.Skip(-VisibleRowCount());
        break;
      case QAbstractSlider::SliderToMinimum:
        view_.First();
        break;
      case QAbstractSlider::SliderToMaximum:
        view_.Last();
        break;
      case QAbstractSlider::SliderMove:
        if (recordBar_->sliderPosition() != view_.CurrentRow() + 1) {
          view_.MoveToRow(recordBar_->sliderPosition() - 1);
        }
        break;
      default:
        break;
    }
  });
  UpdateRecordBar();
}

void TRxDBGrid::focusOutEvent(QFocusEvent* event) {
  QTableView::focusOutEvent(event);
  // Leaving the grid for another control drops an insert nobody has written to.
  if (event->reason() == Qt::PopupFocusReason || event->reason() == Qt::ActiveWindowFocusReason) {
    return;
  }
  TLbCsv* table = ActiveTable();
  if (table != nullptr && table->State() == TDataSetState::Insert && !table->Modified()) {
    Guarded([&] { table->Cancel(); });
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

void TRxDBGrid::scrollContentsBy(int dx, int dy) {
  QTableView::scrollContentsBy(dx, dy);
  if (dy != 0) KeepTopRowWhole();
}

void TRxDBGrid::updateGeometries() {
  QTableView::updateGeometries();
  KeepTopRowWhole();
}

void TRxDBGrid::KeepTopRowWhole() {
  // At the end of its range Qt lines the last row up with the bottom edge,
  // cutting the top row; the grid shows whole rows from the top, as many as
  // fit, and leaves the rest of the bottom blank.
  QHeaderView* rows = verticalHeader();
  const int top = verticalScrollBar()->value();
  if (top < 0 || top >= rows->count()) return;
  const int offset = rows->sectionPosition(rows->logicalIndex(top));
  if (rows->offset() == offset) return;
  rows->setOffset(offset);
  viewport()->update();
}

void TRxDBGrid::FitRowHeight() {
  verticalHeader()->setMinimumSectionSize(1);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 3);
}
