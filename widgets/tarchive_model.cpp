#include "widgets/tarchive_model.h"

#include <algorithm>
#include <exception>

#include "storage/table/tlb_csv.h"
#include "widgets/byte_text.h"
#include "widgets/trecord_view.h"

namespace {

// Laying out a value of megabytes takes seconds, and no cell shows more than
// a few dozen characters: longer values are shown cut, marked with an ellipsis.
QString ShownText(const std::string& value) {
  constexpr auto kMost = static_cast<std::size_t>(TArchiveModel::kShownCharacters);
  if (value.size() <= kMost) return FromBytes(value);
  // No character takes more than four bytes: convert no more than is shown.
  QString text = FromBytes(value.substr(0, (kMost + 1) * 4));
  if (text.size() <= TArchiveModel::kShownCharacters) return text;
  text.truncate(TArchiveModel::kShownCharacters);
  if (text.back().isHighSurrogate()) text.chop(1);  // never half a character
  return text + QChar(0x2026);
}

}  // namespace

TArchiveModel::TArchiveModel(QObject* parent) : QAbstractTableModel(parent) {}

void TArchiveModel::SetTable(TLbCsv* table) {
  beginResetModel();
  table_ = table;
  BindFields();
  rows_ = TableRowCount();
  cachedRow_ = -1;
  endResetModel();
}

void TArchiveModel::AddColumn(const QString& fieldName) {
  const int column = static_cast<int>(fieldNames_.size());
  beginInsertColumns(QModelIndex(), column, column);
  fieldNames_.append(fieldName);
  BindFields();
  endInsertColumns();
}

QString TArchiveModel::FieldName(int column) const {
  return column >= 0 && column < fieldNames_.size() ? fieldNames_.at(column) : QString();
}

void TArchiveModel::TableEvent(TDataEvent event) {
  if (event == TDataEvent::ActiveChanged) {
    SetTable(table_);
    return;
  }
  cachedRow_ = -1;
  const int rows = TableRowCount();
  if (rows > rows_) {
    beginInsertRows(QModelIndex(), rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  } else if (rows < rows_) {
    beginRemoveRows(QModelIndex(), rows, rows_ - 1);
    rows_ = rows;
    endRemoveRows();
  }
  // A move changes no value; anything else may have shifted every row.
  if (event != TDataEvent::RecordChanged && rows_ > 0 && !fieldNames_.isEmpty()) {
    emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
  }
}

void TArchiveModel::OrderChanged() {
  cachedRow_ = -1;
  if (rows_ > 0 && !fieldNames_.isEmpty()) {
    emit dataChanged(index(0, 0), index(rows_ - 1, columnCount() - 1));
  }
  if (!fieldNames_.isEmpty()) emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

int TArchiveModel::TableRowCount() const {
  if (table_ == nullptr || !table_->Active()) return 0;
  const int pending = table_->State() == TDataSetState::Insert ? 1 : 0;
  return std::max(1, table_->RecordCount() + pending);
}

void TArchiveModel::BindFields() {
  fieldIndex_.assign(static_cast<std::size_t>(fieldNames_.size()), -1);
  if (table_ == nullptr || !table_->Active()) return;
  for (int column = 0; column < fieldNames_.size(); ++column) {
    try {
      const TStringField& field = table_->FieldNamed(ToBytes(fieldNames_.at(column)));
      fieldIndex_[static_cast<std::size_t>(column)] = static_cast<int>(field.Index());
    } catch (const std::exception&) {
      // A column whose field the table lacks stays blank.
    }
  }
}

const std::vector<std::string>& TArchiveModel::RowValues(int row) const {
  if (row != cachedRow_) {
    cachedValues_.clear();
    cachedRow_ = row;
    const int pending = table_->State() == TDataSetState::Insert ? 1 : 0;
    if (row < table_->RecordCount() + pending) {
      try {
        cachedValues_ = table_->RecordValues(view_ != nullptr ? view_->RecordOfRow(row) : row + 1);
      } catch (const std::exception&) {
        // A row that cannot be read shows blank; painting never throws.
      }
    }
  }
  return cachedValues_;
}

int TArchiveModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int TArchiveModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(fieldNames_.size());
}

QVariant TArchiveModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ || table_ == nullptr ||
      !table_->Active()) {
    return {};
  }
  const int field = fieldIndex_.at(static_cast<std::size_t>(index.column()));
  if (field < 0) return QString();
  const std::vector<std::string>& values = RowValues(index.row());
  if (static_cast<std::size_t>(field) >= values.size()) return QString();
  return ShownText(values[static_cast<std::size_t>(field)]);
}

QVariant TArchiveModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation == Qt::Horizontal && role == Qt::DisplayRole) return FieldName(section);
  return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags TArchiveModel::flags(const QModelIndex& index) const {
  return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
