#include "studio/graph_pane.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/plot_export.h"
#include "gui/plot_view.h"
#include "host/atomic_file.h"
#include "studio/analysis_run.h"

namespace korund::studio {

namespace {
// Long enough to gather the cells of one paste or a burst of typing.
constexpr int kRedrawDelayMs = 150;
}  // namespace

GraphPane::GraphPane(Document& doc, QWidget* parent) : QWidget(parent), doc_(doc) {
  view_ = new gui::PlotView;
  message_ = new QLabel;
  message_->setAlignment(Qt::AlignCenter);
  message_->setWordWrap(true);
  message_->setMargin(12);
  // Short, to leave the title field room; the tool tip says the rest.
  bands_ = new QCheckBox(tr("95 % confidence bands"));
  bands_->setChecked(true);
  bands_->setToolTip(
      tr("95 % confidence bands of the maximum-likelihood lines: pointwise Fisher-matrix bounds "
         "on the strength at each failure probability (Weibull)"));
  connect(bands_, &QCheckBox::toggled, this, [this] { Redraw(); });
  title_ = new QLineEdit;
  title_->setClearButtonEnabled(true);
  title_->setMinimumWidth(160);
  title_->setToolTip(tr("The graph's title here and in exported files; empty for the usual one"));
  connect(title_, &QLineEdit::editingFinished, this, [this] { Redraw(); });
  auto* options = new QHBoxLayout;
  options->addWidget(bands_);
  options->addStretch(1);
  options->addWidget(new QLabel(tr("Title:")));
  options->addWidget(title_, 1);
  auto* stack = new QWidget;
  layout_ = new QStackedLayout(stack);
  layout_->addWidget(view_);
  layout_->addWidget(message_);
  auto* column = new QVBoxLayout(this);
  column->setContentsMargins(0, 0, 0, 0);
  column->addLayout(options);
  column->addWidget(stack, 1);
  timer_ = new QTimer(this);
  timer_->setSingleShot(true);
  timer_->setInterval(kRedrawDelayMs);
  connect(timer_, &QTimer::timeout, this, [this] { Redraw(); });
  connect(&doc_, &Document::structureChanged, this, &GraphPane::Schedule);
  connect(&doc_, &Document::currentChanged, this, &GraphPane::Schedule);
  connect(&doc_, &Document::cellsChanged, this, [this](int sheet, int, int, int, int) {
    if (sheet == doc_.current()) Schedule();
  });
  Redraw();
}

void GraphPane::Schedule() { timer_->start(); }

bool GraphPane::Build(plot::PlotDescription* plot, std::string* error) const {
  const int sheet = doc_.current();
  if (sheet < 0) {
    *error = "no worksheet";
    return false;
  }
  plot::PlotOptions options;
  options.bands = bands_->isChecked();
  // The item, not only its cells: the graph is titled with its name.
  if (!plot::BuildPlot(doc_.notebook().item(sheet), options, plot, error)) {
    return false;
  }
  title_->setPlaceholderText(QString::fromStdString(plot->title));
  const QString title = title_->text().trimmed();
  if (!title.isEmpty()) plot->title = title.toStdString();
  return true;
}

QString GraphPane::message() const { return has_graph_ ? QString() : message_->text(); }

bool GraphPane::Redraw() {
  timer_->stop();
  const int sheet = doc_.current();
  plot::PlotDescription plot;
  std::string error = "No worksheet.";
  has_graph_ = false;
  if (sheet >= 0) {
    const notebook::Worksheet& ws = *doc_.notebook().item(sheet).worksheet();
    // A worksheet never analysed is the usual case here: say where the
    // analyses are rather than what the plot did not find.
    if (!plot::DetectPlotKind(ws)) {
      error = "No graph yet: " + ChooseAnalysisHint() + ".";
    } else {
      has_graph_ = Build(&plot, &error);
      if (!has_graph_) error = "No graph: " + error;
    }
  }
  bands_->setEnabled(has_graph_ && plot.kind == plot::PlotKind::kWeibull);
  if (has_graph_) {
    view_->ShowPlot(plot);
    layout_->setCurrentWidget(view_);
  } else {
    message_->setText(QString::fromStdString(error));
    layout_->setCurrentWidget(message_);
  }
  return has_graph_;
}

bool GraphPane::Export(const std::string& path, std::string* error) {
  const std::optional<gui::ImageFormat> format = gui::ImageFormatForPath(path);
  if (!format) {
    *error = path + ": the graph is written as .png, .svg or .pdf";
    return false;
  }
  plot::PlotDescription plot;
  if (!Build(&plot, error)) return false;
  std::string bytes;
  if (!gui::RenderPlot(plot, *format, {}, &bytes, error)) return false;
  return host::WriteFileAtomically(path, bytes, error);
}

}  // namespace korund::studio
