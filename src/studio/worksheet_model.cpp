#include "studio/worksheet_model.h"

#include <algorithm>

namespace korund::studio {

WorksheetModel::WorksheetModel(Document& doc, QObject* parent)
    : QAbstractTableModel(parent), doc_(doc) {
  connect(&doc_, &Document::structureChanged, this, &WorksheetModel::Reload);
  connect(&doc_, &Document::currentChanged, this, &WorksheetModel::Reload);
  connect(&doc_, &Document::cellsChanged, this, &WorksheetModel::OnCells);
  Reload();
}

const notebook::Worksheet* WorksheetModel::Sheet() const {
  if (sheet_ < 0 || static_cast<size_t>(sheet_) >= doc_.notebook().size()) return nullptr;
  return doc_.notebook().item(sheet_).worksheet();
}

void WorksheetModel::Measure(int* rows, int* columns) const {
  int used_rows = 0, used_columns = 0;
  if (const notebook::Worksheet* ws = Sheet()) {
    for (const auto& [number, column] : ws->columns()) {
      used_rows = std::max(used_rows, static_cast<int>(column.cells.size()));
      if (column.title || !column.cells.empty()) used_columns = std::max(used_columns, number);
    }
  }
  *rows = std::max(kMinRows, used_rows + kSpareRows);
  *columns = std::max(kMinColumns, used_columns + 1 + kSpareColumns);
}

void WorksheetModel::Reload() {
  beginResetModel();
  sheet_ = doc_.current();
  Measure(&rows_, &columns_);
  endResetModel();
}

void WorksheetModel::OnCells(int sheet, int first_column, int last_column, int first_row,
                             int last_row) {
  if (sheet != sheet_) return;
  int rows = 0, columns = 0;
  Measure(&rows, &columns);
  // Grow (never shrink while editing, so the cursor stays where it was).
  if (rows > rows_) {
    beginInsertRows({}, rows_, rows - 1);
    rows_ = rows;
    endInsertRows();
  }
  if (columns > columns_) {
    beginInsertColumns({}, columns_, columns - 1);
    columns_ = columns;
    endInsertColumns();
  }
  emit dataChanged(index(first_row - 1, first_column), index(last_row - 1, last_column));
}

int WorksheetModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int WorksheetModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() || sheet_ < 0 ? 0 : columns_;
}

QVariant WorksheetModel::data(const QModelIndex& index, int role) const {
  const notebook::Worksheet* ws = Sheet();
  if (ws == nullptr || !index.isValid()) return {};
  if (role != Qt::DisplayRole && role != Qt::EditRole && role != Qt::TextAlignmentRole) return {};
  const Value v = ws->Cell(index.column(), index.row() + 1);
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter | (v.IsNumber() ? Qt::AlignRight : Qt::AlignLeft));
  }
  if (v.IsEmpty()) return {};
  return QString::fromStdString(CellText(v));
}

QVariant WorksheetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return QAbstractTableModel::headerData(section, orientation, role);
  if (orientation == Qt::Vertical) return section + 1;
  const notebook::Worksheet* ws = Sheet();
  QString text = section == 0 ? tr("Titles") : QString::number(section);
  if (ws == nullptr) return text;
  // An analysis overwrites the title ("raw 1"); the label keeps the name
  // the user gave the data, so it comes first.
  const QString title = QString::fromStdString(ws->Title(section));
  const notebook::Column* column = ws->FindColumn(section);
  if (column != nullptr && column->label && !column->label->empty() &&
      QString::fromStdString(*column->label) != title) {
    text += "\n" + QString::fromStdString(*column->label);
  }
  if (!title.isEmpty()) text += "\n" + title;
  return text;
}

Qt::ItemFlags WorksheetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable;
}

bool WorksheetModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || Sheet() == nullptr) return false;
  doc_.SetCells(sheet_, index.column(), index.row() + 1,
                {{ValueFromTyped(value.toString().toStdString())}}, tr("Edit cell"));
  return true;
}

}  // namespace korund::studio
