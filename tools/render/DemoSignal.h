#pragma once

#include "SignalSource.h"

#include <cstdint>

// The built-in demo: about eight seconds of stereo a listener can hear the
// strip working on. A drum pattern (kick, snare, hats) runs throughout, a
// bass line enters at 2 s and a logarithmic sine sweep from 40 Hz to 16 kHz
// closes it from 5 s; the last half second is silence, so the output tail
// shows the strip settling. Deterministic: no random seed, the same rate
// gives the same signal every time.
class DemoSignal : public SignalSource {
public:
  explicit DemoSignal(double sampleRate);

  static constexpr double kSeconds = 8.5;

  int Channels() const override { return 2; }
  double SampleRate() const override { return mSampleRate; }
  int64_t TotalFrames() const override { return mTotalFrames; }
  int64_t Read(double* interleaved, int64_t frames) override;

private:
  double NextNoise();
  void Sample(double t, double& left, double& right);

  double mSampleRate;
  int64_t mTotalFrames;
  int64_t mPosition = 0;
  uint32_t mNoiseState = 0x2545F491u;
  double mPrevNoise = 0.0;
  double mBassPhase = 0.0;
  double mSweepPhase = 0.0;
};
