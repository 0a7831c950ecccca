#include "DemoSignal.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kBeat = 0.5; // 120 beats per minute

// Time since the latest hit of a pattern that repeats every period seconds,
// starting at offset; negative before the first hit.
double SinceHit(double t, double offset, double period) {
  if (t < offset) return -1.0;
  return std::fmod(t - offset, period);
}

// Short linear fade over edge seconds at both ends of [start, end).
double Gate(double t, double start, double end, double edge) {
  if (t < start || t >= end) return 0.0;
  const double in = (t - start) / edge;
  const double out = (end - t) / edge;
  double g = 1.0;
  if (in < g) g = in;
  if (out < g) g = out;
  return g;
}

} // namespace

DemoSignal::DemoSignal(double sampleRate)
    : mSampleRate(sampleRate),
      mTotalFrames(static_cast<int64_t>(std::llround(kSeconds * sampleRate))) {}

double DemoSignal::NextNoise() {
  // xorshift32: the same sequence everywhere, unlike the library generators.
  mNoiseState ^= mNoiseState << 13;
  mNoiseState ^= mNoiseState >> 17;
  mNoiseState ^= mNoiseState << 5;
  return static_cast<double>(mNoiseState) / 2147483648.0 - 1.0;
}

void DemoSignal::Sample(double t, double& left, double& right) {
  const double drumsEnd = 8.0;
  double kick = 0.0;
  double snare = 0.0;
  double hat = 0.0;
  const double noise = NextNoise();
  const double bright = noise - mPrevNoise; // first difference: a crude high-pass
  mPrevNoise = noise;
  if (t < drumsEnd) {
    // Kick on beats 1 and 3: a sine gliding from 140 Hz down to 50 Hz.
    const double k = SinceHit(t, 0.0, 2.0 * kBeat);
    if (k >= 0.0) {
      const double phase = 2.0 * kPi * (50.0 * k + 90.0 * 0.03 * (1.0 - std::exp(-k / 0.03)));
      kick = 0.55 * std::sin(phase) * std::exp(-k / 0.22);
    }
    // Snare on beats 2 and 4: a noise burst over a 185 Hz body.
    const double s = SinceHit(t, kBeat, 2.0 * kBeat);
    if (s >= 0.0) {
      snare = (0.22 * noise * std::exp(-s / 0.07) + 0.15 * std::sin(2.0 * kPi * 185.0 * s)) *
              std::exp(-s / 0.09);
    }
    // Closed hats on every eighth note.
    const double h = SinceHit(t, 0.0, kBeat / 2.0);
    if (h >= 0.0) hat = 0.06 * bright * std::exp(-h / 0.018);
  }

  // Bass line from 2 s to 6 s: one note per second, a sawtooth of eight
  // harmonics, loud enough to drive the saturating stage.
  double bass = 0.0;
  const double bassGate = Gate(t, 2.0, 6.0, 0.01);
  if (bassGate > 0.0) {
    static const double notes[4] = {55.0, 65.40639132514966, 73.41619197935188, 61.73541265701551};
    const int note = static_cast<int>(t - 2.0) % 4;
    mBassPhase += notes[note] / mSampleRate;
    mBassPhase -= std::floor(mBassPhase);
    double saw = 0.0;
    for (int k = 1; k <= 8; ++k)
      saw += std::sin(2.0 * kPi * k * mBassPhase) / k;
    // Each note decays a little, as a plucked string does.
    const double inNote = std::fmod(t - 2.0, 1.0);
    bass = 0.22 * saw * (0.55 + 0.45 * std::exp(-inNote / 0.25)) * bassGate;
  }

  // Sweep from 5 s to 8 s, 40 Hz to 16 kHz, logarithmic.
  double sweep = 0.0;
  const double sweepGate = Gate(t, 5.0, 8.0, 0.05);
  if (sweepGate > 0.0) {
    const double f = 40.0 * std::pow(16000.0 / 40.0, (t - 5.0) / 3.0);
    mSweepPhase += f / mSampleRate;
    mSweepPhase -= std::floor(mSweepPhase);
    sweep = 0.2 * std::sin(2.0 * kPi * mSweepPhase) * sweepGate;
  }

  const double centre = kick + bass + sweep;
  left = centre + 0.8 * snare + 0.5 * hat;
  right = centre + 0.6 * snare + 1.0 * hat;
}

int64_t DemoSignal::Read(double* interleaved, int64_t frames) {
  int64_t n = 0;
  for (; n < frames && mPosition < mTotalFrames; ++n, ++mPosition) {
    const double t = static_cast<double>(mPosition) / mSampleRate;
    Sample(t, interleaved[2 * n], interleaved[2 * n + 1]);
  }
  // The demo is a 32-bit float signal: rounding here makes the processed
  // input exactly what --demo-input saves, and keeps the last bits of the
  // platform's sin and exp out of the result. (A separate pass on purpose:
  // GCC 12 at -O2 drops the rounding when two such conversions are paired
  // up by its SLP vectoriser.)
  for (int64_t i = 0; i < 2 * n; ++i)
    interleaved[i] = static_cast<float>(interleaved[i]);
  return n;
}
