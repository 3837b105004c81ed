#include "widgets/tdata_source.h"

#include "storage/table/tlb_csv.h"

TDataSource::TDataSource(TLbCsv* table, QObject* parent) : QObject(parent) { SetDataSet(table); }

TDataSource::~TDataSource() {
  if (table_ != nullptr) table_->Detach(this);
}

void TDataSource::SetDataSet(TLbCsv* table) {
  if (table == table_) return;
  if (table_ != nullptr) table_->Detach(this);
  table_ = table;
  if (table_ != nullptr) table_->Attach(this);
  emit DataEvent(TDataEvent::ActiveChanged);
}

void TDataSource::AddLink(TDataLink* link) {
  if (link != nullptr && !links_.contains(link)) links_.append(link);
}

void TDataSource::RemoveLink(TDataLink* link) { links_.removeAll(link); }

void TDataSource::DataEvent(TLbCsv& table, TDataEvent event) {
  if (&table == table_) emit DataEvent(event);
}
