#include "widgets/tdb_text.h"

#include <exception>
#include <string>

#include "storage/table_error.h"
#include "storage/tlbcsv.h"

TDBText::TDBText(QWidget* parent) : QLabel(parent) {
  // A value is data, never markup.
  setTextFormat(Qt::PlainText);
}

void TDBText::SetDataSource(TDataSource* source) {
  if (source == source_) return;
  if (source_ != nullptr) disconnect(source_, nullptr, this, nullptr);
  source_ = source;
  if (source_ != nullptr) {
    connect(source_, qOverload<TDataEvent>(&TDataSource::DataEvent), this, &TDBText::Refresh);
    connect(source_, &QObject::destroyed, this, [this] {
      source_ = nullptr;
      setText(QString());
    });
  }
  Refresh();
}

void TDBText::SetDataField(const QString& field) {
  field_ = field;
  Refresh();
}

void TDBText::CheckField() const {
  TLbCsv* table = source_ != nullptr ? source_->DataSet() : nullptr;
  if (table == nullptr || !table->Active() || field_.isEmpty()) return;
  try {
    table->FieldNamed(field_.toLocal8Bit().toStdString());
  } catch (const TableError&) {
    throw TableError(objectName().toLocal8Bit().toStdString() + ": Field '" +
                     field_.toLocal8Bit().toStdString() + "' not found");
  }
}

void TDBText::Refresh() {
  QString text;
  TLbCsv* table = source_ != nullptr ? source_->DataSet() : nullptr;
  if (table != nullptr && table->Active() && !field_.isEmpty()) {
    try {
      text = QString::fromLocal8Bit(table->FieldNamed(field_.toLocal8Bit().toStdString()).Text());
    } catch (const std::exception&) {
      // A missing field shows nothing; CheckField reports it.
    }
  }
  setText(text);
}
