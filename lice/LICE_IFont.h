#pragma once

#include "LICE_IBitmap.h"
#include "LICE_SystemFont.h"

// Flags for DrawText. The low ones have the values of the Win32 DrawText
// flags, so the native path passes them on unchanged.
constexpr unsigned int LICE_TEXT_CENTRE = 0x1;      // centre each line horizontally
constexpr unsigned int LICE_TEXT_RIGHT = 0x2;       // align lines to the right edge
constexpr unsigned int LICE_TEXT_VCENTRE = 0x4;     // centre the text vertically
constexpr unsigned int LICE_TEXT_BOTTOM = 0x8;      // align the text to the bottom edge
constexpr unsigned int LICE_TEXT_SINGLELINE = 0x20; // a line feed counts as a space
constexpr unsigned int LICE_TEXT_NOCLIP = 0x100;    // clip to the bitmap only
constexpr unsigned int LICE_TEXT_MEASURE = 0x400;   // set the box to the extent, draw nothing
constexpr unsigned int LICE_TEXT_COLOURALPHA = 0x40000000; // text colour's alpha scales opacity
constexpr unsigned int LICE_TEXT_NEEDALPHA = 0x80000000;   // keep to our own drawing

// Font flags for SetSystemFont.
constexpr int LICE_FONT_VERTICAL = 0x1;        // text runs vertically...
constexpr int LICE_FONT_UPWARD = 0x2;          // ...upwards instead of downwards
constexpr int LICE_FONT_ASCII_ONLY = 0x4;      // render codes 0-127 at once, never any other
constexpr int LICE_FONT_BLUR = 0x10;           // blur the rendered glyphs
constexpr int LICE_FONT_INVERT = 0x20;         // invert the coverage
constexpr int LICE_FONT_MONO = 0x40;           // no antialiasing: coverage is 0 or full
constexpr int LICE_FONT_SHADOW = 0x80;         // shadow below right, in the effect colour
constexpr int LICE_FONT_OUTLINE = 0x100;       // outline, in the effect colour
constexpr int LICE_FONT_OWNS_HANDLE = 0x200;   // the font deletes the system font
constexpr int LICE_FONT_PREFER_NATIVE = 0x400; // draw with the system where possible

// Back modes.
constexpr int LICE_BACKMODE_TRANSPARENT = 1;
constexpr int LICE_BACKMODE_OPAQUE = 2;

// A font that draws text into bitmaps. The virtual operations keep this order.
// Note: windows.h defines DrawText as a macro; code that includes it and calls
// DrawText here must #undef it first.
class LICE_IFont {
public:
  virtual ~LICE_IFont() {}
  virtual void SetSystemFont(LICE_FontHandle font, int flags = 0) = 0;
  // Each setter returns the previous value.
  virtual LICE_PixelWord SetTextColour(LICE_PixelWord colour) = 0;
  virtual LICE_PixelWord SetBackColour(LICE_PixelWord colour) = 0;
  virtual LICE_PixelWord SetEffectColour(LICE_PixelWord colour) = 0;
  virtual int SetBackMode(int mode) = 0;
  // Compose mode (LICE_COMPOSE_*) and opacity (0..1) the text is drawn with.
  virtual void SetCombine(int mode, float opacity) = 0;
  // Draws UTF-8 text (length < 0: up to the NUL) into box with LICE_TEXT_*
  // flags. Measuring sets box's right and bottom to the extent and returns the
  // width (the height for vertical text); drawing returns the text's height
  // (width for vertical text).
  virtual int DrawText(LICE_IBitmap* bitmap, const char* text, int length, LICE_Rect* box,
                       unsigned int flags) = 0;
  virtual LICE_PixelWord TextColour() const = 0;
  virtual LICE_FontHandle SystemFont() const = 0;
  virtual int LineHeight() const = 0;
};
