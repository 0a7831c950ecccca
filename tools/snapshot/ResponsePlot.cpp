#include "ResponsePlot.h"

#include "LICE_MemBitmap.h"
#include "PlotCanvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr double kLowHz = 20.0;
constexpr double kHighHz = 20000.0;

// A dark studio panel.
constexpr LICE_PixelWord kBackTop = LICE_MakePixel(0x2A, 0x2D, 0x33, 255);
constexpr LICE_PixelWord kBackBottom = LICE_MakePixel(0x17, 0x19, 0x1D, 255);
constexpr LICE_PixelWord kPlotBack = LICE_MakePixel(0x12, 0x14, 0x17, 255);
constexpr LICE_PixelWord kFrame = LICE_MakePixel(0x4A, 0x50, 0x59, 255);
constexpr LICE_PixelWord kGridMinor = LICE_MakePixel(0x26, 0x2A, 0x30, 255);
constexpr LICE_PixelWord kGridMajor = LICE_MakePixel(0x36, 0x3B, 0x43, 255);
constexpr LICE_PixelWord kZeroLine = LICE_MakePixel(0x6A, 0x71, 0x7C, 255);
constexpr LICE_PixelWord kLabel = LICE_MakePixel(0xA9, 0xB0, 0xBA, 255);
constexpr LICE_PixelWord kTitle = LICE_MakePixel(0xEE, 0xF0, 0xF3, 255);
constexpr LICE_PixelWord kTotal = LICE_MakePixel(0xFF, 0xB8, 0x3D, 255);
constexpr LICE_PixelWord kTotalShade = LICE_MakePixel(0xFF, 0xB8, 0x3D, 46);
// The knob caps' colours: high red, mid green, low blue.
constexpr LICE_PixelWord kBands[3] = {LICE_MakePixel(0xFF, 0x6E, 0x61, 225),
                                      LICE_MakePixel(0x63, 0xD6, 0x8C, 225),
                                      LICE_MakePixel(0x5A, 0xAE, 0xFF, 225)};

std::string HzLabel(double f) {
  char text[16];
  if (f >= 1000.0)
    std::snprintf(text, sizeof(text), "%gk", f / 1000.0);
  else
    std::snprintf(text, sizeof(text), "%g", f);
  return text;
}

std::string DbLabel(int db) {
  char text[16];
  std::snprintf(text, sizeof(text), db > 0 ? "+%d" : "%d", db);
  return text;
}

} // namespace

double PlotRangeDb(const EqResponse& response) {
  double largest = 0.0;
  auto take = [&](const std::vector<double>& curve) {
    for (double v : curve)
      if (std::isfinite(v)) largest = std::max(largest, std::fabs(v));
  };
  take(response.totalDb);
  for (const auto& band : response.bandDb)
    take(band);
  // A little headroom so a curve never grazes the frame.
  const double range = std::ceil((largest + 0.5) / 6.0) * 6.0;
  return std::min(std::max(range, 12.0), 60.0);
}

bool DrawResponsePlot(const EqResponse& response, const ResponseLabels& labels, int width,
                      int height, LICE_MemBitmap& out) {
  out.Resize(width, height);
  if (out.Width() != width || out.Height() != height || !out.Pixels()) return false;
  PlotCanvas canvas(&out);
  canvas.FillRect(0, 0, width, height, kBackBottom);
  canvas.VerticalGradient(0, 0, width, height, kBackTop, kBackBottom);

  // Plot area.
  const int left = 78, right = width - 28, top = 78, bottom = height - 96;
  const double range = PlotRangeDb(response);
  auto xOf = [&](double f) {
    return left + (right - left) * std::log(f / kLowHz) / std::log(kHighHz / kLowHz);
  };
  auto yOf = [&](double db) {
    const double clamped = std::max(-range - 3.0, std::min(range + 3.0, db));
    return top + (bottom - top) * (range - clamped) / (2.0 * range);
  };
  canvas.FillRect(left, top, right - left, bottom - top, kPlotBack);

  // Grid: every 1-2-..-9 step of each decade, the decades and the labelled
  // values stronger; 6 dB steps across.
  for (double decade = 10.0; decade <= 10000.0; decade *= 10.0) {
    for (int k = 1; k <= 9; ++k) {
      const double f = decade * k;
      if (f < kLowHz || f > kHighHz) continue;
      const double x = std::floor(xOf(f)) + 0.5;
      canvas.Line(x, top, x, bottom, 1.0, k == 1 ? kGridMajor : kGridMinor);
    }
  }
  for (int db = -static_cast<int>(range); db <= static_cast<int>(range); db += 6) {
    const double y = std::floor(yOf(db)) + 0.5;
    canvas.Line(left, y, right, y, 1.0, db == 0 ? kZeroLine : kGridMajor);
    canvas.Text(DbLabel(db), left - 10, static_cast<int>(y) - 8, 13, kLabel,
                PlotCanvas::AlignRight);
  }
  const double labelled[] = {20, 50, 100, 200, 500, 1000, 2000, 5000, 10000, 20000};
  for (double f : labelled)
    canvas.Text(HzLabel(f), static_cast<int>(std::lround(xOf(f))), bottom + 8, 13, kLabel,
                PlotCanvas::AlignCentre);

  // Curves: the bands thin, the combined response bold over its shading.
  auto points = [&](const std::vector<double>& db) {
    std::vector<PlotCanvas::Point> p;
    for (size_t i = 0; i < db.size() && i < response.frequencies.size(); ++i)
      p.emplace_back(xOf(response.frequencies[i]), yOf(db[i]));
    return p;
  };
  const std::vector<PlotCanvas::Point> total = points(response.totalDb);
  canvas.FillToBaseline(total, yOf(0.0), kTotalShade);
  for (int b = 0; b < 3; ++b)
    canvas.Polyline(points(response.bandDb[b]), 1.6, kBands[b]);
  canvas.Polyline(total, 3.0, kTotal);

  // Frame over the curves' ends.
  canvas.Line(left - 0.5, top - 0.5, right + 0.5, top - 0.5, 1.0, kFrame);
  canvas.Line(left - 0.5, bottom + 0.5, right + 0.5, bottom + 0.5, 1.0, kFrame);
  canvas.Line(left - 0.5, top - 0.5, left - 0.5, bottom + 0.5, 1.0, kFrame);
  canvas.Line(right + 0.5, top - 0.5, right + 0.5, bottom + 0.5, 1.0, kFrame);

  // Titles and axis names.
  canvas.Text(labels.title, left, 18, 22, kTitle, PlotCanvas::AlignLeft, true);
  canvas.Text(labels.subtitle, left, 48, 13, kLabel);
  canvas.Text("Frequency (Hz)", (left + right) / 2, bottom + 32, 14, kTitle,
              PlotCanvas::AlignCentre);
  canvas.Text("Gain (dB)", 18, (top + bottom) / 2, 14, kTitle, PlotCanvas::AlignCentre, false,
              true);

  // Legend: one row under the axis name, clear of the curves.
  const std::string entries[4] = {labels.totalLegend, labels.bandLegend[0], labels.bandLegend[1],
                                  labels.bandLegend[2]};
  const LICE_PixelWord colours[4] = {kTotal, kBands[0], kBands[1], kBands[2]};
  const int swatch = 28, gap = 8, spacing = 34;
  int rowWidth = 0;
  for (int i = 0; i < 4; ++i)
    rowWidth += swatch + gap + canvas.TextWidth(entries[i], 13) + (i < 3 ? spacing : 0);
  int x = (left + right - rowWidth) / 2;
  const int rowY = bottom + 60;
  for (int i = 0; i < 4; ++i) {
    canvas.Line(x, rowY + 8.5, x + swatch, rowY + 8.5, i == 0 ? 3.0 : 1.8, colours[i]);
    x += swatch + gap;
    x += canvas.Text(entries[i], x, rowY, 13, i == 0 ? kTitle : kLabel) + spacing;
  }
  return true;
}
