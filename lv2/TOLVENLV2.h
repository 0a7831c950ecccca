#pragma once

#include "TOLVENIdentity.h"

// How the channel strip appears to LV2 hosts, beside its parameter table:
// the URIs under which hosts know it, and which parameters carry what unit.
namespace TOLVENLV2 {

inline constexpr char kPluginUri[] = "https://oskavarine.example/lv2/tolven";
// The key of the parameter state in a host's saved state.
inline constexpr char kStateKeyUri[] = "https://oskavarine.example/lv2/tolven#parameterState";
// The default preset "-", stored in the bundle.
inline constexpr char kDefaultPresetUri[] = "https://oskavarine.example/lv2/tolven#preset-default";
// Shared object of the bundle, relative to the bundle folder.
inline constexpr char kBinaryName[] = "TOLVEN.so";
// The editor as an X11 UI, in a shared object of its own.
inline constexpr char kUiUri[] = "https://oskavarine.example/lv2/tolven#ui";
inline constexpr char kUiBinaryName[] = "TOLVEN_ui.so";

// The host's bypass engages "Bypass 1".
inline constexpr int kBypassParam = kBypass;

// Gains in dB: the values the plug-in turns into 10^(dB / 20). The band
// controls are plain 0..1 positions and carry no unit (their "%" label is
// what the other formats display, not a unit of the value).
inline constexpr bool IsDecibelParam(int paramIndex) {
  return paramIndex == kInputGain || paramIndex == kOutputGain;
}

} // namespace TOLVENLV2
