#pragma once

// The fixed transfer curve of the saturating stage: a table of 200 32-bit
// floats over r = |v| / (|v| + 3), read with linear interpolation. The curve is
// odd and inverts polarity.
class SaturationCurve {
public:
  static constexpr float kOffset = 0.0f;
  static constexpr float kScale = 142.14300537109375f; // bits 0x430E249C
  static constexpr int kCount = 200;
  static const float kEntries[kCount];

  // Curve value of v. NaN gives 0 (read as below the table's start).
  static double Value(double v);
};
