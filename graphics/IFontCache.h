#pragma once

#include "IGraphicsStructs.h"

// The process-wide cache of text fonts, keyed by size, orientation, style and
// face and shared by every editor of the module. Fonts are made from system
// fonts on first use and live until the module unloads. One lock guards the
// list, held for lookup and insertion only, never while a font is created.
class IFontCache {
public:
  // The font for the style's size, orientation, style and face; none when no
  // system font can be made.
  static LICE_IFont* Get(const ITextStyle& style);
  static int Size();
};
