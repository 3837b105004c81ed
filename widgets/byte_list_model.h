// A list of byte texts converted only when a view shows them.
#pragma once

#include <QAbstractListModel>
#include <string>
#include <vector>

// A read-only list of texts held as storage gives them (bytes in the 8-bit
// code page), converted only when a view asks for a row: a drop-down of ten
// thousand names is filled without making ten thousand strings.
class ByteListModel : public QAbstractListModel {
  Q_OBJECT

 public:
  using QAbstractListModel::QAbstractListModel;

  void SetValues(std::vector<std::string> values);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

 private:
  std::vector<std::string> values_;
};
