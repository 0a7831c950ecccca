#pragma once

// Where the editor puts each image and how its frames are ordered; the
// artwork is drawn to fit. Knob centres are the centres of their frames.

#include <cmath>

namespace artwork_layout {

constexpr int kEditorWidth = 135;
constexpr int kEditorHeight = 662;

struct Strip {
  int id;           // module resource id
  const char* file; // file name in the image folder
  int width;        // frame width = strip width
  int frameHeight;
  int frames; // stacked top to bottom
  int x;      // position of the control in the editor
  int y;
};

constexpr Strip kBackground{101, "BG.png", 135, 692, 1, 0, 0};
constexpr Strip kBypass{102, "BY.png", 79, 44, 2, 28, 594};
constexpr Strip kHigh{103, "HG.png", 73, 69, 61, 32, 219};
constexpr Strip kMid{104, "MG.png", 73, 69, 61, 32, 302};
constexpr Strip kLow{105, "LG.png", 73, 65, 61, 32, 390};
constexpr Strip kInput{106, "IN.png", 104, 102, 61, 16, 479};
constexpr Strip kOutput{107, "OUT.png", 102, 102, 61, 18, 107};
constexpr Strip kMeter{110, "VU.png", 127, 67, 121, 5, 4};

constexpr Strip kStrips[] = {kBackground, kBypass, kHigh, kMid, kLow, kInput, kOutput, kMeter};

inline float CentreX(const Strip& s) {
  return s.x + s.width * 0.5f;
}
inline float CentreY(const Strip& s) {
  return s.y + s.frameHeight * 0.5f;
}

// Knob pointer angle in degrees (0 = up, clockwise positive) for a 0-based
// frame: the control shows frame k for values near k / (frames - 1), so the
// sweep runs linearly from -135 (value 0) to +135 (value 1).
constexpr float kKnobSweep = 135.0f;
inline float KnobAngle(int frame, int frames) {
  return frames < 2 ? 0.0f : -kKnobSweep + 2.0f * kKnobSweep * frame / (frames - 1);
}

// The meter's needle deflects in proportion to the level the plug-in writes
// (its value 1.0 is full scale), like the rectifier-driven movement of a VU
// meter: +3 VU sits at full scale, so a mark of v VU lies at 10^((v - 3) / 20)
// of the sweep and 0 VU at about 71 %.
constexpr float kMeterSweep = 44.0f; // degrees either side of straight up
inline float MeterFraction(float vu) {
  return std::pow(10.0f, (vu - 3.0f) / 20.0f);
}
inline float MeterAngle(float fraction) {
  return -kMeterSweep + 2.0f * kMeterSweep * fraction;
}

} // namespace artwork_layout
