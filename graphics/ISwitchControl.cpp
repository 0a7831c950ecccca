#include "ISwitchControl.h"

ISwitchControl::ISwitchControl(IPlugBase* plugin, int x, int y, int paramIndex, const IImage& image,
                               int blendMethod)
    : IBitmapControl(plugin, x, y, paramIndex, image, blendMethod) {}

void ISwitchControl::OnPress(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  const int n = mImage.frameCount;
  const double step = n < 2 ? 1.0 : 1.0 / (n - 1);
  double value = mValue + step;
  // The tolerance absorbs the rounding of repeated 1 / (n - 1) steps.
  if (value > 1.001) value = 0.0;
  mValue = value;
  MarkDirty(true);
}

void ISwitchControl::OnDoublePress(int x, int y, const IMouseKeys& keys) {
  OnPress(x, y, keys);
}
