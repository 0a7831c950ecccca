#pragma once

#include "PluginIdentity.h"

// Who the channel strip is, as every binding reports it. Kept apart from the
// class so that a module's factory can describe the plug-in before creating
// an instance.
inline constexpr PluginIdentity kTOLVENIdentity = {
    "TOLVEN",             // effect name
    "",                   // product name
    "Oskavarine",         // maker name
    0x00010000,           // version 1.0.0
    FourCharCode("TLV1"), // unique ID
    FourCharCode("Oska"), // maker ID
    "1-1 2-2",            // mono or stereo, in and out alike
    6,                    // parameters
    1,                    // preset slots
    0,                    // latency
    false,                // MIDI
    false,                // opaque state chunks: the host stores parameter values
    false,                // instrument
};

// Parameter indices: also the host parameter numbers and the state order.
enum ETOLVENParam : int {
  kHighGain = 0,
  kMidGain,
  kLowGain,
  kInputGain,
  kOutputGain,
  kBypass,
  kNumTOLVENParams
};
