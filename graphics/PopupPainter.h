#pragma once

#include "IGraphicsStructs.h"
#include "LICE_IBitmap.h"

class LICE_IFont;

// The look the editor's own popups (menus and message boxes, on window
// systems that offer none the editor can use) share, drawn with the raster
// library: their colours, their font and the few shapes they are made of.
class PopupPainter {
public:
  static constexpr LICE_PixelWord kBackground = LICE_MakePixel(242, 242, 242, 255);
  static constexpr LICE_PixelWord kFrame = LICE_MakePixel(128, 128, 128, 255);
  static constexpr LICE_PixelWord kText = LICE_MakePixel(0, 0, 0, 255);
  static constexpr LICE_PixelWord kGreyText = LICE_MakePixel(160, 160, 160, 255);
  static constexpr LICE_PixelWord kHighlight = LICE_MakePixel(61, 111, 184, 255);
  static constexpr LICE_PixelWord kHighlightText = LICE_MakePixel(255, 255, 255, 255);
  static constexpr LICE_PixelWord kSeparator = LICE_MakePixel(200, 200, 200, 255);
  static constexpr LICE_PixelWord kButton = LICE_MakePixel(228, 228, 228, 255);
  static constexpr LICE_PixelWord kButtonPressed = LICE_MakePixel(200, 200, 200, 255);

  explicit PopupPainter(LICE_IBitmap* bitmap) : mBitmap(bitmap) {}

  // The text's height of a line; a usable value also without a font.
  static int LineHeight();
  // The width of one line of text; 0 without a font.
  static int TextWidth(const char* text);

  void Fill(const IBox& box, LICE_PixelWord colour);
  // A frame thickness pixels wide just inside box.
  void Frame(const IBox& box, LICE_PixelWord colour, int thickness = 1);
  // One line of text inside box, centred vertically; centred horizontally
  // when centre is set, else from the left edge.
  void Text(const char* text, const IBox& box, LICE_PixelWord colour, bool centre = false);
  // A check mark centred on (x, y), about 9 x 7 pixels.
  void CheckMark(int x, int y, LICE_PixelWord colour);
  // A small triangle pointing right, centred on (x, y).
  void Arrow(int x, int y, LICE_PixelWord colour);

private:
  LICE_IBitmap* mBitmap;
};
