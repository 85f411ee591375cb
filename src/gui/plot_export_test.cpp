#include "gui/plot_export.h"

#include <QApplication>
#include <QImage>
#include <QXmlStreamReader>
#include <cmath>

#include <gtest/gtest.h>

#include "gui/plot_view.h"

namespace korund::gui {
namespace {

using plot::AxisScale;
using plot::Color;
using plot::PlotDescription;

// One Qt application for the whole test program.
class QtEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { session_ = std::make_unique<RenderSession>(); }
  void TearDown() override { session_.reset(); }

 private:
  std::unique_ptr<RenderSession> session_;
};
const auto* const kQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

constexpr Color kRed{200, 0, 0};
constexpr Color kBlue{0, 0, 230};
constexpr Color kGreen{0, 160, 0};

// A small plot: a log x axis, probability-like text ticks on y, a red
// filled square series, a blue one with error bars, and a green line.
PlotDescription SamplePlot() {
  PlotDescription plot;
  plot.title = "Sample";
  plot.x = {"Strength (GPa)", AxisScale::kLog, 1, 10, {{1, "1"}, {2, "2"}, {5, "5"}, {10, "10"}}};
  plot.y = {"Failure probability", AxisScale::kLinear, -5, 2, {{-4.6, "1 %"}, {0, "63.2 %"}}};
  plot::Series red;
  red.legend = "Fibre A: m = 5.00";
  red.points = {{2, -3}, {4, 0}};
  red.marker = plot::MarkerShape::kSquare;
  red.marker_size = 10;
  red.color = kRed;
  red.fill = kRed;
  plot::Series blue;
  blue.legend = "";
  blue.points = {{7, 1}};
  blue.errors = {{0.2, 1.5}};
  blue.marker = plot::MarkerShape::kDiamond;
  blue.marker_size = 10;
  blue.color = kBlue;
  blue.fill = kBlue;
  plot.series = {red, blue};
  plot.lines = {{"Fit", {1.5, -4}, {8, 1.8}, kGreen, plot::LineStyle::kSolid}};
  return plot;
}

// Where the plot puts a coordinate in an image of that size.
QPointF PixelOf(const PlotDescription& plot, int width, int height, double x, double y) {
  QCustomPlot canvas;
  canvas.setViewport(QRect(0, 0, width, height));
  DrawPlot(plot, &canvas);
  canvas.replot();
  return {canvas.xAxis->coordToPixel(x), canvas.yAxis->coordToPixel(y)};
}

// True when a pixel within `radius` of `at` has the colour, give or take
// `slack` in each channel for the smoothing of edges.
bool ColourNear(const QImage& image, QPointF at, Color color, int radius = 3, int slack = 12) {
  for (int dy = -radius; dy <= radius; ++dy) {
    for (int dx = -radius; dx <= radius; ++dx) {
      const QPoint p(static_cast<int>(std::lround(at.x())) + dx,
                     static_cast<int>(std::lround(at.y())) + dy);
      if (!image.rect().contains(p)) continue;
      const QColor c = image.pixelColor(p);
      if (std::abs(c.red() - color.r) <= slack && std::abs(c.green() - color.g) <= slack &&
          std::abs(c.blue() - color.b) <= slack) {
        return true;
      }
    }
  }
  return false;
}

QImage RenderImage(const PlotDescription& plot, const ImageSize& size) {
  std::string bytes, error;
  EXPECT_TRUE(RenderPlot(plot, ImageFormat::kPng, size, &bytes, &error)) << error;
  return QImage::fromData(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())), "PNG");
}

TEST(PlotExport, FormatComesFromTheExtension) {
  EXPECT_EQ(ImageFormatForPath("a/b.png"), ImageFormat::kPng);
  EXPECT_EQ(ImageFormatForPath("B.SVG"), ImageFormat::kSvg);
  EXPECT_EQ(ImageFormatForPath("c.Pdf"), ImageFormat::kPdf);
  EXPECT_EQ(ImageFormatForPath("c.json"), std::nullopt);
  EXPECT_EQ(ImageFormatForPath("png"), std::nullopt);
  EXPECT_EQ(ImageFormatForPath("dir.png/file"), std::nullopt);
}

TEST(PlotExport, MarkersAndLinesAreDrawnInTheirColoursWhereTheAxesPutThem) {
  const PlotDescription plot = SamplePlot();
  const QImage image = RenderImage(plot, {600, 450, 1});
  ASSERT_EQ(image.size(), QSize(600, 450));
  EXPECT_EQ(RenderImage(plot, {400, 300, 2}).size(), QSize(800, 600));  // times the scale
  const QPointF red1 = PixelOf(plot, 600, 450, 2, -3);
  const QPointF red2 = PixelOf(plot, 600, 450, 4, 0);
  const QPointF blue = PixelOf(plot, 600, 450, 7, 1);
  EXPECT_TRUE(ColourNear(image, red1, kRed));
  EXPECT_TRUE(ColourNear(image, red2, kRed));
  EXPECT_TRUE(ColourNear(image, blue, kBlue));
  // The log axis puts 2 and 4 (and 4 and 8) equally far apart.
  const QPointF at8 = PixelOf(plot, 600, 450, 8, 0);
  EXPECT_NEAR(red2.x() - red1.x(), at8.x() - red2.x(), 1.0);
  // The error bar (a thin, smoothed line) reaches up to 1.5 above the blue
  // marker, and not beyond.
  EXPECT_TRUE(ColourNear(image, PixelOf(plot, 600, 450, 7, 1.4), kBlue, 2, 120));
  EXPECT_FALSE(ColourNear(image, PixelOf(plot, 600, 450, 7, 1.8), kBlue, 2, 120));
  // Halfway along the line (straight in pixels on these axes).
  const QPointF from = PixelOf(plot, 600, 450, 1.5, -4);
  const QPointF to = PixelOf(plot, 600, 450, 8, 1.8);
  EXPECT_TRUE(ColourNear(image, (from + to) / 2, kGreen, 2));
  // Nothing red where no marker is.
  EXPECT_FALSE(ColourNear(image, PixelOf(plot, 600, 450, 2, 1), kRed, 4));
}

TEST(PlotExport, TheWidgetUsesTheDescriptionsTicksScalesAndLegend) {
  PlotView view;
  view.ShowPlot(SamplePlot());
  EXPECT_EQ(view.xAxis->scaleType(), QCPAxis::stLogarithmic);
  EXPECT_EQ(view.yAxis->scaleType(), QCPAxis::stLinear);
  auto ticker = view.yAxis->ticker().dynamicCast<QCPAxisTickerText>();
  ASSERT_FALSE(ticker.isNull());
  EXPECT_EQ(ticker->ticks().value(0.0), "63.2 %");
  EXPECT_EQ(view.yAxis->label(), "Failure probability");
  EXPECT_DOUBLE_EQ(view.xAxis->range().lower, 1.0);
  // The unnamed series stays out of the legend; the error bars too.
  ASSERT_EQ(view.legend->itemCount(), 2);
  // Data sets come first in the legend, fitted lines after them.
  auto* first = qobject_cast<QCPPlottableLegendItem*>(view.legend->item(0));
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->plottable()->name(), "Fibre A: m = 5.00");
  // Showing another plot replaces the first.
  PlotDescription other = SamplePlot();
  other.series.pop_back();
  view.ShowPlot(other);
  EXPECT_EQ(view.graphCount(), 2);
  EXPECT_EQ(view.plottableCount(), 2);
}

TEST(PlotExport, SvgAndPdfAreWholeDocumentsAndAnImpossibleSizeIsRefused) {
  std::string bytes, error;
  ASSERT_TRUE(RenderPlot(SamplePlot(), ImageFormat::kSvg, {500, 400, 1}, &bytes, &error)) << error;
  QXmlStreamReader xml(QByteArray::fromStdString(bytes));
  bool saw_svg = false;
  while (!xml.atEnd()) {
    xml.readNext();
    if (xml.isStartElement() && xml.name() == QStringLiteral("svg")) saw_svg = true;
  }
  EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
  EXPECT_TRUE(saw_svg);
  EXPECT_NE(bytes.find("Fibre A"), std::string::npos);
  EXPECT_NE(bytes.find("63.2 %"), std::string::npos);
  ASSERT_TRUE(RenderPlot(SamplePlot(), ImageFormat::kPdf, {500, 400, 1}, &bytes, &error)) << error;
  ASSERT_GT(bytes.size(), 1000u);
  EXPECT_EQ(bytes.substr(0, 5), "%PDF-");
  EXPECT_NE(bytes.find("%%EOF", bytes.size() - 16), std::string::npos);
  EXPECT_FALSE(RenderPlot(SamplePlot(), ImageFormat::kPng, {0, 300, 1}, &bytes, &error));
  EXPECT_FALSE(RenderPlot(SamplePlot(), ImageFormat::kPng, {300, 300, 0}, &bytes, &error));
  EXPECT_NE(error.find("size"), std::string::npos);
}

}  // namespace
}  // namespace korund::gui
