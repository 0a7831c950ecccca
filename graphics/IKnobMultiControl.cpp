#include "IKnobMultiControl.h"

#include "IBitmapControl.h"
#include "IGraphics.h"

IKnobMultiControl::IKnobMultiControl(IPlugBase* plugin, int x, int y, int paramIndex,
                                     const IImage& image, int direction, double gearing)
    : IKnobControl(plugin, IBitmapControl::FrameArea(x, y, image), paramIndex, direction, gearing),
      mImage(image) {}

void IKnobMultiControl::OnDrag(int /*x*/, int /*y*/, int dx, int dy, const IMouseKeys& keys) {
  double gearing = mGearing;
  if (keys.ctrl || keys.shift) gearing *= kFineFactor;
  // A knob without extent (or without gearing) has no travel to map a drag
  // onto; dividing by it would store an infinity or NaN.
  const int extent = mDirection == Horizontal ? mArea.R - mArea.L : mArea.T - mArea.B;
  if (extent == 0 || gearing == 0.0) return;
  const int delta = mDirection == Horizontal ? dx : dy;
  // The box height enters negated (T - B), so moving up raises the value.
  mValue = mValue + static_cast<double>(delta) / static_cast<double>(extent) / gearing;
  MarkDirty(true);
}

void IKnobMultiControl::OnWheel(int /*x*/, int /*y*/, const IMouseKeys& keys, int notches) {
  const double step = (keys.ctrl || keys.shift) ? kFineWheelStep : kWheelStep;
  mValue = mValue + notches * step;
  MarkDirty(true);
}

int IKnobMultiControl::Frame() const {
  const int n = mImage.frameCount;
  if (n < 2) return 1;
  const int t = SaturatingTrunc((n - 1) * mValue + 0.5);
  if (t < 0) return 1;
  return t >= n ? n : t + 1;
}

bool IKnobMultiControl::Draw(IGraphics& graphics) {
  int srcX = 0, srcY = 0;
  IBitmapControl::FrameOffset(mImage, Frame(), &srcX, &srcY);
  graphics.DrawImage(mImage, mArea, srcX, srcY, &mBlend);
  return true;
}
