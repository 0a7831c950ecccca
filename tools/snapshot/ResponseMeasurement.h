#pragma once

#include <vector>

// The equaliser's magnitude response, measured by running the channel strip's
// own processing: a fresh strip per measurement, its smoothers settled on
// silence, then a small impulse on both inputs. The probe is 1e-4 (-80 dBFS):
// even with the input gain at +24 dB the saturating stage sees at most about
// 1.6e-3, inside the first segment of its curve, where it is linear to within
// 0.005 dB. The strip's output over that impulse is its impulse response; its
// Fourier transform at each frequency is the strip's gain there.
//
// The strip's broadband gains (input, the stage's small-signal slope, output,
// make-up) and its anti-aliasing filters are the same with the bands flat
// (0.5), so the equaliser's response is the strip's gain at the given settings
// over its gain with the same settings and flat bands.
struct EqResponse {
  double sampleRate = 0.0;
  std::vector<double> frequencies;
  std::vector<double> totalDb;   // all three bands as set
  std::vector<double> bandDb[3]; // high, mid, low band alone (the others flat)
};

class ResponseMeasurement {
public:
  static constexpr double kProbeLevel = 1e-4;
  static constexpr double kSettleSeconds = 3.0;
  static constexpr double kTailSeconds = 1.0;
  static constexpr double kFlat = 0.5;

  explicit ResponseMeasurement(double sampleRate) : mSampleRate(sampleRate) {}

  // The strip's impulse response per unit of input with its parameters at
  // values (real units, one per parameter; missing ones keep their defaults),
  // left output.
  std::vector<double> ImpulseResponse(const std::vector<double>& values) const;

  // |H(f)| of an impulse response h at sample rate sampleRate.
  static double Magnitude(const std::vector<double>& h, double frequency, double sampleRate);

  // points frequencies spaced evenly in log frequency from low to high.
  static std::vector<double> LogFrequencies(double low, double high, int points);

  // The total and per-band responses in dB at points frequencies from 20 Hz
  // to 20 kHz (those above 0.49 times the sample rate are left out). values
  // holds every parameter's real value; with fewer, nothing is measured.
  EqResponse Measure(const std::vector<double>& values, int points) const;

private:
  double mSampleRate;
};
