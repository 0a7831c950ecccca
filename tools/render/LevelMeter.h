#pragma once

#include <cstdint>
#include <string>

// Peak and RMS over everything it is shown, all channels together.
class LevelMeter {
public:
  void Add(const double* interleaved, int64_t frames, int channels);

  double Peak() const { return mPeak; }
  double Rms() const;
  int64_t Samples() const { return mSamples; }

  // 20 log10(level); -infinity for 0.
  static double ToDbfs(double level);
  // "-6.02 dBFS", or "-inf dBFS" for digital silence.
  static std::string FormatDbfs(double level);

private:
  double mPeak = 0.0;
  double mSumOfSquares = 0.0;
  int64_t mSamples = 0;
};
