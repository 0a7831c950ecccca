#pragma once

// The small interface between the portable glyph cache and the platform's
// font engine (GDI on Windows, FreeType elsewhere). Internal to the library.

#include "LICE_IBitmap.h"
#include "LICE_SystemFont.h"

class LICE_SysBitmap;

namespace lice_font_backend {

// The font's line height as the system reports it (0 when unknown).
int LineHeight(LICE_SysBitmap* scratch, LICE_FontHandle font);

// Sets the scratch surface up for rasterising: white text on an opaque black
// background.
void PrepareScratch(LICE_SysBitmap* scratch);

// Measures one character as a single line: its advance and cell height.
bool MeasureChar(LICE_SysBitmap* scratch, LICE_FontHandle font, long code, int* width, int* height);

// Draws one character white, unclipped, with its cell's top-left corner at
// (x, 0) of the scratch surface. The pixels are up to date on return.
void DrawCharWhite(LICE_SysBitmap* scratch, LICE_FontHandle font, long code, int x);

// True where the system can draw text into a drawing context at all.
bool NativeTextAvailable();

// True where native drawing is also preferable: not under an emulation layer
// whose text output differs from the real system's.
bool NativeTextPreferred();

// Draws (or with the measure flag, measures) UTF-8 text into a drawing
// context with the system's text drawing; box is updated when measuring.
// Returns the system's result (the text height), 0 on failure.
int NativeDrawText(void* context, LICE_FontHandle font, const char* text, int length,
                   LICE_Rect* box, unsigned int flags, LICE_PixelWord textColour, int backMode,
                   LICE_PixelWord backColour);

} // namespace lice_font_backend
