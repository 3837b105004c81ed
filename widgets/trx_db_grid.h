// The archive grid TRxDBGrid.
#pragma once

#include <QFont>
#include <QTableView>
#include <functional>
#include <string>

#include "storage/table/record_order.h"
#include "widgets/tarchive_model.h"
#include "widgets/tdata_source.h"
#include "widgets/trecord_view.h"
#include "widgets/ttitle_button_header.h"

class QScrollBar;
class TDataLink;
class TLbCsv;
class TPrompter;

// Read-only grid over a data source's table: whole-row selection that always
// shows and always follows the table's current record, title buttons, record
// moves by mouse, wheel and keys, Ctrl+Delete after a "Delete record?" box.
// The vertical scroll bar stands for the current record among all records.
// A click on a title sorts the rows by that column (again: the other way),
// a view only: the table keeps its order, the current record stays current,
// and every move of the grid and of the record actions goes through the
// rows as shown.
class TRxDBGrid : public QTableView {
  Q_OBJECT

 public:
  explicit TRxDBGrid(QWidget* parent = nullptr);
  ~TRxDBGrid() override;
  TRxDBGrid(const TRxDBGrid&) = delete;
  TRxDBGrid& operator=(const TRxDBGrid&) = delete;

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const;
  // A column showing `fieldName`, titled with it.
  void AddColumn(const QString& fieldName, int width);
  void SetTitleFont(const QFont& font);
  QFont TitleFont() const;

  // Number of data rows that fit wholly in the grid (at least one).
  int VisibleRowCount() const;
  // The column last clicked, which CellClick reports.
  int SelectedColumn() const { return column_; }
  TArchiveModel* ArchiveModel() const { return model_; }
  TTitleButtonHeader* TitleHeader() const { return header_; }
  QScrollBar* RecordScrollBar() const { return recordBar_; }

  // Asks the Ctrl+Delete question, and takes the table errors raised by the
  // grid's own moves and deletes; handed over by the owner.
  void SetPrompter(TPrompter* prompter) { prompter_ = prompter; }
  // How Ctrl+Delete deletes the current record, once confirmed: by the rules
  // that keep the table's store (the archive writes the change through).
  // Without one the table's own Delete is used.
  void SetRecordDeleter(std::function<void()> deleter) { deleter_ = std::move(deleter); }

  // What a sort by a column compares: made for the table and the column's
  // field; without one, the values as they are.
  using SortKeys = std::function<RecordOrder::Key(const TLbCsv& table, const std::string& field)>;
  void SetSortKeys(SortKeys keys) { sortKeys_ = std::move(keys); }
  // Sorts by `column`, up; the same column again, down.
  void SortByColumn(int column);
  // Back to the table's own order.
  void ShowTableOrder();
  // The column sorted by, -1 for none.
  int SortColumn() const { return header_->SortMarkSection(); }
  TRecordView& RecordView() { return view_; }

 signals:
  // The left button was released over a data row of a table holding records.
  void CellClick(int column);
  void DblClick();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  void updateGeometries() override;

 private:
  enum class KeyMove {
    None,
    Prior,
    Next,
    PageBack,
    PageOn,
    First,
    Last,
    TopRow,
    BottomRow,
    Cancel
  };

  TLbCsv* ActiveTable() const;
  void ApplyKeyMove(TLbCsv& table, KeyMove move);
  void OnDataEvent(TDataEvent event);
  void FollowCursor();
  void KeepCurrentVisible();
  void UpdateRecordBar();
  void OnRecordBarAction(int action);
  void MoveToRow(int row);
  int TopRow() const;
  int BottomRow() const;
  void WheelRecords(int angleDelta);
  void ConfirmDelete();
  bool AcquireFocus();
  void FitRowHeight();
  void KeepTopRowWhole();

  // Runs a move or delete of the grid's own; errors go to the prompter.
  void Guarded(const std::function<void()>& work);

  TDataLink* link_;
  TRecordView view_;
  SortKeys sortKeys_;
  std::function<void()> deleter_;
  TPrompter* prompter_ = nullptr;
  TArchiveModel* model_;
  TTitleButtonHeader* header_;
  QScrollBar* recordBar_;
  int column_ = 0;
  int wheelDelta_ = 0;
  bool leftPressed_ = false;  // a left press in the data area awaits its release
};
