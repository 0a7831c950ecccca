#include "IBitmapControl.h"

#include "IGraphics.h"

IBitmapControl::IBitmapControl(IPlugBase* plugin, int x, int y, int paramIndex, const IImage& image,
                               int blendMethod)
    : IControl(plugin, FrameArea(x, y, image), paramIndex, blendMethod), mImage(image) {}

IBitmapControl::IBitmapControl(IPlugBase* plugin, const IBox& area, int paramIndex,
                               const IImage& image, int blendMethod)
    : IControl(plugin, area, paramIndex, blendMethod), mImage(image) {}

IBox IBitmapControl::FrameArea(int x, int y, const IImage& image) {
  return IBox(x, y, x + image.FrameWidth(), y + image.FrameHeight());
}

void IBitmapControl::FrameOffset(const IImage& image, int frame, int* srcX, int* srcY) {
  const int n = image.Frames();
  *srcX = 0;
  *srcY = 0;
  if (n < 2 || frame < 2) return;
  if (image.framesHorizontal)
    *srcX = static_cast<int>(static_cast<double>(image.width) * (frame - 1) / n + 0.5);
  else
    *srcY = static_cast<int>(static_cast<double>(image.height) * (frame - 1) / n + 0.5);
}

int IBitmapControl::Frame() const {
  const int n = mImage.frameCount;
  if (n < 2) return 1;
  const long long frame = static_cast<long long>(SaturatingTrunc((n - 1) * mValue + 0.5)) + 1;
  if (frame <= 0) return 1;
  return frame > n ? n : static_cast<int>(frame);
}

bool IBitmapControl::Draw(IGraphics& graphics) {
  int srcX = 0, srcY = 0;
  FrameOffset(mImage, Frame(), &srcX, &srcY);
  graphics.DrawImage(mImage, mArea, srcX, srcY, &mBlend);
  return true;
}
