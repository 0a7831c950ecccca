#pragma once

#include "TOLVEN.h"

#include <cstring>
#include <vector>

// White-box access to the channel strip's member state for the tests.
struct TOLVENInspector {
  static double HighTarget(const TOLVEN& t) { return t.highTarget; }
  static double MidTarget(const TOLVEN& t) { return t.midTarget; }
  static double LowTarget(const TOLVEN& t) { return t.lowTarget; }
  static double InputGain(const TOLVEN& t) { return t.inputGain; }
  static double OutputGain(const TOLVEN& t) { return t.outputGain; }
  static const ParamSmoother& HighSmoother(const TOLVEN& t) { return t.highSmoother; }
  static const ParamSmoother& MidSmoother(const TOLVEN& t) { return t.midSmoother; }
  static const ParamSmoother& LowSmoother(const TOLVEN& t) { return t.lowSmoother; }
  static const ParamSmoother& InputSmoother(const TOLVEN& t) { return t.inputSmoother; }
  static const ParamSmoother& OutputSmoother(const TOLVEN& t) { return t.outputSmoother; }
  static const EqSection& High(const TOLVEN& t, int ch) { return t.highSection[ch]; }
  static const EqSection& Low(const TOLVEN& t, int ch) { return t.lowSection[ch]; }
  static const EqSection& Mid(const TOLVEN& t, int ch) { return t.midSection[ch]; }
  static const Oversampler& Stage(const TOLVEN& t, int ch) {
    return ch == 0 ? t.leftStage : t.rightStage;
  }
  static double MeterLevel(const TOLVEN& t) { return t.meterLevel; }
  static int MeterControl(const TOLVEN& t) { return t.meterControl; }
  static void SetMeterControl(TOLVEN& t, int index) { t.meterControl = index; }

  // Every value that lives from one sample to the next, as raw doubles: the
  // smoother states, the section histories, the oversampler histories, the
  // stage and channel outputs and the meter level.
  static std::vector<double> Histories(const TOLVEN& t) {
    std::vector<double> v;
    for (const ParamSmoother* s :
         {&t.highSmoother, &t.midSmoother, &t.lowSmoother, &t.inputSmoother, &t.outputSmoother})
      v.push_back(s->state);
    for (int ch = 0; ch < 2; ++ch) {
      for (const EqSection* s : {&t.highSection[ch], &t.lowSection[ch], &t.midSection[ch]}) {
        for (double x : {s->x, s->y, s->x1, s->x2, s->y1, s->y2})
          v.push_back(x);
      }
      const Oversampler& o = ch == 0 ? t.leftStage : t.rightStage;
      Append(v, o.Up2().Paths());
      Append(v, o.Down2().Paths());
      Append(v, o.Up4().Paths());
      Append(v, o.Down4().Paths());
      Append(v, o.Up8().Paths());
      Append(v, o.Down8().Paths());
      Append(v, o.Up16().Paths());
      Append(v, o.Down16().Paths());
      v.push_back(t.stageOut[ch]);
      v.push_back(t.channelOut[ch]);
    }
    v.push_back(t.meterLevel);
    return v;
  }

private:
  template <int N> static void Append(std::vector<double>& v, const HalfbandAllpass<N>& p) {
    for (int k = 0; k < N; ++k) {
      v.push_back(p.x[k]);
      v.push_back(p.y[k]);
    }
  }
};

// Bitwise equality of two double sequences (NaN-safe, tells -0 from 0).
inline bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}
