#include "PlotCanvas.h"

#include "LICE_CachedFont.h"

#include <algorithm>
#include <cmath>

namespace {

double Clamp01(double v) {
  return v < 0.0 ? 0.0 : (v > 1.0 ? 1.0 : v);
}

// Distance from (px, py) to the segment (x0, y0)-(x1, y1).
double SegmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
  const double dx = x1 - x0, dy = y1 - y0;
  const double length2 = dx * dx + dy * dy;
  double t = length2 > 0.0 ? ((px - x0) * dx + (py - y0) * dy) / length2 : 0.0;
  t = Clamp01(t);
  const double ex = x0 + t * dx - px, ey = y0 + t * dy - py;
  return std::sqrt(ex * ex + ey * ey);
}

int Mix(int a, int b, double t) {
  return static_cast<int>(std::lround(a + (b - a) * t));
}

} // namespace

PlotCanvas::PlotCanvas(LICE_IBitmap* target)
    : mTarget(target), mWidth(target && target->Pixels() ? target->Width() : 0),
      mHeight(target && target->Pixels() ? target->Height() : 0) {}

PlotCanvas::~PlotCanvas() = default;

void PlotCanvas::Blend(int x, int y, LICE_PixelWord colour, double coverage) {
  if (x < 0 || y < 0 || x >= mWidth || y >= mHeight) return;
  const double a = Clamp01(coverage) * LICE_PixelAlpha(colour) / 255.0;
  if (a <= 0.0) return;
  LICE_PixelWord& d = mTarget->Pixels()[static_cast<size_t>(y) * mTarget->RowSpan() + x];
  d = LICE_MakePixel(Mix(LICE_PixelRed(d), LICE_PixelRed(colour), a),
                     Mix(LICE_PixelGreen(d), LICE_PixelGreen(colour), a),
                     Mix(LICE_PixelBlue(d), LICE_PixelBlue(colour), a), 255);
}

void PlotCanvas::FillRect(int x, int y, int w, int h, LICE_PixelWord colour) {
  for (int j = std::max(y, 0); j < std::min(y + h, mHeight); ++j)
    for (int i = std::max(x, 0); i < std::min(x + w, mWidth); ++i)
      Blend(i, j, colour, 1.0);
}

void PlotCanvas::VerticalGradient(int x, int y, int w, int h, LICE_PixelWord top,
                                  LICE_PixelWord bottom) {
  for (int j = 0; j < h; ++j) {
    const double t = h > 1 ? static_cast<double>(j) / (h - 1) : 0.0;
    const LICE_PixelWord c = LICE_MakePixel(Mix(LICE_PixelRed(top), LICE_PixelRed(bottom), t),
                                            Mix(LICE_PixelGreen(top), LICE_PixelGreen(bottom), t),
                                            Mix(LICE_PixelBlue(top), LICE_PixelBlue(bottom), t),
                                            Mix(LICE_PixelAlpha(top), LICE_PixelAlpha(bottom), t));
    FillRect(x, y + j, w, 1, c);
  }
}

void PlotCanvas::Line(double x0, double y0, double x1, double y1, double width,
                      LICE_PixelWord colour) {
  Polyline({{x0, y0}, {x1, y1}}, width, colour);
}

void PlotCanvas::Polyline(const std::vector<Point>& points, double width, LICE_PixelWord colour) {
  if (points.empty() || mWidth == 0) return;
  const double reach = width * 0.5 + 1.0;
  // The strongest coverage any segment gives each pixel, so joints are not
  // painted twice.
  double minX = points[0].first, maxX = minX, minY = points[0].second, maxY = minY;
  for (const Point& p : points) {
    minX = std::min(minX, p.first);
    maxX = std::max(maxX, p.first);
    minY = std::min(minY, p.second);
    maxY = std::max(maxY, p.second);
  }
  const int x0 = std::max(0, static_cast<int>(std::floor(minX - reach)));
  const int y0 = std::max(0, static_cast<int>(std::floor(minY - reach)));
  const int x1 = std::min(mWidth, static_cast<int>(std::ceil(maxX + reach)) + 1);
  const int y1 = std::min(mHeight, static_cast<int>(std::ceil(maxY + reach)) + 1);
  if (x0 >= x1 || y0 >= y1) return;
  const int w = x1 - x0;
  std::vector<float> mask(static_cast<size_t>(w) * (y1 - y0), 0.0f);
  const size_t segments = points.size() > 1 ? points.size() - 1 : 1;
  for (size_t s = 0; s < segments; ++s) {
    const Point& a = points[s];
    const Point& b = points[std::min(s + 1, points.size() - 1)];
    const int sx0 = std::max(x0, static_cast<int>(std::floor(std::min(a.first, b.first) - reach)));
    const int sx1 =
        std::min(x1, static_cast<int>(std::ceil(std::max(a.first, b.first) + reach)) + 1);
    const int sy0 =
        std::max(y0, static_cast<int>(std::floor(std::min(a.second, b.second) - reach)));
    const int sy1 =
        std::min(y1, static_cast<int>(std::ceil(std::max(a.second, b.second) + reach)) + 1);
    for (int y = sy0; y < sy1; ++y) {
      for (int x = sx0; x < sx1; ++x) {
        const double d = SegmentDistance(x + 0.5, y + 0.5, a.first, a.second, b.first, b.second);
        const float coverage = static_cast<float>(Clamp01(width * 0.5 + 0.5 - d));
        float& m = mask[static_cast<size_t>(y - y0) * w + (x - x0)];
        m = std::max(m, coverage);
      }
    }
  }
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      const float m = mask[static_cast<size_t>(y - y0) * w + (x - x0)];
      if (m > 0.0f) Blend(x, y, colour, m);
    }
}

void PlotCanvas::FillToBaseline(const std::vector<Point>& points, double baseY,
                                LICE_PixelWord colour) {
  for (size_t i = 0; i + 1 < points.size(); ++i) {
    const Point& a = points[i];
    const Point& b = points[i + 1];
    const int xa = static_cast<int>(std::ceil(a.first - 0.5));
    const int xb = static_cast<int>(std::ceil(b.first - 0.5));
    for (int x = xa; x < xb; ++x) {
      const double t = b.first > a.first ? (x + 0.5 - a.first) / (b.first - a.first) : 0.0;
      const double y = a.second + (b.second - a.second) * Clamp01(t);
      const double top = std::min(y, baseY), bottom = std::max(y, baseY);
      for (int py = static_cast<int>(std::floor(top)); py < static_cast<int>(std::ceil(bottom));
           ++py) {
        // Partial coverage at the two ends of the span.
        const double cover = std::min(py + 1.0, bottom) - std::max(static_cast<double>(py), top);
        Blend(x, py, colour, cover);
      }
    }
  }
}

LICE_CachedFont* PlotCanvas::Font(int size, bool bold, bool vertical) {
  for (const FontEntry& entry : mFonts)
    if (entry.size == size && entry.bold == bold && entry.vertical == vertical)
      return entry.font.get();
  LICE_FontHandle handle = LICE_CreateSystemFont("Verdana", size, bold ? 700 : 400);
  if (!handle) return nullptr;
  auto font = std::make_unique<LICE_CachedFont>();
  // Always the library's own glyph drawing, so the picture is the same on
  // every system; vertical text is rendered upwards.
  font->SetSystemFont(handle, LICE_FONT_OWNS_HANDLE |
                                  (vertical ? LICE_FONT_VERTICAL | LICE_FONT_UPWARD : 0));
  mFonts.push_back({size, bold, vertical, std::move(font)});
  return mFonts.back().font.get();
}

int PlotCanvas::TextWidth(const std::string& text, int size, bool bold) {
  LICE_CachedFont* font = Font(size, bold, false);
  if (!font || text.empty()) return 0;
  LICE_Rect box = {0, 0, 0, 0};
  return font->DrawText(nullptr, text.c_str(), -1, &box, LICE_TEXT_MEASURE | LICE_TEXT_NEEDALPHA);
}

int PlotCanvas::Text(const std::string& text, int x, int y, int size, LICE_PixelWord colour,
                     EAlign align, bool bold, bool vertical) {
  LICE_CachedFont* font = Font(size, bold, vertical);
  if (!font || text.empty() || mWidth == 0) return 0;
  LICE_Rect extent = {0, 0, 0, 0};
  const unsigned int flags = LICE_TEXT_NEEDALPHA | LICE_TEXT_COLOURALPHA;
  const int length = font->DrawText(nullptr, text.c_str(), -1, &extent, flags | LICE_TEXT_MEASURE);
  int left = x, top = y;
  if (!vertical) {
    if (align == AlignCentre) left = x - length / 2;
    if (align == AlignRight) left = x - length;
  } else {
    top = y - length;
    if (align == AlignCentre) top = y - length / 2;
  }
  font->SetTextColour(colour);
  LICE_Rect box = {left, top, left + extent.right + 1, top + extent.bottom + 1};
  font->DrawText(mTarget, text.c_str(), -1, &box, flags);
  return length;
}
