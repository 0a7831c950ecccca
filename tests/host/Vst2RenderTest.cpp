// tolven-render --plugin: the tool run as a separate process, rendering once
// through the built-in strip and once through the built VST2 module; with
// 64-bit processing the two must agree to the bit.
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#ifndef TOLVEN_VST2_MODULE_NAME
#error "TOLVEN_VST2_MODULE_NAME must name the module file beside the tests"
#endif

namespace {

using namespace rendertest;

fs::path ModulePath() {
  return BesideTests(TOLVEN_VST2_MODULE_NAME);
}

// A few seconds of programme-like material: a decaying chord, noise bursts
// and a loud passage that drives the saturating stage.
Audio Material(int channels, int rate, double seconds) {
  Audio a;
  a.channels = channels;
  a.rate = rate;
  a.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  const int frames = static_cast<int>(seconds * rate);
  unsigned noise = 12345u;
  for (int n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double env = std::exp(-3.0 * std::fmod(t, 0.5));
    const double loud = t > seconds * 0.6 ? 2.5 : 0.3;
    for (int c = 0; c < channels; ++c) {
      noise = noise * 1664525u + 1013904223u;
      const double white = (static_cast<double>(noise >> 8) / 16777216.0 - 0.5) * 0.1;
      const double tone = std::sin(2.0 * 3.141592653589793 * (110.0 + 55.0 * c) * t) +
                          0.5 * std::sin(2.0 * 3.141592653589793 * 1650.0 * t);
      a.samples.push_back(loud * env * tone * 0.4 + white);
    }
  }
  return a;
}

class Vst2Render : public RenderProcessTest {
protected:
  void SetUp() override {
    RenderProcessTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(fs::exists(ModulePath())) << ModulePath();
  }

  // Renders in.wav both ways with the same options and compares the samples.
  void ExpectBitIdentical(const std::vector<std::string>& options) {
    ASSERT_TRUE(RenderBothWays(options, ModulePath()));
    EXPECT_NE(out.find("VST2 module"), std::string::npos) << out;
    Audio a, b, in;
    ASSERT_TRUE(ReadAudio(File("builtin.wav"), a));
    ASSERT_TRUE(ReadAudio(File("plugin.wav"), b));
    ASSERT_TRUE(ReadAudio(File("in.wav"), in));
    EXPECT_EQ(a.channels, b.channels);
    EXPECT_EQ(a.rate, b.rate);
    ASSERT_EQ(a.samples.size(), b.samples.size());
    ASSERT_EQ(a.samples.size(), in.samples.size());
    std::size_t differing = 0, changed = 0;
    for (std::size_t i = 0; i < a.samples.size(); ++i) {
      if (std::memcmp(&a.samples[i], &b.samples[i], sizeof(double)) != 0) ++differing;
      if (a.samples[i] != in.samples[i]) ++changed;
    }
    EXPECT_EQ(differing, 0u);
    EXPECT_GT(changed, a.samples.size() / 2); // the strip did process the audio
  }
};

} // namespace

TEST_F(Vst2Render, StereoIsBitIdenticalToTheBuiltInStrip) {
  ASSERT_TRUE(WriteAudio(File("in.wav"), Material(2, 44100, 2.0)));
  ExpectBitIdentical({"--set", "High Gain 1=0.8", "--set", "Low Gain 1=0.15", "--set",
                      "Input 1=7.25", "--set", "4=-3.5", "--block-size", "333"});
}

TEST_F(Vst2Render, MonoIsBitIdenticalToTheBuiltInStrip) {
  ASSERT_TRUE(WriteAudio(File("in.wav"), Material(1, 96000, 1.0)));
  ExpectBitIdentical({"--set", "mid gain 1=0.9", "--set", "Output 1=2"});
}

TEST_F(Vst2Render, BypassIsBitIdenticalToTheBuiltInStrip) {
  ASSERT_TRUE(WriteAudio(File("in.wav"), Material(2, 48000, 0.5)));
  ExpectBitIdentical({"--bypass", "--block-size", "64"});
}

TEST_F(Vst2Render, ListsTheModulesParameters) {
  ASSERT_EQ(Run({"--plugin", ModulePath().string(), "--list-params"}), 0) << err;
  for (const char* expected :
       {"\"High Gain 1\"  0 .. 1 %, default 0.5", "\"Input 1\"  -24 .. 24 %, default 0",
        "\"Bypass 1\"  0 .. 1 in whole steps, default 0"})
    EXPECT_NE(out.find(expected), std::string::npos) << out;
}

TEST_F(Vst2Render, BadModulesAndValuesFailCleanly) {
  ASSERT_TRUE(WriteAudio(File("in.wav"), Material(2, 44100, 0.2)));
  {
    std::ofstream notAModule(File("fake.module"));
    notAModule << "not a shared library";
  }
  for (const std::string& module :
       {File("missing.module").string(), File("fake.module").string()}) {
    EXPECT_NE(Run({"--plugin", module, File("in.wav").string(), File("out.wav").string()}), 0);
    EXPECT_NE(err.find("cannot load the plug-in module"), std::string::npos) << err;
    EXPECT_FALSE(fs::exists(File("out.wav")));
  }
  EXPECT_EQ(Run({"--plugin"}), 2);
  EXPECT_NE(err.find("--plugin needs the path"), std::string::npos) << err;
  EXPECT_EQ(Run({"--plugin", ModulePath().string(), "--plugin", ModulePath().string(),
                 File("out.wav").string()}),
            2);
  // Bounds come from the module: out of range is refused, nothing written.
  EXPECT_EQ(Run({"--plugin", ModulePath().string(), "--set", "Input 1=30", File("in.wav").string(),
                 File("out.wav").string()}),
            1);
  EXPECT_NE(err.find("out of range"), std::string::npos) << err;
  EXPECT_EQ(Run({"--plugin", ModulePath().string(), "--set", "Bypass 1=0.5",
                 File("in.wav").string(), File("out.wav").string()}),
            1);
  EXPECT_FALSE(fs::exists(File("out.wav")));
}
