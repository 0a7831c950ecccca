// tolven-render --plugin with the VST3 module: run as a separate process, as
// a user runs it, against the built-in channel strip.
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <cmath>
#include <string>
#include <vector>

#ifndef TOLVEN_VST3_MODULE_PATH
#error "TOLVEN_VST3_MODULE_PATH must name the built VST3 module"
#endif

namespace {

using namespace rendertest;

// The module file, and the bundle folder around it (TOLVEN.vst3/Contents/<arch>/).
fs::path ModuleFile() {
  return BesideTests(TOLVEN_VST3_MODULE_PATH);
}
fs::path ModuleBundle() {
  return ModuleFile().parent_path().parent_path().parent_path();
}

// A 64-bit float WAV file: what keeps every bit of the processing visible.
bool WriteWav64(const fs::path& p, int channels, int rate, const std::vector<double>& samples) {
  Audio audio;
  audio.channels = channels;
  audio.rate = rate;
  audio.format = SF_FORMAT_WAV | SF_FORMAT_DOUBLE;
  audio.samples = samples;
  return WriteAudio(p, audio);
}

std::vector<double> Music(int channels, int frames, int rate) {
  std::vector<double> v;
  for (int n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c) {
      double t = static_cast<double>(n) / rate;
      v.push_back(0.5 * std::sin(2 * M_PI * (80.0 + 40 * c) * t) +
                  0.2 * std::sin(2 * M_PI * 2500.0 * t * (1 + t)) + (n % 9000 < 30 ? 0.3 : 0.0));
    }
  return v;
}

class Vst3Render : public RenderProcessTest {
protected:
  void SetUp() override {
    RenderProcessTest::SetUp();
    if (HasFatalFailure()) return;
    ASSERT_TRUE(fs::exists(ModuleFile())) << ModuleFile();
  }
};

TEST_F(Vst3Render, SixtyFourBitOutputIsBitIdenticalToTheBuiltInStrip) {
  ASSERT_TRUE(WriteWav64(File("in.wav"), 2, 48000, Music(2, 48000, 48000)));
  const std::vector<std::string> settings = {"--set", "Input 1=7.3",   "--set", "High Gain 1=0.37",
                                             "--set", "Output 1=-3.1", "--set", "Mid Gain 1=0.81",
                                             "--set", "2=0.123"};
  ASSERT_TRUE(RenderBothWays(settings, ModuleBundle()));
  const std::string a = ReadFile(File("builtin.wav"));
  const std::string b = ReadFile(File("plugin.wav"));
  ASSERT_GE(a.size(), 48000u * 2 * 8); // every frame is there
  EXPECT_TRUE(a == b) << "the module's output differs from the built-in strip's";
  Audio in, processed;
  ASSERT_TRUE(ReadAudio(File("in.wav"), in));
  ASSERT_TRUE(ReadAudio(File("plugin.wav"), processed));
  EXPECT_NE(in.samples, processed.samples); // it did process
}

TEST_F(Vst3Render, MonoBypassAndOddBlocksThroughTheModuleFileMatchToo) {
  ASSERT_TRUE(WriteWav64(File("in.wav"), 1, 44100, Music(1, 30000, 44100)));
  for (const char* extra : {"--bypass", "--set=Bypass 1=0"}) {
    SCOPED_TRACE(extra);
    std::vector<std::string> args = {"--block-size", "100"};
    if (std::string(extra) == "--bypass")
      args.push_back(extra);
    else
      args.insert(args.end(), {"--set", "Bypass 1=0"});
    ASSERT_TRUE(RenderBothWays(args, ModuleFile()));
    EXPECT_TRUE(ReadFile(File("builtin.wav")) == ReadFile(File("plugin.wav")));
    fs::remove(File("builtin.wav"));
    fs::remove(File("plugin.wav"));
  }
}

TEST_F(Vst3Render, TheModuleOffersTheStripsParametersOnly) {
  ASSERT_EQ(0, Run({"--list-params"})) << err;
  const std::string builtIn = out.substr(out.find('\n'));
  ASSERT_EQ(0, Run({"--plugin", ModuleBundle().string(), "--list-params"})) << err;
  EXPECT_NE(std::string::npos, out.find("VST3 module"));
  EXPECT_EQ(builtIn, out.substr(out.find('\n')));
  EXPECT_EQ(std::string::npos, out.find("Preset"));
}

TEST_F(Vst3Render, AModuleThatCannotBeLoadedLeavesNoOutput) {
  ASSERT_TRUE(WriteWav64(File("in.wav"), 2, 48000, Music(2, 1000, 48000)));
  const std::string missing = File("Missing.vst3").string();
  EXPECT_NE(0, Run({"--plugin", missing, File("in.wav").string(), File("out.wav").string()}));
  EXPECT_NE(std::string::npos, err.find("Missing.vst3")) << err;
  EXPECT_FALSE(fs::exists(File("out.wav")));
  // An out-of-range value is refused before anything is written.
  EXPECT_NE(0, Run({"--plugin", ModuleBundle().string(), "--set", "Input 1=30",
                    File("in.wav").string(), File("out.wav").string()}));
  EXPECT_FALSE(fs::exists(File("out.wav")));
}

} // namespace
