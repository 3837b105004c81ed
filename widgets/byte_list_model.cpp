#include "widgets/byte_list_model.h"

#include "widgets/byte_text.h"

void ByteListModel::SetValues(std::vector<std::string> values) {
  beginResetModel();
  values_ = std::move(values);
  endResetModel();
}

int ByteListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(values_.size());
}

QVariant ByteListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() < 0 || index.row() >= rowCount()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole) return {};
  return FromBytes(values_[static_cast<std::size_t>(index.row())]);
}
