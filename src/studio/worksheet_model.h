// The current worksheet as a table for a QTableView: view column 0 is the
// row-title column, view column c the worksheet's column c; view row r is
// worksheet row r + 1. Headers show the column number, its label (when it
// differs from the title) and its title.
// Numbers are right-aligned in the program's text form, texts left-aligned,
// empty cells empty. Typed text goes back to the Document as an undoable
// edit; the model never changes the notebook itself.
#pragma once

#include <QAbstractTableModel>

#include "studio/document.h"

namespace korund::studio {

class WorksheetModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  explicit WorksheetModel(Document& doc, QObject* parent = nullptr);

  // The item index shown (-1: none). Follows the document's current
  // worksheet.
  int sheet() const { return sheet_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Spare rows and columns below and right of the used ones, for typing.
  static constexpr int kSpareRows = 100;
  static constexpr int kSpareColumns = 10;
  static constexpr int kMinRows = 200;
  static constexpr int kMinColumns = 20;

 private:
  void Reload();
  void OnCells(int sheet, int first_column, int last_column, int first_row, int last_row);
  const notebook::Worksheet* Sheet() const;
  // Sizes that cover the worksheet's stored cells plus the spare ones.
  void Measure(int* rows, int* columns) const;

  Document& doc_;
  int sheet_ = -1;
  int rows_ = 0;
  int columns_ = 0;
};

}  // namespace korund::studio
