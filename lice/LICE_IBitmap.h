#pragma once

#include <cstdint>

// One pixel: bytes blue, green, red, alpha in memory, so a little-endian read
// gives alpha << 24 | red << 16 | green << 8 | blue. Alpha is straight (colour
// is never premultiplied); 255 is opaque.
typedef uint32_t LICE_PixelWord;

inline constexpr LICE_PixelWord LICE_MakePixel(int r, int g, int b, int a) {
  return (LICE_PixelWord)(((unsigned)a & 0xFF) << 24 | ((unsigned)r & 0xFF) << 16 |
                          ((unsigned)g & 0xFF) << 8 | ((unsigned)b & 0xFF));
}
inline constexpr int LICE_PixelBlue(LICE_PixelWord p) {
  return (int)(p & 0xFF);
}
inline constexpr int LICE_PixelGreen(LICE_PixelWord p) {
  return (int)((p >> 8) & 0xFF);
}
inline constexpr int LICE_PixelRed(LICE_PixelWord p) {
  return (int)((p >> 16) & 0xFF);
}
inline constexpr int LICE_PixelAlpha(LICE_PixelWord p) {
  return (int)(p >> 24);
}

// Integer rectangle; right and bottom are exclusive.
struct LICE_Rect {
  int left;
  int top;
  int right;
  int bottom;
};

// A raster: rows of RowSpan pixels, of which the first Width are the image.
// The virtual operations keep this order; other code relies on it.
class LICE_IBitmap {
public:
  virtual ~LICE_IBitmap() {}
  // Start of stored row 0, or none.
  virtual LICE_PixelWord* Pixels() = 0;
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  // Pixels per stored row (at least Width).
  virtual int RowSpan() const = 0;
  // True when stored row 0 is the image's bottom row.
  virtual bool IsBottomUp() const { return false; }
  // True when the size changed.
  virtual bool Resize(int width, int height) = 0;
  // The system drawing context that renders into the pixels, or none.
  virtual void* DeviceContext() { return nullptr; }
  // Reserved hook for special bitmaps; 0 means "not answered".
  virtual intptr_t Extension(int id, void* data) {
    (void)id;
    (void)data;
    return 0;
  }
};
