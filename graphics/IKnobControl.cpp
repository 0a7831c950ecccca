#include "IKnobControl.h"

IKnobControl::IKnobControl(IPlugBase* plugin, const IBox& area, int paramIndex, int direction,
                           double gearing)
    : IControl(plugin, area, paramIndex, IBlend::BlendNormal), mDirection(direction),
      mGearing(gearing) {}
