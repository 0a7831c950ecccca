#include "ResponseMeasurement.h"

#include "TOLVEN.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kBlock = 4096;
constexpr double kPi = 3.14159265358979323846;

double ToDb(double ratio) {
  return ratio > 0.0 ? 20.0 * std::log10(ratio) : -400.0;
}

} // namespace

std::vector<double> ResponseMeasurement::ImpulseResponse(const std::vector<double>& values) const {
  auto strip = std::make_unique<TOLVEN>(IPlugInstanceInfo());
  strip->Prepare(mSampleRate, kBlock);
  strip->SetChannels(2);
  for (int i = 0; i < strip->NumParams() && i < static_cast<int>(values.size()); ++i)
    strip->SetParameterValue(i, values[static_cast<size_t>(i)]);

  std::vector<double> in(kBlock, 0.0), left(kBlock, 0.0), right(kBlock, 0.0);
  const double* inputs[2] = {in.data(), in.data()};
  double* outputs[2] = {left.data(), right.data()};

  // Silence until every smoother has reached its target; the last output is
  // the strip's resting level (its offset guard leaves a trace of it).
  const long settle = static_cast<long>(kSettleSeconds * mSampleRate);
  double rest = 0.0;
  for (long done = 0; done < settle;) {
    const int frames = static_cast<int>(std::min<long>(kBlock, settle - done));
    strip->Process(inputs, outputs, frames);
    rest = left[static_cast<size_t>(frames - 1)];
    done += frames;
  }

  const long length = static_cast<long>(kTailSeconds * mSampleRate);
  std::vector<double> h;
  h.reserve(static_cast<size_t>(length));
  for (long done = 0; done < length;) {
    const int frames = static_cast<int>(std::min<long>(kBlock, length - done));
    std::fill(in.begin(), in.end(), 0.0);
    if (done == 0) in[0] = kProbeLevel;
    strip->Process(inputs, outputs, frames);
    for (int n = 0; n < frames; ++n)
      h.push_back((left[static_cast<size_t>(n)] - rest) / kProbeLevel);
    done += frames;
  }
  return h;
}

double ResponseMeasurement::Magnitude(const std::vector<double>& h, double frequency,
                                      double sampleRate) {
  // sum h[n] e^(-i w n), the rotation kept exact by recomputing it every few
  // thousand samples instead of accumulating rounding.
  const double w = 2.0 * kPi * frequency / sampleRate;
  double re = 0.0, im = 0.0;
  double c = 1.0, s = 0.0;
  const double cw = std::cos(w), sw = std::sin(w);
  for (size_t n = 0; n < h.size(); ++n) {
    if (n % 4096 == 0) {
      const double phase = w * static_cast<double>(n);
      c = std::cos(phase);
      s = std::sin(phase);
    }
    re += h[n] * c;
    im -= h[n] * s;
    const double nc = c * cw - s * sw;
    s = s * cw + c * sw;
    c = nc;
  }
  return std::sqrt(re * re + im * im);
}

std::vector<double> ResponseMeasurement::LogFrequencies(double low, double high, int points) {
  std::vector<double> f;
  if (points < 2) return f;
  const double ratio = std::log(high / low);
  for (int i = 0; i < points; ++i)
    f.push_back(low * std::exp(ratio * i / (points - 1)));
  return f;
}

EqResponse ResponseMeasurement::Measure(const std::vector<double>& values, int points) const {
  EqResponse r;
  r.sampleRate = mSampleRate;
  for (double f : LogFrequencies(20.0, 20000.0, points))
    if (f <= 0.49 * mSampleRate) r.frequencies.push_back(f);

  if (values.size() < static_cast<size_t>(kNumTOLVENParams)) {
    r.frequencies.clear();
    return r;
  }
  const std::vector<double>& full = values;
  std::vector<double> flat = values;
  flat[kHighGain] = flat[kMidGain] = flat[kLowGain] = kFlat;
  const std::vector<double> reference = ImpulseResponse(flat);
  const std::vector<double> total = ImpulseResponse(full);
  const int bandParams[3] = {kHighGain, kMidGain, kLowGain};
  std::vector<double> bands[3];
  for (int b = 0; b < 3; ++b) {
    std::vector<double> alone = flat;
    alone[static_cast<size_t>(bandParams[b])] = full[static_cast<size_t>(bandParams[b])];
    bands[b] = ImpulseResponse(alone);
  }
  for (double f : r.frequencies) {
    const double ref = Magnitude(reference, f, mSampleRate);
    r.totalDb.push_back(ToDb(Magnitude(total, f, mSampleRate) / ref));
    for (int b = 0; b < 3; ++b)
      r.bandDb[b].push_back(ToDb(Magnitude(bands[b], f, mSampleRate) / ref));
  }
  return r;
}
