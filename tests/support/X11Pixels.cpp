#include "X11Pixels.h"

#include <X11/Xutil.h>

std::vector<uint32_t> X11WindowPixels(Display* display, ::Window window, int x, int y, int width,
                                      int height) {
  std::vector<uint32_t> pixels;
  if (width <= 0 || height <= 0) return pixels;
  XImage* image = XGetImage(display, window, x, y, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (!image) return pixels;
  pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
  for (int row = 0; row < height; ++row)
    for (int column = 0; column < width; ++column)
      pixels.push_back(static_cast<uint32_t>(XGetPixel(image, column, row)) & 0xFFFFFF);
  XDestroyImage(image);
  return pixels;
}
