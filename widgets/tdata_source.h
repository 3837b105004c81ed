// The data source TDataSource linking a table to its views.
#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>

#include "storage/table/tlb_csv_observer.h"

Q_DECLARE_METATYPE(TDataEvent)

class TDataLink;

// Links one table to its views: attaches itself to the table and re-emits
// every event as the signal DataEvent. It knows the data links of the views
// showing it, which is where the record actions look for one to serve them.
// The table must outlive the link (or be unset with SetDataSet(nullptr)
// first): the destructor detaches from it. The signal shares its name with
// the observer callback, so connect with
// qOverload<TDataEvent>(&TDataSource::DataEvent).
class TDataSource : public QObject, public TLbCsvObserver {
  Q_OBJECT

 public:
  explicit TDataSource(TLbCsv* table, QObject* parent = nullptr);
  ~TDataSource() override;
  TDataSource(const TDataSource&) = delete;
  TDataSource& operator=(const TDataSource&) = delete;

  TLbCsv* DataSet() const { return table_; }
  // Views are told with ActiveChanged, as if the table had opened or closed.
  void SetDataSet(TLbCsv* table);

  // The links of the views bound to this data source, in the order they
  // were bound. TDataLink keeps this up to date.
  const QList<TDataLink*>& Links() const { return links_; }
  void AddLink(TDataLink* link);
  void RemoveLink(TDataLink* link);

  void DataEvent(TLbCsv& table, TDataEvent event) override;

 signals:
  void DataEvent(TDataEvent event);

 private:
  TLbCsv* table_ = nullptr;
  QList<TDataLink*> links_;
};
