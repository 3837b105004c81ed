// A data-aware control's link to its data source.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

#include "widgets/tdata_source.h"

class QWidget;
class TLbCsv;
class TRecordView;

// A data-aware control's link to its data source: it tells the control of
// every event of the linked table (and, as ActiveChanged, of the data source
// being replaced or destroyed), and registers the control with the data
// source, which is how a record action finds a control showing its table.
class TDataLink : public QObject {
  Q_OBJECT

 public:
  // The link is a child of `view`. `onEvent` runs after every change.
  TDataLink(QWidget* view, std::function<void(TDataEvent)> onEvent);
  ~TDataLink() override;
  TDataLink(const TDataLink&) = delete;
  TDataLink& operator=(const TDataLink&) = delete;

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const { return source_; }
  // The linked table, if any; open or not.
  TLbCsv* DataSet() const;
  QWidget* View() const { return view_; }

  // The control is showing a data source bound to a table: it can serve a
  // record action.
  bool Serving() const;
  // The order the control shows the records in, which the record actions
  // move through; none for the table's own.
  void SetRecordView(TRecordView* view) { recordView_ = view; }
  TRecordView* RecordView() const { return recordView_; }

 private:
  QWidget* view_;
  std::function<void(TDataEvent)> onEvent_;
  QPointer<TDataSource> source_;
  TRecordView* recordView_ = nullptr;
};
