#pragma once

#include "LICE_IBitmap.h"

#include <cstddef>

// Images larger than this many pixels are refused by the decoder.
constexpr long long LICE_PNG_MAX_PIXELS = 64LL * 1024 * 1024;

// Decodes PNG bytes into straight-alpha pixel words. Without a target a new
// LICE_MemBitmap is returned (the caller deletes it); with one, the target is
// resized to the image and returned. Returns none for anything that is not a
// complete, valid PNG of at most LICE_PNG_MAX_PIXELS pixels; a target then
// stays the caller's, with whatever size it was given.
LICE_IBitmap* LICE_DecodePngMemory(const void* bytes, size_t length,
                                   LICE_IBitmap* target = nullptr);

// The same from a file; the path is UTF-8.
LICE_IBitmap* LICE_DecodePngFile(const char* path, LICE_IBitmap* target = nullptr);

// Writes the bitmap as an 8-bit RGBA PNG (RGB when keepAlpha is false); the
// path is UTF-8. For tools; returns false on any failure.
bool LICE_WritePng(const char* path, LICE_IBitmap* bitmap, bool keepAlpha = true);
