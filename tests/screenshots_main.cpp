// korund-screenshots DIR: draws every dialog and box kind of the Qt back end
// offscreen and saves each as DIR/NAME.png, for the README.
#include <QApplication>
#include <QDir>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <iostream>
#include <string>

#include "dialogs/message_dialog.h"
#include "fatigue/df_options.h"
#include "fatigue/sf_options.h"
#include "gui/form_dialog.h"
#include "gui/qt_ui.h"
#include "lifetime/lifetime_options.h"
#include "testing/memory_host.h"
#include "util/terminate.h"
#include "weibull/weib_options.h"
#include "worksheet/run_context.h"

namespace {

using namespace korund;

// Saves the window the back end shows next as DIR/name.png, then closes it.
class Shooter {
 public:
  Shooter(gui::QtUi& ui, QString dir) : ui_(ui), dir_(std::move(dir)) {}

  void Next(const QString& name) {
    ui_.SetShownHook([this, name](QWidget& w) {
      Save(w, name);
      w.close();
    });
  }
  bool Save(QWidget& w, const QString& name) {
    const QString path = dir_ + "/" + name + ".png";
    const bool ok = WithCaption(w).save(path);
    std::cout << (ok ? "wrote " : "could not write ") << path.toStdString() << "\n";
    ok_ = ok_ && ok;
    return ok;
  }
  bool ok() const { return ok_; }

  // The window's contents under a plain caption bar with its title: an
  // offscreen window has no frame of its own to show the title in.
  static QPixmap WithCaption(QWidget& w) {
    const QPixmap contents = w.grab();
    QFont font = w.font();
    font.setBold(true);
    const int bar = QFontMetrics(font).height() + 10;
    QPixmap shot(contents.width(), contents.height() + bar);
    shot.fill(QColor(0x3b, 0x4b, 0x5e));
    QPainter painter(&shot);
    painter.drawPixmap(0, bar, contents);
    painter.setFont(font);
    painter.setPen(Qt::white);
    const QRect text(8, 0, contents.width() - 16, bar);
    painter.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
                     QFontMetrics(font).elidedText(w.windowTitle(), Qt::ElideRight, text.width()));
    return shot;
  }

 private:
  gui::QtUi& ui_;
  QString dir_;
  bool ok_ = true;
};

// Presses OK in the form and saves the dialog at the first repaint the
// progress bar asks for.
void ShootRunning(gui::QtUi& ui, Shooter& shooter, ui::FormModel& form, const QString& name) {
  bool taken = false;
  ui.SetShownHook([&](QWidget& w) {
    auto* dialog = dynamic_cast<gui::FormDialog*>(&w);
    if (dialog == nullptr) return;
    QTimer::singleShot(0, dialog, [&, dialog] {
      if (!taken) taken = shooter.Save(*dialog, name);
    });
    static_cast<QPushButton*>(dialog->Widget("cmdOK"))->click();
  });
  ui.RunForm(form);
}

// Runs an options dialog, saving it; its Cancel ends the "run" as usual.
void ShootForm(gui::QtUi& ui, Shooter& shooter, ui::FormModel& form, const QString& name) {
  shooter.Next(name);
  try {
    ui.RunForm(form);
  } catch (const TerminateProgramError&) {
    // closing the window pressed Cancel
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: korund-screenshots DIR\n";
    return 2;
  }
  QApplication app(argc, argv);
  const QString dir = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(dir);

  gui::QtUi ui;
  Shooter shooter(ui, dir);
  // The dialogs' models describe a run; none of them is started here.
  RunSettings settings;
  dialogs::MessageDialog msg(ui);
  worksheet::Sheet sheet(ui, msg, settings);
  RunContext ctx{settings, ui, msg, sheet};
  settings.WorksheetName = "Data 1";
  settings.SectionName = "Section 1";
  settings.FOpt = 1;
  settings.RateFactor = 1.2;
  settings.SetToCopy = 1;

  weibull::WeibOptionsForm weibull(ctx);
  ShootForm(ui, shooter, weibull, "weibull-options");
  fatigue::frmDFoptions dynamic(ctx);
  ShootForm(ui, shooter, dynamic, "dynamic-options");
  fatigue::frmSFoptions stat(ctx);
  ShootForm(ui, shooter, stat, "static-options");
  lifetime::LifetimeEntries entries;
  entries.n = "20";
  entries.m = "2";
  entries.breaks_per_km = "0.5";
  entries.length_km = "100";
  entries.proof_by_strain = true;
  entries.proof = "1";
  entries.f = "0.001";
  lifetime::frmLifetimeOptions life(ctx, entries, false);
  ShootForm(ui, shooter, life, "lifetime-options");

  // The Weibull and dynamic fatigue dialogs while their analyses run, on
  // small worksheets.
  host::MemoryHost host;
  host.notebook.AddSection("Section 1");
  host::MemoryTable& table = host.Table(host.notebook.AddWorksheet("Data 1"));
  for (int set = 0; set < 10; ++set) {
    table.Set(set, 0, Value("set " + std::to_string(set + 1)));
    for (int row = 1; row <= 8; ++row) table.Set(set, row, Value(3.0 + 0.1 * row + 0.05 * set));
  }
  if (!sheet.spOpenWorksheet(host, "")) {
    sheet.spLoadSheet(56, 38);
    weibull::WeibOptionsForm running(ctx);
    ShootRunning(ui, shooter, running, "weibull-running");
  }
  RunSettings fatigue_settings;
  fatigue_settings.FitType = kFitDynamic;
  fatigue_settings.RateFactor = 1.2;
  fatigue_settings.SetToCopy = 1;
  worksheet::Sheet fatigue_sheet(ui, msg, fatigue_settings);
  RunContext fatigue_ctx{fatigue_settings, ui, msg, fatigue_sheet};
  host::MemoryHost fatigue_host;
  fatigue_host.notebook.AddSection("Section 1");
  host::MemoryTable& rates = fatigue_host.Table(fatigue_host.notebook.AddWorksheet("Data 2"));
  for (int row = 0; row < 16; ++row) {
    const double rate = std::pow(10.0, row % 4 - 2);
    rates.Set(0, row, Value("A" + std::to_string(row + 1)));
    rates.Set(1, row, Value(4.0 + 0.2 * std::log10(rate) + 0.01 * (row % 3)));
    rates.Set(2, row, Value(rate));
  }
  if (!fatigue_sheet.spOpenWorksheet(fatigue_host, "")) {
    fatigue_sheet.spLoadSheet(184, 25);
    fatigue::frmDFoptions running(fatigue_ctx);
    ShootRunning(ui, shooter, running, "dynamic-running");
  }

  shooter.Next("message-stop");
  msg.Go({.text = "Invalid character in ignore trigger characters.\r"
                  "Do not use numbers or other non-printable characters.",
          .buttons = {"&OK"},
          .icon = ui::kMbIconStop});
  shooter.Next("message-question");
  msg.Go({.text = "Analyse the worksheet again with the options of the last run?",
          .buttons = {"&Yes", "&No", "&Cancel"},
          .icon = ui::kMbIconQuestion,
          .title = "QUESTION"});
  shooter.Next("message-exclamation");
  msg.Go({.text = "This worksheet seems to hold the results of a fatigue analysis.\r\r"
                  "Continuing will overwrite them.",
          .buttons = {"&Stop", "&Continue"},
          .icon = ui::kMbIconExclamation,
          .title = "CHECK THIS WORKSHEET IS FOR WEIBULL ANALYSIS"});
  shooter.Next("message-information");
  msg.Go({.text = "The worksheet was locked after its last analysis.",
          .buttons = {"&Unlock", "&Stop"},
          .icon = ui::kMbIconInformation,
          .title = "WORKSHEET IS LOCKED"});

  shooter.Next("standard-box");
  ui.MsgBox("Weibull analysis complete: \r\rSet 1:\t5 measurements\rSet 2:\tempty",
            ui::kMbIconInformation, "FINISHED");
  shooter.Next("standard-retry-cancel");
  ui.MsgBox("The notebook could not be opened.", ui::kMbIconStop | ui::kMbRetryCancel,
            "NO WORKSHEET");

  ui.SetShownHook(nullptr);
  ui.ShowHelp(1047);
  QApplication::processEvents();
  if (ui.help_viewer() != nullptr) shooter.Save(*ui.help_viewer(), "help-viewer");
  return shooter.ok() ? 0 : 1;
}
