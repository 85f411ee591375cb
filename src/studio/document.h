// studio/: korund-studio, the desktop notebook window. This file: the open
// notebook as a document -- the Notebook, its file (held locked while open),
// and every change as a step on a QUndoStack.
//
// Cell edits are undone cell by cell; changes of shape (rows, items, a whole
// analysis) keep the notebook before and after. Worksheets are addressed by
// their position in the notebook, which stays valid through undo and redo
// because every structural change is itself a step.
#pragma once

#include <QObject>
#include <QUndoStack>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/notebook_store.h"
#include "notebook/notebook.h"
#include "studio/cell_text.h"

namespace korund::studio {

class Document : public QObject {
  Q_OBJECT

 public:
  Document();
  ~Document() override;

  const notebook::Notebook& notebook() const { return notebook_; }
  QUndoStack& undo_stack() { return undo_; }
  // The file the notebook came from or was saved to; "" for a new one.
  const std::string& path() const { return path_; }
  // Changes since the last open or save.
  bool modified() const { return !undo_.isClean(); }

  // A fresh notebook: "Section 1" and an empty worksheet "Data 1". Lets go
  // of the file held before.
  void NewNotebook();
  // Locks and reads the notebook file. False with *error (nothing changes,
  // the file held before stays held) when it is locked by another program,
  // cannot be read, is not a notebook or could not be saved back.
  bool Open(const std::string& path, std::string* error);

  // Asked before saving over a file that changed on disk since it was read
  // or saved here (another file under its name, or other bytes); true
  // overwrites it.
  using ConfirmOverwrite = std::function<bool(const std::string& path)>;
  // Writes the notebook to `path` atomically (the open file when path is
  // ""), and from then on holds that file. False with *error when the file
  // cannot be written, another program holds it, or the overwrite was not
  // confirmed (*error is then "" and nothing is written).
  bool Save(const std::string& path, const ConfirmOverwrite& confirm, std::string* error);

  // The worksheet the window shows: an item index, or -1 when the
  // notebook has none. Follows the notebook's "current".
  int current() const;
  // Makes the worksheet at `index` current (not an undo step: the view's
  // choice, saved with the notebook).
  void SetCurrent(int index);
  // The index of the item named `name`, or -1.
  int IndexOf(const std::string& name) const;

  // Edits, each one undoable step. `sheet` is an item index of a worksheet.
  // Stores `block` with its first value at (column, row).
  void SetCells(int sheet, int32_t column, int32_t row, const CellBlock& block,
                const QString& what);
  void ClearCells(int sheet, int32_t first_column, int32_t last_column, int32_t first_row,
                  int32_t last_row);
  void InsertRows(int sheet, int32_t row, int32_t count);
  void RemoveRows(int sheet, int32_t row, int32_t count);
  // False when the name is empty or taken by another item.
  bool RenameItem(int index, const std::string& name);
  // Appends a worksheet with a free name ("Data N") and makes it current;
  // returns its index.
  int AddWorksheet();
  // Puts `after` in the notebook's place as one step (an analysis, an
  // import).
  void ReplaceNotebook(const notebook::Notebook& after, const QString& what);

  // Used by the undo commands.
  notebook::Notebook& mutable_notebook() { return notebook_; }
  void NotifyCells(int sheet, int32_t first_column, int32_t last_column, int32_t first_row,
                   int32_t last_row);
  void NotifyStructure();

 signals:
  // Cells of one worksheet changed within the rectangle (1-based rows).
  void cellsChanged(int sheet, int first_column, int last_column, int first_row, int last_row);
  // Anything may have changed: items, names, rows, the current worksheet.
  void structureChanged();
  // Another worksheet became current.
  void currentChanged();
  // The file, or whether there are unsaved changes, changed.
  void stateChanged();

 private:
  void Reset(notebook::Notebook notebook, const std::string& path);

  notebook::Notebook notebook_;
  QUndoStack undo_;
  std::string path_;
  host::NotebookStore store_;  // the file, held while open
};

}  // namespace korund::studio
