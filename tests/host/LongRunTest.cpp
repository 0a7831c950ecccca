// A long session: the same 48 kHz audio and the same automation of every
// parameter through the built-in strip, the VST2 module and the VST3 module,
// offline, as fast as they run. The modules' output equals the built-in
// strip's bit for bit, every sample is finite, the meter stays in range, and
// the process does not grow once it runs (peak RSS at the end equals that
// after the first minute).
//
// TOLVEN_LONG_RUN_SECONDS sets the length of the audio (default 75 s, the
// suite's version; scripts/long-run.sh runs an hour).
#include "TOLVEN.h"
#include "TOLVENInspector.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"
#include "Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

using namespace vst3test;

constexpr double kRate = 48000.0;
constexpr int kBlock = 512;
constexpr int kParams = 6;

long PeakRssKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

double AudioSeconds() {
  const char* text = std::getenv("TOLVEN_LONG_RUN_SECONDS");
  const double seconds = text ? std::atof(text) : 75.0;
  return seconds > 0.0 ? seconds : 75.0;
}

TEST(LongRun, ModulesMatchTheBuiltInStripThroughALongAutomatedSession) {
  IPlugInstanceInfo info;
  info.hostName = "tolven long run";
  TOLVEN strip(info);
  ASSERT_TRUE(strip.Prepare(kRate, kBlock));

  static Vst2Module module(TOLVEN_VST2_MODULE);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  Vst2RecordingHost host;
  Vst2Instance vst2(host.Instantiate(module.EntryPoint()));
  ASSERT_TRUE(vst2.IsValid());
  vst2.Start(static_cast<float>(kRate), kBlock);

  Plugin vst3;
  ASSERT_TRUE(vst3.Create());
  ASSERT_TRUE(vst3.instance.Start(2, kRate, kBlock));

  // All buffers exist before the session, so nothing the loop does grows.
  std::vector<std::vector<float>> in(2, std::vector<float>(kBlock));
  std::vector<std::vector<float>> builtIn = in, out2 = in, out3 = in;
  std::vector<float*> inPtr = Pointers(in), builtInPtr = Pointers(builtIn);
  std::vector<float*> out2Ptr = Pointers(out2), out3Ptr = Pointers(out3);
  std::vector<const float*> inConst(inPtr.begin(), inPtr.end());
  Vst3ParameterChanges changes;
  std::mt19937 rng(2024);
  std::uniform_real_distribution<float> noise(-0.3f, 0.3f);

  const long long blocks = static_cast<long long>(AudioSeconds() * kRate / kBlock);
  const long long firstMinute = static_cast<long long>(60.0 * kRate / kBlock);
  long rssAfterFirstMinute = 0;
  long long mismatches = 0, nonFinite = 0, meterOutOfRange = 0;
  double phase = 0.0;
  for (long long b = 0; b < blocks; ++b) {
    // A tone sweeping slowly through the band, noise, and now and then a
    // burst far above full scale.
    const double step = 2.0 * 3.141592653589793 * (40.0 + (b % 4000) * 4.0) / kRate;
    const float gain = b % 997 < 3 ? 8.0f : 0.6f;
    for (int i = 0; i < kBlock; ++i, phase += step) {
      const float tone = gain * static_cast<float>(std::sin(phase));
      in[0][i] = tone + noise(rng);
      in[1][i] = -tone + noise(rng);
    }
    phase = std::fmod(phase, 2.0 * 3.141592653589793);
    // Every parameter moves: one per block in turn, to values every entry
    // carries exactly (float and double alike); the bypass switches too.
    const int param = static_cast<int>(b % kParams);
    const double value = static_cast<double>((b * 7 + param * 5) % 33) / 32.0;
    strip.SetParameterNormalized(param, value);
    vst2.SetParameter(param, static_cast<float>(value));
    changes.Clear();
    changes.AddPoint(static_cast<ParamID>(param), 0, value);

    strip.Process(inConst.data(), builtInPtr.data(), kBlock);
    vst2.ProcessFloat(inPtr.data(), out2Ptr.data(), kBlock);
    vst3.instance.Process(inPtr.data(), out3Ptr.data(), kBlock, &changes);

    for (int c = 0; c < 2; ++c) {
      const size_t bytes = sizeof(float) * kBlock;
      if (std::memcmp(builtIn[c].data(), out2[c].data(), bytes) != 0 ||
          std::memcmp(builtIn[c].data(), out3[c].data(), bytes) != 0)
        ++mismatches;
      for (float v : builtIn[c])
        if (!std::isfinite(v)) ++nonFinite;
    }
    const double meter = TOLVENInspector::MeterLevel(strip);
    if (!(meter >= 0.0 && meter <= 1.0125 * TOLVEN::kInputCeiling)) ++meterOutOfRange;
    if (b + 1 == firstMinute) rssAfterFirstMinute = PeakRssKiB();
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_EQ(nonFinite, 0);
  EXPECT_EQ(meterOutOfRange, 0);
  if (blocks >= firstMinute) {
    EXPECT_EQ(PeakRssKiB(), rssAfterFirstMinute);
  }
  vst3.instance.Stop();
  vst2.Suspend();
  vst2.Close();
}

} // namespace
