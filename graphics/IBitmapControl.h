#pragma once

#include "IControl.h"

// Shows one frame of an image strip, chosen by the value (the background, the
// VU meter).
class IBitmapControl : public IControl {
public:
  // The area is one frame of the image with its top-left corner at (x, y).
  IBitmapControl(IPlugBase* plugin, int x, int y, int paramIndex, const IImage& image,
                 int blendMethod = IBlend::BlendNormal);
  IBitmapControl(IPlugBase* plugin, const IBox& area, int paramIndex, const IImage& image,
                 int blendMethod = IBlend::BlendNormal);

  bool Draw(IGraphics& graphics) override;

  // The 1-based frame the current value shows.
  int Frame() const;
  const IImage& Image() const { return mImage; }

  // One frame of image placed at (x, y).
  static IBox FrameArea(int x, int y, const IImage& image);
  // Where frame (1-based) of image starts inside the strip.
  static void FrameOffset(const IImage& image, int frame, int* srcX, int* srcY);

protected:
  IImage mImage;
};
