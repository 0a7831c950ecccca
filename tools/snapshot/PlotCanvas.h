#pragma once

#include "LICE_IBitmap.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

class LICE_CachedFont;

// Antialiased drawing for pictures made by tools: filled rectangles and
// gradients, lines and polylines of any width (coverage from the distance of
// each pixel centre to the line), and text through the raster library's
// cached fonts. The target is treated as opaque; colours carry straight alpha.
class PlotCanvas {
public:
  enum EAlign { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };
  using Point = std::pair<double, double>;

  explicit PlotCanvas(LICE_IBitmap* target);
  ~PlotCanvas();
  PlotCanvas(const PlotCanvas&) = delete;
  PlotCanvas& operator=(const PlotCanvas&) = delete;

  int Width() const { return mWidth; }
  int Height() const { return mHeight; }

  // Lays colour over the pixel with weight coverage x colour alpha.
  void Blend(int x, int y, LICE_PixelWord colour, double coverage);
  void FillRect(int x, int y, int w, int h, LICE_PixelWord colour);
  void VerticalGradient(int x, int y, int w, int h, LICE_PixelWord top, LICE_PixelWord bottom);
  void Line(double x0, double y0, double x1, double y1, double width, LICE_PixelWord colour);
  // One stroke through the points: where segments meet, the joint is not
  // painted twice.
  void Polyline(const std::vector<Point>& points, double width, LICE_PixelWord colour);
  // Fills between the polyline (one point per column, x ascending) and the
  // horizontal line at baseY.
  void FillToBaseline(const std::vector<Point>& points, double baseY, LICE_PixelWord colour);

  // Draws text with its top-left (or top-centre / top-right) corner at x, y;
  // vertical text runs upwards with its bottom at y. Returns the text's
  // length in pixels (0 when no font is available).
  int Text(const std::string& text, int x, int y, int size, LICE_PixelWord colour,
           EAlign align = AlignLeft, bool bold = false, bool vertical = false);
  int TextWidth(const std::string& text, int size, bool bold = false);

private:
  LICE_CachedFont* Font(int size, bool bold, bool vertical);

  struct FontEntry {
    int size;
    bool bold;
    bool vertical;
    std::unique_ptr<LICE_CachedFont> font;
  };

  LICE_IBitmap* mTarget;
  int mWidth;
  int mHeight;
  std::vector<FontEntry> mFonts;
};
