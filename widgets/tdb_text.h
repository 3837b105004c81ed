// The data-aware label TDBText.
#pragma once

#include <QLabel>
#include <QString>

#include "widgets/tdata_source.h"

class TDataLink;

// Label showing one field of the current record of a data source's table;
// empty while the table is closed or the field is missing.
class TDBText : public QLabel {
  Q_OBJECT

 public:
  explicit TDBText(QWidget* parent = nullptr);

  void SetDataSource(TDataSource* source);
  TDataSource* DataSource() const;
  void SetDataField(const QString& field);
  const QString& DataField() const { return field_; }

  // Throws TableError "<objectName>: Field '<field>' not found" when the open
  // table has no such column. Notifications never throw, so the owner calls
  // this right after opening the table.
  void CheckField() const;

  // Shows `text` instead of the field's value until the table next tells of
  // a change: what an answer says where the current record holds another
  // fact (the province of no place, or of several).
  void ShowInstead(const QString& text);

 private:
  void Refresh();

  TDataLink* link_;
  QString field_;
};
