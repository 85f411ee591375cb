#include "gui/plot_export.h"

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QSvgGenerator>
#include <QTemporaryDir>
#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "gui/display.h"
#include "gui/plot_view.h"
#include "util/text.h"

namespace korund::gui {
namespace {

// Qt warns on every start without a per-user runtime folder (a batch job,
// a container); rendering needs none, and the warning would only be noise
// on the command's standard error. Everything else goes through.
QtMessageHandler previous_handler = nullptr;

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (type == QtWarningMsg && text.startsWith("QStandardPaths: XDG_RUNTIME_DIR not set")) return;
  previous_handler(type, context, text);
}

std::string ToBytes(const QByteArray& data) { return std::string(data.constData(), data.size()); }

bool RenderPng(QCustomPlot& canvas, const ImageSize& size, std::string* bytes,
               std::string* error) {
  const QPixmap pixmap = canvas.toPixmap(size.width, size.height, size.scale);
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (pixmap.isNull() || !pixmap.save(&buffer, "PNG")) {
    *error = "the PNG image could not be made";
    return false;
  }
  *bytes = ToBytes(data);
  return true;
}

bool RenderSvg(QCustomPlot& canvas, const std::string& title, const ImageSize& size,
               std::string* bytes, std::string* error) {
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(size.width, size.height));
  generator.setViewBox(QRect(0, 0, size.width, size.height));
  generator.setTitle(QString::fromStdString(title));
  QCPPainter painter;
  if (!painter.begin(&generator)) {
    *error = "the SVG image could not be made";
    return false;
  }
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  canvas.toPainter(&painter, size.width, size.height);
  painter.end();
  *bytes = ToBytes(data);
  return true;
}

// QCustomPlot writes PDFs only to a named file: a private temporary one,
// read back so that the caller can put it in place in one step.
bool RenderPdf(QCustomPlot& canvas, const std::string& title, const ImageSize& size,
               std::string* bytes, std::string* error) {
  QTemporaryDir dir;
  if (!dir.isValid()) {
    *error = "no temporary folder for the PDF: " + dir.errorString().toStdString();
    return false;
  }
  const QString path = dir.filePath("plot.pdf");
  if (!canvas.savePdf(path, size.width, size.height, QCP::epNoCosmetic, "KORUND",
                      QString::fromStdString(title))) {
    *error = "the PDF could not be made";
    return false;
  }
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) {
    *error = "the PDF could not be read back: " + file.errorString().toStdString();
    return false;
  }
  *bytes = ToBytes(file.readAll());
  return true;
}

}  // namespace

RenderSession::RenderSession() {
  if (QApplication::instance() != nullptr) return;
  if (!DisplayAvailable() && std::getenv("QT_QPA_PLATFORM") == nullptr) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
  }
  // QApplication keeps references to these for its lifetime.
  static int argc = 1;
  static char name[] = "korund";
  static char* argv[] = {name, nullptr};
  previous_handler = qInstallMessageHandler(FilterMessages);
  app_ = std::make_unique<QApplication>(argc, argv);
}

RenderSession::~RenderSession() {
  if (app_ == nullptr) return;
  app_.reset();
  qInstallMessageHandler(previous_handler);
}

bool RenderPlot(const plot::PlotDescription& plot, ImageFormat format, const ImageSize& size,
                std::string* bytes, std::string* error) {
  if (QApplication::instance() == nullptr) {
    *error = "no Qt application to render with";
    return false;
  }
  if (size.width < 50 || size.height < 50 || size.width > 20000 || size.height > 20000 ||
      !(size.scale > 0 && size.scale <= 10)) {
    *error = "the image size must be 50 to 20000 pixels each way and the scale above 0, up to 10";
    return false;
  }
  QCustomPlot canvas;
  canvas.setViewport(QRect(0, 0, size.width, size.height));
  DrawPlot(plot, &canvas);
  canvas.replot();
  switch (format) {
    case ImageFormat::kPng: return RenderPng(canvas, size, bytes, error);
    case ImageFormat::kSvg: return RenderSvg(canvas, plot.title, size, bytes, error);
    case ImageFormat::kPdf: return RenderPdf(canvas, plot.title, size, bytes, error);
  }
  return false;
}

}  // namespace korund::gui
