#pragma once

#include "IControl.h"

// A control turned by dragging: the direction of travel and its gearing (how
// many times the knob's own size a full sweep takes).
class IKnobControl : public IControl {
public:
  enum EDirection : int { Vertical = 0, Horizontal = 1 };
  static constexpr double kDefaultGearing = 4.0;

  IKnobControl(IPlugBase* plugin, const IBox& area, int paramIndex, int direction = Vertical,
               double gearing = kDefaultGearing);

  int Direction() const { return mDirection; }
  double Gearing() const { return mGearing; }

protected:
  int mDirection;
  double mGearing;
};
