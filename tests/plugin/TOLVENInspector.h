#pragma once

#include "TOLVEN.h"

#include <cstring>
#include <vector>

// White-box access to the channel strip's member state for the tests; a
// channel's values are read out of their lane.
struct TOLVENInspector {
  static const ChannelStrip& Strip(const TOLVEN& t) { return t.strip; }
  static double HighTarget(const TOLVEN& t) { return t.strip.highTarget; }
  static double MidTarget(const TOLVEN& t) { return t.strip.midTarget; }
  static double LowTarget(const TOLVEN& t) { return t.strip.lowTarget; }
  static double InputGain(const TOLVEN& t) { return t.strip.inputGain; }
  static double OutputGain(const TOLVEN& t) { return t.strip.outputGain; }
  static const ParamSmoother& HighSmoother(const TOLVEN& t) {
    return t.strip.highSmoother.smoother;
  }
  static const ParamSmoother& MidSmoother(const TOLVEN& t) { return t.strip.midSmoother.smoother; }
  static const ParamSmoother& LowSmoother(const TOLVEN& t) { return t.strip.lowSmoother.smoother; }
  static const ParamSmoother& InputSmoother(const TOLVEN& t) {
    return t.strip.inputSmoother.smoother;
  }
  static const ParamSmoother& OutputSmoother(const TOLVEN& t) {
    return t.strip.outputSmoother.smoother;
  }
  static EqSection High(const TOLVEN& t, int ch) { return Channel(t.strip.high.section, ch); }
  static EqSection Low(const TOLVEN& t, int ch) { return Channel(t.strip.low.section, ch); }
  static EqSection Mid(const TOLVEN& t, int ch) { return Channel(t.strip.mid.section, ch); }
  // The first history of the stage's first up-sampling filter.
  static double StageHistory(const TOLVEN& t, int ch) {
    return Lane(t.strip.stage.up2.PreviousInput(0), ch);
  }
  static double MeterLevel(const TOLVEN& t) { return t.strip.meterLevel; }
  static int MeterControl(const TOLVEN& t) { return t.meterControl; }
  static void SetMeterControl(TOLVEN& t, int index) { t.meterControl = index; }

  // Every value that lives from one sample to the next, as raw doubles: the
  // smoother states, the section histories, the oversampler histories, the
  // stage and channel outputs and the meter level.
  static std::vector<double> Histories(const TOLVEN& t) {
    const ChannelStrip& s = t.strip;
    std::vector<double> v;
    for (const ChannelStrip::FreezingSmoother* f :
         {&s.highSmoother, &s.midSmoother, &s.lowSmoother, &s.inputSmoother, &s.outputSmoother})
      v.push_back(f->smoother.state);
    for (int ch = 0; ch < 2; ++ch) {
      for (const EqSectionOf<Lanes>* e : {&s.high.section, &s.low.section, &s.mid.section}) {
        for (Lanes x : {e->x, e->y, e->x1, e->x2, e->y1, e->y2})
          v.push_back(Lane(x, ch));
      }
      Append(v, s.stage.up2, ch);
      Append(v, s.stage.down2, ch);
      Append(v, s.stage.up4, ch);
      Append(v, s.stage.down4, ch);
      v.push_back(Lane(s.stageOut, ch));
      v.push_back(Lane(s.channelOut, ch));
    }
    v.push_back(s.meterLevel);
    return v;
  }

private:
  static EqSection Channel(const EqSectionOf<Lanes>& e, int ch) {
    EqSection s;
    s.x = Lane(e.x, ch);
    s.y = Lane(e.y, ch);
    s.x1 = Lane(e.x1, ch);
    s.x2 = Lane(e.x2, ch);
    s.y1 = Lane(e.y1, ch);
    s.y2 = Lane(e.y2, ch);
    s.a0 = Lane(e.a0, ch);
    s.a1 = Lane(e.a1, ch);
    s.a2 = Lane(e.a2, ch);
    s.b0 = Lane(e.b0, ch);
    s.b1 = Lane(e.b1, ch);
    s.b2 = Lane(e.b2, ch);
    return s;
  }
  template <int N> static void Append(std::vector<double>& v, const StereoHalfband<N>& p, int ch) {
    for (int k = 0; k < N; ++k) {
      v.push_back(Lane(p.PreviousInput(k), ch));
      v.push_back(Lane(p.y[k], ch));
    }
  }
};

// Bitwise equality of two double sequences (NaN-safe, tells -0 from 0).
inline bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}
