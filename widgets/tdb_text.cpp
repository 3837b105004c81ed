#include "widgets/tdb_text.h"

#include <exception>
#include <string>

#include "storage/table/tlb_csv.h"
#include "storage/table_error.h"
#include "widgets/byte_text.h"
#include "widgets/tdata_link.h"

TDBText::TDBText(QWidget* parent)
    : QLabel(parent), link_(new TDataLink(this, [this](TDataEvent) { Refresh(); })) {
  // A value is data, never markup.
  setTextFormat(Qt::PlainText);
}

void TDBText::SetDataSource(TDataSource* source) { link_->SetDataSource(source); }

TDataSource* TDBText::DataSource() const { return link_->DataSource(); }

void TDBText::SetDataField(const QString& field) {
  field_ = field;
  Refresh();
}

void TDBText::CheckField() const {
  TLbCsv* table = link_->DataSet();
  if (table == nullptr || !table->Active() || field_.isEmpty()) return;
  try {
    table->FieldNamed(ToBytes(field_));
  } catch (const TableError&) {
    throw TableError(ToBytes(objectName()) + ": Field '" + ToBytes(field_) + "' not found");
  }
}

void TDBText::ShowInstead(const QString& text) { setText(text); }

void TDBText::Refresh() {
  QString text;
  TLbCsv* table = link_->DataSet();
  if (table != nullptr && table->Active() && !field_.isEmpty()) {
    try {
      text = FromBytes(table->FieldNamed(ToBytes(field_)).Text());
    } catch (const std::exception&) {
      // A missing field shows nothing; CheckField reports it.
    }
  }
  setText(text);
}
