#pragma once

#include "IBitmapControl.h"

// A bitmap control that steps to its next frame on every press (any button),
// wrapping from the last back to the first; a double press is one more press.
// Its number of states is its image's frame count.
class ISwitchControl : public IBitmapControl {
public:
  ISwitchControl(IPlugBase* plugin, int x, int y, int paramIndex, const IImage& image,
                 int blendMethod = IBlend::BlendNormal);

  void OnPress(int x, int y, const IMouseKeys& keys) override;
  void OnDoublePress(int x, int y, const IMouseKeys& keys) override;
};
