#include "studio/file_dialogs.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QRegularExpression>
#include <QTreeView>

namespace korund::studio {

namespace {

// Room for a long file name beside its size, type and date.
constexpr int kDialogWidth = 960;
constexpr int kDialogHeight = 580;

// The extensions a filter names, without "*.": "CSV (*.csv *.txt)" gives
// csv and txt.
QStringList Extensions(const QString& filter) {
  QStringList out;
  static const QRegularExpression pattern(R"(\*\.([A-Za-z0-9]+))");
  for (auto it = pattern.globalMatch(filter); it.hasNext();) out << it.next().captured(1);
  return out;
}

QString Run(QFileDialog& dialog) {
  dialog.resize(kDialogWidth, kDialogHeight);
  // Qt's own dialog (where the platform offers none) keeps narrow columns
  // that cut sizes to "84....KiB"; these fit their contents instead.
  if (auto* view = dialog.findChild<QTreeView*>("treeView")) {
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    view->header()->setSectionResizeMode(0, QHeaderView::Stretch);
  }
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

QString AskOpenFileName(QWidget* parent, const QString& title, const QString& filters) {
  QFileDialog dialog(parent, title, {}, filters);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return Run(dialog);
}

QString AskSaveFileName(QWidget* parent, const QString& title, const QString& filters) {
  QFileDialog dialog(parent, title, {}, filters);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  // The dialog's own overwrite question then names the file to be written.
  auto suffix = [&dialog](const QString& filter) {
    const QStringList ext = Extensions(filter);
    dialog.setDefaultSuffix(ext.isEmpty() ? QString() : ext.front());
  };
  suffix(dialog.selectedNameFilter());
  QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffix);
  const QString path = Run(dialog);
  return path.isEmpty() ? path : WithFilterExtension(path, dialog.selectedNameFilter(), filters);
}

QString WithFilterExtension(const QString& path, const QString& selected, const QString& filters) {
  const QString suffix = QFileInfo(path).suffix();
  if (!suffix.isEmpty() && Extensions(filters).contains(suffix, Qt::CaseInsensitive)) return path;
  const QStringList chosen = Extensions(selected);
  return chosen.isEmpty() ? path : path + "." + chosen.front();
}

}  // namespace korund::studio
