#include "TOLVEN.h"
#include "TOLVENInspector.h"

#include "ExactMath.h"
#include "SaturationCurve.h"
#include "ShaperFunction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

namespace {

constexpr double kPi = 3.141592653589793;
constexpr double kRate = 48000.0;
using Signal = std::vector<double>;

std::unique_ptr<TOLVEN> MakeStrip(double rate = kRate, int blockSize = 512) {
  IPlugInstanceInfo info;
  info.hostName = "tolven tests";
  auto strip = std::make_unique<TOLVEN>(info);
  EXPECT_TRUE(strip->Prepare(rate, blockSize));
  return strip;
}

// Runs left/right through the strip in calls of at most callFrames frames.
void RunStrip(TOLVEN& strip, const Signal& left, const Signal& right, Signal& outLeft,
              Signal& outRight, int callFrames = 512) {
  outLeft.assign(left.size(), 0.0);
  outRight.assign(right.size(), 0.0);
  for (size_t pos = 0; pos < left.size(); pos += callFrames) {
    const int n = static_cast<int>(std::min<size_t>(callFrames, left.size() - pos));
    const double* in[2] = {left.data() + pos, right.data() + pos};
    double* out[2] = {outLeft.data() + pos, outRight.data() + pos};
    strip.Process(in, out, n);
  }
}

void RunSilence(TOLVEN& strip, size_t frames) {
  Signal zero(frames, 0.0);
  Signal l;
  Signal r;
  RunStrip(strip, zero, zero, l, r);
}

Signal Sine(size_t frames, double hz, double amplitude, double rate = kRate) {
  Signal s(frames);
  for (size_t n = 0; n < frames; ++n)
    s[n] = amplitude * std::sin(2.0 * kPi * hz * n / rate);
  return s;
}

// Deterministic noise in -amplitude..amplitude.
Signal Noise(size_t frames, double amplitude, unsigned seed) {
  Signal s(frames);
  unsigned x = seed * 2654435761u + 1u;
  for (size_t n = 0; n < frames; ++n) {
    x = x * 1664525u + 1013904223u;
    s[n] = amplitude * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
  }
  return s;
}

// Complex amplitude of the hz component over the last count samples.
void Tone(const Signal& s, double hz, size_t count, double& amplitude, double& phase) {
  double re = 0.0;
  double im = 0.0;
  for (size_t n = s.size() - count; n < s.size(); ++n) {
    const double w = 2.0 * kPi * hz * n / kRate;
    re += s[n] * std::cos(w);
    im -= s[n] * std::sin(w);
  }
  amplitude = 2.0 * std::hypot(re, im) / count;
  phase = std::atan2(im, re);
}

bool AllFinite(const std::vector<double>& v) {
  for (double x : v)
    if (!std::isfinite(x)) return false;
  return true;
}

// ---- Definition ----------------------------------------------------------------

TEST(TOLVENDefinition, Identity) {
  auto strip = MakeStrip();
  EXPECT_STREQ(strip->GetEffectName(), "TOLVEN");
  EXPECT_STREQ(strip->GetProductName(), "");
  EXPECT_STREQ(strip->GetMakerName(), "Oskavarine");
  EXPECT_EQ(strip->GetVersion(), 0x00010000);
  EXPECT_EQ(strip->GetVersionDecimal(), 10000);
  EXPECT_EQ(strip->GetUniqueID(), 0x544C5631); // 'TLV1'
  EXPECT_EQ(strip->GetMakerID(), 0x4F736B61);  // 'Oska'
  EXPECT_EQ(strip->NumParams(), 6);
  EXPECT_EQ(strip->NumPresets(), 1);
  EXPECT_EQ(strip->GetLatency(), 0);
  EXPECT_FALSE(strip->IsInstrument());
  EXPECT_FALSE(strip->DoesStateChunks());
  EXPECT_EQ(strip->NumInputs(), 2);
  EXPECT_EQ(strip->NumOutputs(), 2);
  EXPECT_TRUE(strip->LegalIO(1, 1));
  EXPECT_TRUE(strip->LegalIO(2, 2));
  EXPECT_FALSE(strip->LegalIO(1, 2));
  // Member state after construction: every history zero, the needle fully
  // right and the meter last in the editor's control list.
  EXPECT_EQ(TOLVENInspector::MeterControl(*strip), 7);
  ASSERT_NE(strip->GetEditor(), nullptr);
  EXPECT_EQ(strip->GetEditor()->NumControls(), 8);
  std::vector<double> h = TOLVENInspector::Histories(*strip);
  EXPECT_EQ(h.back(), 1.0);
  h.pop_back();
  for (double v : h)
    EXPECT_EQ(v, 0.0);
}

TEST(TOLVENDefinition, ParameterTable) {
  struct Row {
    const char* name;
    double def;
    double min;
    double max;
    double step;
    const char* label;
    bool isDouble;
  };
  const Row rows[] = {
      {"High Gain 1", 0.5, 0.0, 1.0, 0.01, "%", true},
      {"Mid Gain 1", 0.5, 0.0, 1.0, 0.01, "%", true},
      {"Low Gain 1", 0.5, 0.0, 1.0, 0.01, "%", true},
      {"Input 1", 0.0, -24.0, 24.0, 0.01, "%", true},
      {"Output 1", 0.0, -24.0, 24.0, 0.01, "%", true},
      {"Bypass 1", 0.0, 0.0, 1.0, 1.0, "", false},
  };
  auto strip = MakeStrip();
  for (int i = 0; i < 6; ++i) {
    const IParameter* p = strip->GetParam(i);
    ASSERT_NE(p, nullptr);
    EXPECT_STREQ(p->Name(), rows[i].name);
    EXPECT_EQ(p->Value(), rows[i].def) << i;
    EXPECT_EQ(p->Default(), rows[i].def) << i;
    EXPECT_EQ(p->Min(), rows[i].min) << i;
    EXPECT_EQ(p->Max(), rows[i].max) << i;
    EXPECT_EQ(p->Step(), rows[i].step) << i;
    EXPECT_STREQ(p->Label(), rows[i].label) << i;
    EXPECT_STREQ(p->Group(), "") << i;
    EXPECT_EQ(p->Shape(), 1.0) << i;
    EXPECT_EQ(p->IsDouble(), rows[i].isDouble) << i;
    EXPECT_EQ(p->DisplayPrecision(), rows[i].isDouble ? 2 : 0) << i;
  }
  EXPECT_EQ(strip->GetParam(kBypass)->Kind(), IParameter::kKindInteger);
}

TEST(TOLVENDefinition, DefaultPresetIsNamedDashAndHoldsTheDefaults) {
  auto strip = MakeStrip();
  const PresetSlot* slot = strip->GetPreset(0);
  ASSERT_NE(slot, nullptr);
  EXPECT_TRUE(slot->initialized);
  EXPECT_STREQ(slot->name, "-");
  ASSERT_EQ(slot->state.Size(), 48);
  const double expected[6] = {0.5, 0.5, 0.5, 0.0, 0.0, 0.0};
  for (int i = 0; i < 6; ++i) {
    double v = -1.0;
    EXPECT_EQ(slot->state.GetDouble(&v, i * 8), i * 8 + 8);
    EXPECT_EQ(v, expected[i]) << i;
  }
}

TEST(TOLVENDefinition, GainParametersConvertFromDecibels) {
  auto strip = MakeStrip();
  strip->SetParameterValue(kInputGain, -24.0);
  EXPECT_NEAR(TOLVENInspector::InputGain(*strip), 0.0630957, 1e-7);
  EXPECT_EQ(TOLVENInspector::InputGain(*strip), ExactMath::Pow10(-24.0 / 20.0));
  strip->SetParameterValue(kInputGain, 24.0);
  EXPECT_NEAR(TOLVENInspector::InputGain(*strip), 15.848932, 1e-6);
  strip->SetParameterValue(kInputGain, 0.0);
  EXPECT_EQ(TOLVENInspector::InputGain(*strip), 1.0);
  strip->SetParameterValue(kOutputGain, -6.0);
  EXPECT_EQ(TOLVENInspector::OutputGain(*strip), ExactMath::Pow10(-6.0 / 20.0));
  EXPECT_EQ(TOLVENInspector::InputGain(*strip), 1.0);
}

TEST(TOLVENDefinition, BandControlsSetTheirTargetsAndBypassChangesNoMember) {
  auto strip = MakeStrip();
  strip->SetParameterValue(kHighGain, 0.8);
  strip->SetParameterValue(kMidGain, 0.3);
  strip->SetParameterValue(kLowGain, 0.1);
  EXPECT_EQ(TOLVENInspector::HighTarget(*strip), 0.8);
  EXPECT_EQ(TOLVENInspector::MidTarget(*strip), 0.3);
  EXPECT_EQ(TOLVENInspector::LowTarget(*strip), 0.1);
  const std::vector<double> before = TOLVENInspector::Histories(*strip);
  strip->SetParameterValue(kBypass, 1.0);
  strip->ParameterChanged(17);
  strip->ParameterChanged(-1);
  EXPECT_TRUE(SameBits(before, TOLVENInspector::Histories(*strip)));
  EXPECT_EQ(TOLVENInspector::HighTarget(*strip), 0.8);
  EXPECT_EQ(TOLVENInspector::MidTarget(*strip), 0.3);
  EXPECT_EQ(TOLVENInspector::LowTarget(*strip), 0.1);
  EXPECT_EQ(TOLVENInspector::InputGain(*strip), 1.0);
  EXPECT_EQ(TOLVENInspector::OutputGain(*strip), 1.0);
}

// ---- Processing ------------------------------------------------------------------

TEST(TOLVENProcessing, SilenceSettlesSlightlyAboveZero) {
  auto strip = MakeStrip();
  Signal zero(6 * 48000, 0.0);
  Signal l;
  Signal r;
  RunStrip(*strip, zero, zero, l, r);
  // The 1e-10 input offset comes out about 1.1326 times larger; 1e-10 is
  // then taken off again.
  EXPECT_NEAR(l.back(), 1.33e-11, 0.005e-11);
  EXPECT_NEAR(r.back(), 1.33e-11, 0.005e-11);
  EXPECT_NEAR((l.back() + 1e-10) / 1e-10, 1.1326, 0.0005);
}

TEST(TOLVENProcessing, SmallSineComesOutUpright) {
  auto strip = MakeStrip();
  RunSilence(*strip, 6 * 48000); // settle the smoothers
  const Signal in = Sine(9600, 1000.0, 1e-3);
  Signal l;
  Signal r;
  RunStrip(*strip, in, in, l, r);
  double inAmp;
  double inPhase;
  double outAmp;
  double outPhase;
  Tone(in, 1000.0, 4800, inAmp, inPhase);
  Tone(l, 1000.0, 4800, outAmp, outPhase);
  // -0.19683 (shaper slope) * 10^0.76 * (-0.99998)^3.
  EXPECT_NEAR(outAmp / inAmp, 1.1326, 0.001);
  // Only delayed by the half-band filters (a few samples), not inverted.
  double lag = std::fmod(inPhase - outPhase + 4.0 * kPi, 2.0 * kPi) / (2.0 * kPi) * 48.0;
  EXPECT_GT(lag, 0.0);
  EXPECT_LT(lag, 8.0);
  Tone(r, 1000.0, 4800, outAmp, outPhase);
  EXPECT_NEAR(outAmp / inAmp, 1.1326, 0.001);
}

TEST(TOLVENProcessing, BypassFromTheStartGivesInputMinusOffsetExactly) {
  auto strip = MakeStrip();
  strip->SetParameterValue(kBypass, 1.0);
  const Signal l = Noise(5000, 1.0, 1);
  const Signal r = Noise(5000, 0.5, 2);
  Signal outL;
  Signal outR;
  RunStrip(*strip, l, r, outL, outR, 300);
  for (size_t n = 0; n < l.size(); ++n) {
    ASSERT_EQ(outL[n], l[n] - 1e-10) << n;
    ASSERT_EQ(outR[n], r[n] - 1e-10) << n;
  }
}

TEST(TOLVENProcessing, SampleRateChangeLeavesEveryStateAlone) {
  auto strip = MakeStrip();
  strip->SetParameterValue(kHighGain, 0.9);
  const Signal in = Noise(3000, 0.5, 3);
  Signal l;
  Signal r;
  RunStrip(*strip, in, in, l, r);
  const std::vector<double> before = TOLVENInspector::Histories(*strip);
  ASSERT_TRUE(strip->Prepare(96000.0, 256));
  strip->SetActive(true);
  EXPECT_TRUE(SameBits(before, TOLVENInspector::Histories(*strip)));
  // A block of no frames only refreshes the smoothing coefficients.
  strip->Process(static_cast<const double* const*>(nullptr), static_cast<double* const*>(nullptr),
                 0);
  EXPECT_TRUE(SameBits(before, TOLVENInspector::Histories(*strip)));
  EXPECT_EQ(TOLVENInspector::HighSmoother(*strip).coefficient,
            ExactMath::Exp((0.5 / 96000.0) * -6.283185307179586));
  EXPECT_EQ(TOLVENInspector::OutputSmoother(*strip).oneMinusCoefficient,
            1.0 - TOLVENInspector::OutputSmoother(*strip).coefficient);
}

TEST(TOLVENProcessing, FadesInFromSilenceAtStart) {
  auto strip = MakeStrip();
  const Signal in = Sine(2 * 48000, 1000.0, 0.5);
  Signal l;
  Signal r;
  RunStrip(*strip, in, in, l, r);
  EXPECT_LT(std::fabs(l[0]), 1e-9);
  auto peak = [&l](size_t from, size_t to) {
    double p = 0.0;
    for (size_t n = from; n < to; ++n)
      p = std::max(p, std::fabs(l[n]));
    return p;
  };
  const double early = peak(0, 480);
  const double later = peak(4320, 4800);
  const double settled = peak(l.size() - 4800, l.size());
  EXPECT_LT(early, 0.1 * settled);
  EXPECT_LT(later, settled);
  EXPECT_GT(later, early);
  // The output gain rises as a 1 Hz one-pole (two steps per sample), the
  // input gain as a 4 Hz one (eight steps): after one time constant both
  // stand at 1 - 1/e of their targets.
  auto fresh = MakeStrip();
  const double tau = 48000.0 / (2.0 * kPi);
  Signal one(static_cast<size_t>(tau / 4.0), 0.0);
  RunStrip(*fresh, one, one, l, r);
  EXPECT_NEAR(TOLVENInspector::InputSmoother(*fresh).state, 1.0 - std::exp(-1.0), 1e-3);
  one.assign(static_cast<size_t>(tau) - one.size(), 0.0);
  RunStrip(*fresh, one, one, l, r);
  EXPECT_NEAR(TOLVENInspector::OutputSmoother(*fresh).state, 1.0 - std::exp(-1.0), 1e-3);
  EXPECT_NEAR(TOLVENInspector::HighSmoother(*fresh).state, 0.5 * (1.0 - std::exp(-1.0)), 1e-3);
}

TEST(TOLVENProcessing, MonoRunsTheLeftChannelAsStereoWithASilentRight) {
  auto mono = MakeStrip();
  ASSERT_TRUE(mono->SetChannels(1));
  auto stereo = MakeStrip();
  const Signal in = Noise(4000, 0.7, 4);
  const Signal silent(in.size(), 0.0);
  Signal monoOut(in.size(), 7.0);
  for (size_t pos = 0; pos < in.size(); pos += 512) {
    const int n = static_cast<int>(std::min<size_t>(512, in.size() - pos));
    const double* i[1] = {in.data() + pos};
    double* o[1] = {monoOut.data() + pos};
    mono->Process(i, o, n);
  }
  Signal l;
  Signal r;
  RunStrip(*stereo, in, silent, l, r);
  EXPECT_TRUE(SameBits(monoOut, l));
}

TEST(TOLVENProcessing, ResultDoesNotDependOnTheBlockSize) {
  const Signal inL = Noise(9000, 0.8, 5);
  const Signal inR = Noise(9000, 0.3, 6);
  Signal refL;
  Signal refR;
  auto ref = MakeStrip(kRate, 4096);
  RunStrip(*ref, inL, inR, refL, refR, 9000);
  for (int block : {1, 64, 333, 512}) {
    auto strip = MakeStrip(kRate, block);
    Signal l;
    Signal r;
    RunStrip(*strip, inL, inR, l, r, 1000);
    EXPECT_TRUE(SameBits(l, refL)) << block;
    EXPECT_TRUE(SameBits(r, refR)) << block;
  }
}

TEST(TOLVENProcessing, InPlaceBuffersGiveTheSameResult) {
  const Signal inL = Noise(2000, 0.8, 7);
  const Signal inR = Noise(2000, 0.4, 8);
  auto a = MakeStrip();
  Signal l;
  Signal r;
  RunStrip(*a, inL, inR, l, r);
  auto b = MakeStrip();
  Signal bufL = inL;
  Signal bufR = inR;
  double* io[2] = {bufL.data(), bufR.data()};
  b->Process(io, io, 2000);
  EXPECT_TRUE(SameBits(bufL, l));
  EXPECT_TRUE(SameBits(bufR, r));
}

TEST(TOLVENProcessing, BypassFreezesEqualiserAndOutputGainButNotTheRest) {
  auto strip = MakeStrip();
  const Signal in = Noise(2000, 0.5, 10);
  Signal l;
  Signal r;
  RunStrip(*strip, in, in, l, r);
  const EqSection high = TOLVENInspector::High(*strip, 0);
  const EqSection mid = TOLVENInspector::Mid(*strip, 1);
  const double outState = TOLVENInspector::OutputSmoother(*strip).state;
  const double highState = TOLVENInspector::HighSmoother(*strip).state;
  const double inputState = TOLVENInspector::InputSmoother(*strip).state;
  const double stageHistory = TOLVENInspector::StageHistory(*strip, 0);

  strip->SetParameterValue(kBypass, 1.0);
  const Signal other = Noise(3000, 0.5, 17);
  RunStrip(*strip, other, other, l, r);
  EXPECT_EQ(TOLVENInspector::High(*strip, 0).x1, high.x1);
  EXPECT_EQ(TOLVENInspector::High(*strip, 0).y1, high.y1);
  EXPECT_EQ(TOLVENInspector::Mid(*strip, 1).y2, mid.y2);
  EXPECT_EQ(TOLVENInspector::OutputSmoother(*strip).state, outState);
  // The band smoothers, the input smoother and the stages keep running.
  EXPECT_NE(TOLVENInspector::HighSmoother(*strip).state, highState);
  EXPECT_NE(TOLVENInspector::InputSmoother(*strip).state, inputState);
  EXPECT_NE(TOLVENInspector::StageHistory(*strip, 0), stageHistory);
  // The coefficients still follow the moving band smoother.
  EXPECT_NE(TOLVENInspector::High(*strip, 0).a0, high.a0);

  // Released: processing resumes from the frozen histories.
  strip->SetParameterValue(kBypass, 0.0);
  const double one[1] = {0.25};
  const double* i[2] = {one, one};
  double outL = 0.0;
  double outR = 0.0;
  double* o[2] = {&outL, &outR};
  strip->Process(i, o, 1);
  EXPECT_EQ(TOLVENInspector::High(*strip, 0).x2, high.x1);
  EXPECT_EQ(TOLVENInspector::High(*strip, 0).y2, high.y1);
  EXPECT_NE(outL, 0.25 - 1e-10);
}

// ---- Hostile input -----------------------------------------------------------------

TEST(TOLVENRobustness, NonFiniteInputsActAsSilenceAndPoisonNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  Signal dirtyL = Noise(6000, 0.5, 12);
  Signal dirtyR = Noise(6000, 0.5, 13);
  Signal cleanL = dirtyL;
  Signal cleanR = dirtyR;
  const struct {
    size_t n;
    double l;
    double r;
  } hits[] = {
      {100, nan, 0.1}, {200, 0.2, inf}, {300, -inf, -inf}, {301, nan, nan}, {4000, inf, nan}};
  for (const auto& h : hits) {
    dirtyL[h.n] = h.l;
    dirtyR[h.n] = h.r;
    cleanL[h.n] = std::isfinite(h.l) ? h.l : 0.0;
    cleanR[h.n] = std::isfinite(h.r) ? h.r : 0.0;
  }
  auto dirty = MakeStrip();
  auto clean = MakeStrip();
  for (auto* s : {dirty.get(), clean.get()}) {
    s->SetParameterValue(kInputGain, 12.0);
    s->AttachEditor(nullptr);
  }
  Signal dl;
  Signal dr;
  Signal cl;
  Signal cr;
  RunStrip(*dirty, dirtyL, dirtyR, dl, dr);
  RunStrip(*clean, cleanL, cleanR, cl, cr);
  EXPECT_TRUE(SameBits(dl, cl));
  EXPECT_TRUE(SameBits(dr, cr));
  EXPECT_TRUE(AllFinite(dl));
  EXPECT_TRUE(AllFinite(TOLVENInspector::Histories(*dirty)));

  // Bypassed, a non-finite sample comes out as silence (less the offset).
  dirty->SetParameterValue(kBypass, 1.0);
  RunStrip(*dirty, dirtyL, dirtyR, dl, dr);
  EXPECT_EQ(dl[100], -1e-10);
  EXPECT_EQ(dr[200], -1e-10);
  EXPECT_EQ(dl[101], dirtyL[101] - 1e-10);
  EXPECT_TRUE(AllFinite(TOLVENInspector::Histories(*dirty)));
}

TEST(TOLVENRobustness, HugeInputsAreLimitedBeforeTheStage) {
  Signal huge = Noise(3000, 0.5, 14);
  Signal limited = huge;
  huge[500] = 1e300;
  huge[501] = -std::numeric_limits<double>::max();
  limited[500] = TOLVEN::kInputCeiling;
  limited[501] = -TOLVEN::kInputCeiling;
  auto a = MakeStrip();
  auto b = MakeStrip();
  Signal al;
  Signal ar;
  Signal bl;
  Signal br;
  RunStrip(*a, huge, huge, al, ar);
  RunStrip(*b, limited, limited, bl, br);
  EXPECT_TRUE(SameBits(al, bl));
  EXPECT_TRUE(AllFinite(al));
  EXPECT_TRUE(AllFinite(TOLVENInspector::Histories(*a)));
}

TEST(TOLVENRobustness, TargetsOutsideTheBoundsAreClampedWhereProcessingTakesThem) {
  auto wild = MakeStrip();
  // Normalised values below 0 end at the parameter's minimum.
  wild->SetParameterNormalized(kHighGain, -0.5);
  wild->SetParameterNormalized(kLowGain, -3.0);
  wild->SetParameterNormalized(kInputGain, -1.0);
  wild->SetParameterNormalized(kOutputGain, -0.25);
  EXPECT_EQ(wild->GetParam(kHighGain)->Value(), 0.0);
  EXPECT_EQ(wild->GetParam(kInputGain)->Value(), -24.0);
  EXPECT_EQ(TOLVENInspector::HighTarget(*wild), 0.0);
  EXPECT_EQ(TOLVENInspector::LowTarget(*wild), 0.0);
  EXPECT_EQ(TOLVENInspector::InputGain(*wild), ExactMath::Pow10(-24.0 / 20.0));

  auto tame = MakeStrip();
  tame->SetParameterValue(kHighGain, 0.0);
  tame->SetParameterValue(kLowGain, 0.0);
  tame->SetParameterValue(kInputGain, -24.0);
  tame->SetParameterValue(kOutputGain, -24.0);
  const Signal in = Noise(20000, 0.9, 15);
  Signal wl;
  Signal wr;
  Signal tl;
  Signal tr;
  RunStrip(*wild, in, in, wl, wr);
  RunStrip(*tame, in, in, tl, tr);
  EXPECT_TRUE(SameBits(wl, tl));
  EXPECT_TRUE(AllFinite(wl));
}

TEST(TOLVENRobustness, InsaneSampleRatePassesDryAndKeepsState) {
  for (double rate : {-48000.0, 0.0, std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity(), 5e6}) {
    auto strip = MakeStrip();
    const Signal in = Noise(1000, 0.5, 16);
    Signal l;
    Signal r;
    RunStrip(*strip, in, in, l, r);
    const std::vector<double> before = TOLVENInspector::Histories(*strip);
    strip->SetSampleRate(rate);
    RunStrip(*strip, in, in, l, r);
    EXPECT_TRUE(SameBits(before, TOLVENInspector::Histories(*strip))) << rate;
    EXPECT_EQ(l[10], in[10] - 1e-10) << rate;
    EXPECT_TRUE(AllFinite(l)) << rate;
  }
}

// ---- Meter ---------------------------------------------------------------------------

class FakeEditor : public IPlugEditor {
public:
  void SetParamFromHost(int, double, bool) override {}
  void PrepareSurfaces() override {}
  int Width() const override { return 135; }
  int Height() const override { return 662; }
  int NumControls() const override { return 8; }
  void SetControlValueFromHost(int controlIndex, double value) override {
    ++writes;
    lastIndex = controlIndex;
    lastValue = value;
  }
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  bool IsEditorOpen() const override { return false; }

  int writes = 0;
  int lastIndex = -1;
  double lastValue = 0.0;
};

TEST(TOLVENMeter, SilenceLetsTheNeedleFallWithTheIntegrationTime) {
  auto strip = MakeStrip(); // its own editor is attached from construction on
  auto* editor = new FakeEditor;
  strip->AttachEditor(editor);
  TOLVENInspector::SetMeterControl(*strip, 7);
  RunSilence(*strip, 1);
  // One sample from 1.0 towards a level of almost 0: k = exp(-4.60517018599 / 14400).
  EXPECT_NEAR(TOLVENInspector::MeterLevel(*strip), 0.999680248, 1e-9);
  EXPECT_EQ(editor->writes, 1);
  EXPECT_EQ(editor->lastValue, TOLVENInspector::MeterLevel(*strip));
  RunSilence(*strip, 14399);
  EXPECT_NEAR(TOLVENInspector::MeterLevel(*strip), 0.01, 1e-6);
  RunSilence(*strip, 600);
  EXPECT_LT(TOLVENInspector::MeterLevel(*strip), 0.01);
}

TEST(TOLVENMeter, FollowsTheSumOfBothChannelsIntoTheMeterControl) {
  auto strip = MakeStrip();
  auto* editor = new FakeEditor;
  strip->AttachEditor(editor);
  TOLVENInspector::SetMeterControl(*strip, 7);
  strip->SetParameterValue(kBypass, 1.0); // the outputs are the inputs then
  const Signal a = Sine(48000, 100.0, 0.5);
  Signal minusA = a;
  for (double& x : minusA)
    x = -x;
  Signal l;
  Signal r;
  RunStrip(*strip, a, a, l, r);
  // Handed over once per block (94 calls of at most 512 frames), the last
  // level each time.
  EXPECT_EQ(editor->writes, 94);
  EXPECT_EQ(editor->lastIndex, 7);
  EXPECT_EQ(editor->lastValue, TOLVENInspector::MeterLevel(*strip));
  // |L + R| peaks at 1.0; the needle settles near its mean, 2 / pi.
  EXPECT_NEAR(TOLVENInspector::MeterLevel(*strip), 2.0 / kPi, 0.03);
  RunStrip(*strip, a, minusA, l, r);
  EXPECT_LT(TOLVENInspector::MeterLevel(*strip), 0.001);
  // An index outside the control list is skipped.
  TOLVENInspector::SetMeterControl(*strip, 8);
  const int writes = editor->writes;
  RunStrip(*strip, a, a, l, r);
  EXPECT_EQ(editor->writes, writes);
}

TEST(TOLVENMeter, StaysFiniteWhenHugeDrySamplesOverflowTheSum) {
  auto strip = MakeStrip();
  strip->AttachEditor(new FakeEditor);
  strip->SetParameterValue(kBypass, 1.0);
  const Signal huge(10, std::numeric_limits<double>::max());
  Signal l;
  Signal r;
  RunStrip(*strip, huge, huge, l, r);
  const double pinned = TOLVENInspector::MeterLevel(*strip);
  EXPECT_TRUE(std::isfinite(pinned));
  EXPECT_GT(pinned, 1.0);
  // And it can come back down.
  RunSilence(*strip, 48000);
  EXPECT_LT(TOLVENInspector::MeterLevel(*strip), pinned * 1e-6);
}

} // namespace
