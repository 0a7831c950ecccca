#pragma once

#include "LICE_IBitmap.h"

// Compose modes: the low byte selects the operation, LICE_COMPOSE_SRCALPHA
// weights every pixel by the source alpha.
constexpr int LICE_COMPOSE_COPY = 0;
constexpr int LICE_COMPOSE_ADD = 1;
constexpr int LICE_COMPOSE_DODGE = 2;
constexpr int LICE_COMPOSE_MULTIPLY = 3;
constexpr int LICE_COMPOSE_OVERLAY = 4;
constexpr int LICE_COMPOSE_HSVADJUST = 5;
constexpr int LICE_COMPOSE_CHANCOPY = 0xF0;
constexpr int LICE_COMPOSE_SRCALPHA = 0x10000;
constexpr int LICE_COMPOSE_MASK = 0xFF;

// Channel numbers for the channel copy.
constexpr int LICE_CHANNEL_BLUE = 0;
constexpr int LICE_CHANNEL_GREEN = 1;
constexpr int LICE_CHANNEL_RED = 2;
constexpr int LICE_CHANNEL_ALPHA = 3;

// The channel-copy mode writing source channel srcChannel into destChannel.
inline constexpr int LICE_ChannelCopyMode(int destChannel, int srcChannel) {
  return LICE_COMPOSE_CHANCOPY + ((destChannel & 3) << 2) + (srcChannel & 3);
}

// Copies the source region srcRect (the whole source when none) onto dest with
// its top-left pixel at (destX, destY), combining by mode at opacity (0..1).
// Everything is clipped to both bitmaps; empty or reversed regions, missing
// pixels and zero opacity draw nothing.
//
// Overlay (4) combines each channel as d < 128 ? 2ds/255 : 255 - 2(255-d)(255-s)/255
// and moves d toward that by the opacity weight. HSV adjust (5) reads the
// source as an adjustment of the destination: red turns the hue by
// red/256 of a full turn, green scales the saturation and blue the value by
// channel/128 (128 leaves them as they are); alpha is kept.
void LICE_Composite(LICE_IBitmap* dest, LICE_IBitmap* src, int destX, int destY,
                    const LICE_Rect* srcRect = nullptr, float opacity = 1.0f,
                    int mode = LICE_COMPOSE_COPY);

// Fills the rectangle (x, y, w, h) of dest with colour, combined by mode at
// opacity; with LICE_COMPOSE_SRCALPHA the colour's alpha scales the opacity.
void LICE_FillArea(LICE_IBitmap* dest, int x, int y, int w, int h, LICE_PixelWord colour,
                   float opacity = 1.0f, int mode = LICE_COMPOSE_COPY);
