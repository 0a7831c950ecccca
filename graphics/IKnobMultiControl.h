#pragma once

#include "IKnobControl.h"

// A knob drawn from an image strip (one frame per position), turned by
// vertical or horizontal drags and by the wheel; ctrl or shift gives ten
// times finer control.
class IKnobMultiControl : public IKnobControl {
public:
  static constexpr double kFineFactor = 10.0;
  static constexpr double kWheelStep = 0.01;
  static constexpr double kFineWheelStep = 0.001;

  // The area is one frame of the image with its top-left corner at (x, y).
  IKnobMultiControl(IPlugBase* plugin, int x, int y, int paramIndex, const IImage& image,
                    int direction = Vertical, double gearing = kDefaultGearing);

  void OnDrag(int x, int y, int dx, int dy, const IMouseKeys& keys) override;
  void OnWheel(int x, int y, const IMouseKeys& keys, int notches) override;
  bool Draw(IGraphics& graphics) override;

  // The 1-based frame the current value shows.
  int Frame() const;
  const IImage& Image() const { return mImage; }

protected:
  IImage mImage;
};
