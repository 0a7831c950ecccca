#pragma once

#include "lv2/state/state.h"

// The State extension of the binding: the plug-in's parameter state (the
// same bytes as the VST2 program chunk body, one little-endian double per
// parameter) stored as one atom:Chunk under the plug-in's own key. The
// handles it receives are IPlugLV2 instances.
class LV2State {
public:
  // The interface a host finds through extension_data(LV2_STATE__interface).
  static const LV2_State_Interface* Interface();

  // Stores the parameter state; POD and portable (fixed byte order).
  static LV2_State_Status Save(LV2_Handle instance, LV2_State_Store_Function store,
                               LV2_State_Handle handle, uint32_t flags,
                               const LV2_Feature* const* features);
  // Refuses, changing nothing: a missing key (no property), another type
  // than atom:Chunk (bad type), a size other than one double per parameter
  // or a value that is not finite (unknown: the API has no better code).
  static LV2_State_Status Restore(LV2_Handle instance, LV2_State_Retrieve_Function retrieve,
                                  LV2_State_Handle handle, uint32_t flags,
                                  const LV2_Feature* const* features);
};
