#include "PopupPainter.h"

#include "IFontCache.h"
#include "LICE_Composite.h"
#include "LICE_IFont.h"

namespace {

constexpr int kTextSize = 13;

LICE_IFont* PopupFont() {
  // A generic family name: the system's font matching picks its sans face.
  ITextStyle style("Sans", kTextSize, IArgb(255, 0, 0, 0), ITextStyle::StyleNormal,
                   ITextStyle::AlignNear);
  return IFontCache::Get(style);
}

} // namespace

int PopupPainter::LineHeight() {
  LICE_IFont* font = PopupFont();
  const int height = font ? font->LineHeight() : 0;
  return height > 0 ? height : kTextSize + 3;
}

int PopupPainter::TextWidth(const char* text) {
  LICE_IFont* font = PopupFont();
  if (!font || !text || !*text) return 0;
  LICE_Rect extent = {0, 0, 0, 0};
  font->DrawText(nullptr, text, -1, &extent, LICE_TEXT_SINGLELINE | LICE_TEXT_MEASURE);
  return extent.right - extent.left;
}

void PopupPainter::Fill(const IBox& box, LICE_PixelWord colour) {
  LICE_FillArea(mBitmap, box.L, box.T, box.W(), box.H(), colour);
}

void PopupPainter::Frame(const IBox& box, LICE_PixelWord colour, int thickness) {
  LICE_FillArea(mBitmap, box.L, box.T, box.W(), thickness, colour);
  LICE_FillArea(mBitmap, box.L, box.B - thickness, box.W(), thickness, colour);
  LICE_FillArea(mBitmap, box.L, box.T, thickness, box.H(), colour);
  LICE_FillArea(mBitmap, box.R - thickness, box.T, thickness, box.H(), colour);
}

void PopupPainter::Text(const char* text, const IBox& box, LICE_PixelWord colour, bool centre) {
  LICE_IFont* font = PopupFont();
  if (!font || !text || !*text) return;
  font->SetTextColour(colour);
  LICE_Rect rect = {box.L, box.T, box.R, box.B};
  font->DrawText(mBitmap, text, -1, &rect,
                 LICE_TEXT_SINGLELINE | LICE_TEXT_VCENTRE | (centre ? LICE_TEXT_CENTRE : 0));
}

void PopupPainter::CheckMark(int x, int y, LICE_PixelWord colour) {
  // Two strokes three pixels thick: down to the right, then up to the right.
  for (int t = 0; t < 3; ++t)
    LICE_FillArea(mBitmap, x - 4 + t, y - 1 + t, 1, 3, colour);
  for (int t = 0; t < 6; ++t)
    LICE_FillArea(mBitmap, x - 1 + t, y + 1 - t, 1, 3, colour);
}

void PopupPainter::Arrow(int x, int y, LICE_PixelWord colour) {
  for (int t = 0; t < 4; ++t)
    LICE_FillArea(mBitmap, x - 2 + t, y - 3 + t, 1, 7 - 2 * t, colour);
}
