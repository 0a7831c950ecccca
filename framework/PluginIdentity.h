#pragma once

#include "FourCharCode.h"

#include <cstdint>

// Everything a plug-in definition hands to IPlugBase at construction. A plain
// aggregate so a plug-in can keep it as a constant:
//
//   constexpr PluginIdentity kIdentity = {"NAME", "", "Maker", 0x00010000,
//       FourCharCode("ABCD"), FourCharCode("Mkr1"), "1-1 2-2", 6, 1, 0,
//       false, false, false};
struct PluginIdentity {
  const char* effectName;      // at most 127 characters are kept
  const char* productName;     // at most 127 characters are kept
  const char* makerName;       // at most 127 characters are kept
  int32_t version;             // 0xVVVVRRMM
  int32_t uniqueID;            // four-character code
  int32_t makerID;             // four-character code
  const char* channelIOString; // e.g. "1-1 2-2"
  int numParams;
  int numPresets;
  int latency; // frames
  bool doesMidi;
  bool doesStateChunks;
  bool isInstrument;
};

// Plug-in format codes reported by IPlugBase::PluginFormat.
enum EPluginFormat : int { kFormatVST2 = 0, kFormatVST3 = 1 };
