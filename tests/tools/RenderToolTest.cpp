// tolven-render end to end: the built executable run as a separate process,
// as a user runs it, on files the test writes and reads with libsndfile.
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

using namespace rendertest;

constexpr double kPi = 3.141592653589793;

Audio Tone(int channels, int rate, int format, double seconds, double hz, double amplitude) {
  Audio a;
  a.channels = channels;
  a.rate = rate;
  a.format = format;
  const size_t frames = static_cast<size_t>(seconds * rate);
  const double scale = IntegerScale(format);
  for (size_t n = 0; n < frames; ++n) {
    for (int c = 0; c < channels; ++c) {
      double v = amplitude * std::sin(2.0 * kPi * hz * n / rate + c * 0.5);
      if (scale > 0.0) v = std::round(v * scale) / scale; // what the file holds
      a.samples.push_back(v);
    }
  }
  return a;
}

double PeakDb(const std::vector<double>& v, size_t from = 0) {
  double p = 0.0;
  for (size_t i = from; i < v.size(); ++i)
    p = std::max(p, std::fabs(v[i]));
  return 20.0 * std::log10(p);
}

double RmsDb(const std::vector<double>& v, size_t from = 0) {
  double s = 0.0;
  for (size_t i = from; i < v.size(); ++i)
    s += v[i] * v[i];
  return 20.0 * std::log10(std::sqrt(s / (v.size() - from)));
}

// "label: peak X dBFS, RMS Y dBFS" from the tool's report.
bool ReportedLevels(const std::string& report, const char* label, double& peak, double& rms) {
  const size_t at = report.find(label);
  if (at == std::string::npos) return false;
  return std::sscanf(report.c_str() + at + std::string(label).size(),
                     " peak %lf dBFS, RMS %lf dBFS", &peak, &rms) == 2;
}

class RenderTool : public RenderProcessTest {};

TEST_F(RenderTool, StereoFileComesOutWithTheRightLevelsAndFormat) {
  const Audio in = Tone(2, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 3.0, 1000.0, 0.01);
  ASSERT_TRUE(WriteAudio(File("in.wav"), in));
  ASSERT_EQ(Run({File("in.wav").string(), File("out.wav").string()}), 0) << err;
  Audio result;
  ASSERT_TRUE(ReadAudio(File("out.wav"), result));
  EXPECT_EQ(result.format, in.format);
  EXPECT_EQ(result.channels, 2);
  EXPECT_EQ(result.rate, 48000);
  ASSERT_EQ(result.Frames(), in.Frames());
  // Small signal, default settings, after the fade-in: about 1.1326 times the
  // input (+1.08 dB), upright.
  const size_t settled = 2 * 48000 * 2;
  EXPECT_NEAR(RmsDb(result.samples, settled) - RmsDb(in.samples, settled), 1.08, 0.05);
  double dot = 0.0;
  for (size_t i = settled; i < in.samples.size(); ++i)
    dot += in.samples[i] * result.samples[i];
  EXPECT_GT(dot, 0.0);

  // The report gives the levels of both files.
  double peak = 0.0;
  double rms = 0.0;
  ASSERT_TRUE(ReportedLevels(out, "input:", peak, rms)) << out;
  EXPECT_NEAR(peak, PeakDb(in.samples), 0.01);
  EXPECT_NEAR(rms, RmsDb(in.samples), 0.01);
  ASSERT_TRUE(ReportedLevels(out, "output:", peak, rms)) << out;
  EXPECT_NEAR(peak, PeakDb(result.samples), 0.01);
  EXPECT_NEAR(rms, RmsDb(result.samples), 0.01);
  ExpectOnly({"in.wav", "out.wav"});
}

TEST_F(RenderTool, EveryInputFormatIsKeptAndBypassIsTransparent) {
  const int formats[] = {SF_FORMAT_PCM_16, SF_FORMAT_PCM_24, SF_FORMAT_PCM_32, SF_FORMAT_FLOAT,
                         SF_FORMAT_DOUBLE};
  for (int sub : formats) {
    SCOPED_TRACE(sub);
    const Audio in = Tone(1, 44100, SF_FORMAT_WAV | sub, 0.5, 440.0, 0.999);
    ASSERT_TRUE(WriteAudio(File("in.wav"), in));
    ASSERT_EQ(Run({"--bypass", File("in.wav").string(), File("out.wav").string()}), 0) << err;
    Audio result;
    ASSERT_TRUE(ReadAudio(File("out.wav"), result));
    EXPECT_EQ(result.format, in.format);
    EXPECT_EQ(result.channels, 1);
    EXPECT_EQ(result.rate, 44100);
    ASSERT_EQ(result.Frames(), in.Frames());
    // Bypass: the input less 1e-10, which no integer format can show.
    double worst = 0.0;
    for (size_t i = 0; i < in.samples.size(); ++i)
      worst = std::max(worst, std::fabs(result.samples[i] - in.samples[i]));
    if (IntegerScale(in.format) > 0.0)
      EXPECT_EQ(worst, 0.0);
    else
      EXPECT_LT(worst, 1e-7);
  }
}

TEST_F(RenderTool, MonoIsProcessedLikeTheLeftChannelOfStereo) {
  const Audio mono = Tone(1, 48000, SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 1.0, 200.0, 0.3);
  Audio stereo = mono;
  stereo.channels = 2;
  stereo.samples.clear();
  for (double v : mono.samples) {
    stereo.samples.push_back(v);
    stereo.samples.push_back(0.0);
  }
  ASSERT_TRUE(WriteAudio(File("mono.wav"), mono));
  ASSERT_TRUE(WriteAudio(File("stereo.wav"), stereo));
  ASSERT_EQ(Run({"--set", "Input 1=12", File("mono.wav").string(), File("mono-out.wav").string()}),
            0)
      << err;
  ASSERT_EQ(Run({"--set", "3=12", File("stereo.wav").string(), File("stereo-out.wav").string()}), 0)
      << err;
  Audio m;
  Audio s;
  ASSERT_TRUE(ReadAudio(File("mono-out.wav"), m));
  ASSERT_TRUE(ReadAudio(File("stereo-out.wav"), s));
  ASSERT_EQ(m.channels, 1);
  ASSERT_EQ(m.Frames(), s.Frames());
  for (size_t n = 0; n < m.Frames(); ++n)
    ASSERT_EQ(m.samples[n], s.samples[2 * n]) << n;
}

TEST_F(RenderTool, SettingsChangeTheSoundAndBlockSizeDoesNot) {
  const Audio in = Tone(2, 48000, SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1.0, 100.0, 0.1);
  ASSERT_TRUE(WriteAudio(File("in.wav"), in));
  ASSERT_EQ(Run({"--block-size", "64", File("in.wav").string(), File("a.wav").string()}), 0) << err;
  ASSERT_EQ(Run({"--block-size=4096", File("in.wav").string(), File("b.wav").string()}), 0) << err;
  ASSERT_EQ(Run({"--set", "Low Gain 1=1", "--set", "output 1=-12", File("in.wav").string(),
                 File("c.wav").string()}),
            0)
      << err;
  Audio a;
  Audio b;
  Audio c;
  ASSERT_TRUE(ReadAudio(File("a.wav"), a));
  ASSERT_TRUE(ReadAudio(File("b.wav"), b));
  ASSERT_TRUE(ReadAudio(File("c.wav"), c));
  EXPECT_EQ(a.samples, b.samples);
  // Full bass boost (+~16.7 dB at 100 Hz) with -12 dB out: louder than the default.
  const size_t tail = a.samples.size() / 2;
  EXPECT_GT(RmsDb(c.samples, tail) - RmsDb(a.samples, tail), 2.0);
}

TEST_F(RenderTool, DemoIsRenderedAsStereoFloatAndItsInputCanBeSaved) {
  ASSERT_EQ(Run({"--sample-rate", "44100", "--demo-input", File("demo-in.wav").string(),
                 File("demo-out.wav").string()}),
            0)
      << err;
  Audio demoIn;
  Audio demoOut;
  ASSERT_TRUE(ReadAudio(File("demo-in.wav"), demoIn));
  ASSERT_TRUE(ReadAudio(File("demo-out.wav"), demoOut));
  for (const Audio* a : {&demoIn, &demoOut}) {
    EXPECT_EQ(a->format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(a->channels, 2);
    EXPECT_EQ(a->rate, 44100);
    EXPECT_GT(a->Frames(), 3u * 44100u);
  }
  EXPECT_EQ(demoIn.Frames(), demoOut.Frames());
  EXPECT_NE(out.find("demo-out.wav"), std::string::npos) << out;
  EXPECT_NE(out.find("demo-in.wav"), std::string::npos) << out;
  // The saved input is exactly what was processed: rendering it again gives
  // the same output bits.
  ASSERT_EQ(Run({File("demo-in.wav").string(), File("again.wav").string()}), 0) << err;
  Audio again;
  ASSERT_TRUE(ReadAudio(File("again.wav"), again));
  EXPECT_TRUE(again.samples == demoOut.samples);
  EXPECT_GT(PeakDb(demoOut.samples), -12.0);
}

TEST_F(RenderTool, ErrorsLeaveNoOutputBehind) {
  const Audio in = Tone(2, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.2, 1000.0, 0.5);
  ASSERT_TRUE(WriteAudio(File("in.wav"), in));
  { std::ofstream(File("text.wav")) << "this is not audio\n"; }
  const Audio aiff = Tone(1, 48000, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 0.1, 1000.0, 0.5);
  ASSERT_TRUE(WriteAudio(File("aiff.wav"), aiff));
  const Audio eightBit = Tone(1, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0.1, 1000.0, 0.5);
  ASSERT_TRUE(WriteAudio(File("u8.wav"), eightBit));
  const Audio quad = Tone(4, 48000, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 0.1, 1000.0, 0.5);
  ASSERT_TRUE(WriteAudio(File("quad.wav"), quad));
  const std::string input = File("in.wav").string();
  const std::string output = File("out.wav").string();

  struct Case {
    std::vector<std::string> args;
    const char* message; // part of what the user is told
  };
  const std::vector<Case> cases = {
      {{File("missing.wav").string(), output}, "missing.wav"},
      {{File("text.wav").string(), output}, "text.wav"},
      {{File("aiff.wav").string(), output}, "not a WAV file"},
      {{File("u8.wav").string(), output}, "unsupported sample format"},
      {{File("quad.wav").string(), output}, "channel count"},
      {{"--set", "Gain=3", input, output}, "unknown parameter"},
      {{"--set", "9=3", input, output}, "unknown parameter"},
      {{"--set", "Input 1=loud", input, output}, "not a number"},
      {{"--set", "Input 1=24.5", input, output}, "out of range"},
      {{"--set", "Bypass 1=0.5", input, output}, "not one of its steps"},
      {{"--set", "High Gain 1=-0.01", input, output}, "out of range"},
      {{"--block-size", "0", input, output}, "out of range"},
      {{"--sample-rate", "1", output}, "out of range"},
      {{}, "no output"},
      {{input}, "already exists"},
      {{input, File("no-such-folder/out.wav").string()}, "cannot write"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    EXPECT_NE(Run(c.args), 0);
    EXPECT_NE(err.find(c.message), std::string::npos) << err;
    ExpectOnly({"in.wav", "text.wav", "aiff.wav", "u8.wav", "quad.wav"});
  }

  // A failing run does not touch an existing output either.
  { std::ofstream(File("out.wav")) << "keep me"; }
  EXPECT_NE(Run({"--set", "Input 1=99", input, output}), 0);
  EXPECT_EQ(ReadFile(File("out.wav")), "keep me");
  // A successful one replaces it.
  ASSERT_EQ(Run({input, output}), 0) << err;
  Audio replaced;
  ASSERT_TRUE(ReadAudio(File("out.wav"), replaced));
  EXPECT_EQ(replaced.Frames(), in.Frames());
}

TEST_F(RenderTool, DemoReplacesAnExistingFileOnlyWhenForced) {
  { std::ofstream(File("demo.wav")) << "keep me"; }
  EXPECT_NE(Run({File("demo.wav").string()}), 0);
  EXPECT_NE(err.find("--force"), std::string::npos) << err;
  EXPECT_EQ(ReadFile(File("demo.wav")), "keep me");
  ASSERT_EQ(Run({"--force", File("demo.wav").string()}), 0) << err;
  Audio demo;
  ASSERT_TRUE(ReadAudio(File("demo.wav"), demo));
  EXPECT_EQ(demo.channels, 2);
  ExpectOnly({"demo.wav"});
}

} // namespace
