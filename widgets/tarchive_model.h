// A table's records as the grid's rows.
#pragma once

#include <QAbstractTableModel>
#include <QStringList>
#include <string>
#include <vector>

#include "storage/table/tlb_csv_observer.h"

class TLbCsv;
class TRecordView;

// The rows of a table for a grid: one per record, in the order of the
// grid's record view, plus the pending record during an insert (it is
// added after the last one); one blank row when the table has no records;
// none while it is closed. Only the rows a view asks for are read, through
// TLbCsv::RecordValues, so the cursor never moves.
class TArchiveModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  // A value longer than this is shown cut, with an ellipsis; the table keeps
  // it whole.
  static constexpr int kShownCharacters = 300;

  explicit TArchiveModel(QObject* parent = nullptr);

  void SetTable(TLbCsv* table);
  TLbCsv* Table() const { return table_; }
  // The order rows follow; none for the table's own.
  void SetRecordView(TRecordView* view) { view_ = view; }
  // Every row read again after the order changed, and the titles redrawn.
  void OrderChanged();

  // A column showing `fieldName` (matched ignoring case), titled with it.
  void AddColumn(const QString& fieldName);
  QString FieldName(int column) const;

  // Brings the rows in line with the table after it told its views something.
  void TableEvent(TDataEvent event);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

 private:
  int TableRowCount() const;
  void BindFields();
  const std::vector<std::string>& RowValues(int row) const;

  TLbCsv* table_ = nullptr;
  TRecordView* view_ = nullptr;
  QStringList fieldNames_;
  std::vector<int> fieldIndex_;  // the table column of each grid column, -1 when missing
  int rows_ = 0;                 // what the views were last told
  // A view paints cell after cell of one row: parse its line once.
  mutable int cachedRow_ = -1;
  mutable std::vector<std::string> cachedValues_;
};
