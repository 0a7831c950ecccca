// The snapshot tool's pieces: its command line, parameter settings and the
// response measurement through the strip.
#include "IControl.h"
#include "IGraphics.h"
#include "LICE_MemBitmap.h"
#include "ResponseMeasurement.h"
#include "ResponsePlot.h"
#include "SnapshotOptions.h"
#include "StripSettings.h"
#include "TOLVEN.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

bool Parse(std::vector<const char*> args, SnapshotOptions& options, std::string& error) {
  args.insert(args.begin(), "tolven-snapshot");
  return ParseSnapshotOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(SnapshotCommandLine, BothPicturesWithSettings) {
  SnapshotOptions o;
  std::string error;
  ASSERT_TRUE(Parse({"out.png", "--set", "Output 1=6", "--meter", "0.7"}, o, error)) << error;
  EXPECT_EQ(o.mode, SnapshotOptions::EditorPicture);
  EXPECT_EQ(o.outputPath, "out.png");
  ASSERT_EQ(o.settings.size(), 1u);
  EXPECT_EQ(o.settings[0].name, "Output 1");
  EXPECT_EQ(o.settings[0].value, "6");
  EXPECT_EQ(o.meterLevel, 0.7);

  ASSERT_TRUE(Parse({"--response", "r.png", "--sample-rate", "96000", "--set", "0=0.2"}, o, error));
  EXPECT_EQ(o.mode, SnapshotOptions::ResponsePicture);
  EXPECT_EQ(o.sampleRate, 96000.0);
  EXPECT_EQ(o.settings[0].name, "0");
}

TEST(SnapshotCommandLine, RefusesWhatCannotBeDrawn) {
  SnapshotOptions o;
  std::string error;
  const std::vector<std::vector<const char*>> bad = {
      {},                          // no output
      {"a.png", "b.png"},          // two outputs
      {"a.png", "--meter", "1.5"}, // needle beyond full scale
      {"a.png", "--meter", "nan"},
      {"a.png", "--meter"},           // value missing
      {"a.png", "--set", "Output 1"}, // no value
      {"a.png", "--set", "=3"},
      {"--response", "a.png", "--sample-rate", "1000"},
      {"--response", "a.png", "--sample-rate", "0x100"},
      {"--response", "a.png", "--meter", "0.5"}, // meter is for the editor
      {"a.png", "--sample-rate", "48000"},       // rate is for the response
      {"a.png", "--colour", "red"}};
  for (const auto& args : bad) {
    error.clear();
    EXPECT_FALSE(Parse(args, o, error)) << (args.empty() ? "" : args.back());
    EXPECT_FALSE(error.empty());
  }
  ASSERT_TRUE(Parse({"--help"}, o, error));
  EXPECT_TRUE(o.showHelp);
}

TEST(SnapshotSettings, NamesIndicesBoundsAndSteps) {
  TOLVEN strip{IPlugInstanceInfo()};
  std::string error;
  ASSERT_TRUE(ApplySettings(strip, {{"output 1", "-6.5"}, {"0", "0.25"}, {"Bypass 1", "1"}}, error))
      << error;
  EXPECT_EQ(strip.GetParam(kOutputGain)->Value(), -6.5);
  EXPECT_EQ(strip.GetParam(kHighGain)->Value(), 0.25);
  EXPECT_EQ(strip.GetParam(kBypass)->Value(), 1.0);
  // The editor follows, as it does for a host.
  EXPECT_DOUBLE_EQ(dynamic_cast<IGraphics*>(strip.GetEditor())->GetControl(5)->Value(),
                   (-6.5 + 24.0) / 48.0);

  const std::vector<std::vector<SnapshotOptions::Setting>> bad = {
      {{"Treble", "1"}},  {{"6", "1"}},          {{"Input 1", "25"}},
      {{"Input 1", "x"}}, {{"Bypass 1", "0.5"}}, {{"1234567", "0"}}};
  for (const auto& settings : bad) {
    error.clear();
    EXPECT_FALSE(ApplySettings(strip, settings, error)) << settings[0].name;
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(strip.GetParam(kInputGain)->Value(), 0.0);
}

std::vector<double> Values(double high, double mid, double low, double in = 0.0, double out = 0.0,
                           double bypass = 0.0) {
  return {high, mid, low, in, out, bypass};
}

double At(const EqResponse& r, const std::vector<double>& curve, double f) {
  size_t best = 0;
  for (size_t i = 0; i < r.frequencies.size(); ++i)
    if (std::fabs(std::log(r.frequencies[i] / f)) < std::fabs(std::log(r.frequencies[best] / f)))
      best = i;
  return curve[best];
}

TEST(ResponseMeasurement, FlatBandsMeasureFlatAndExtremesMatchTheFilters) {
  const ResponseMeasurement measure(48000.0);
  const EqResponse flat = measure.Measure(Values(0.5, 0.5, 0.5), 60);
  ASSERT_EQ(flat.frequencies.size(), 60u);
  for (double db : flat.totalDb)
    EXPECT_NEAR(db, 0.0, 1e-6);

  const EqResponse r = measure.Measure(Values(1.0, 0.0, 1.0), 200);
  // Mid at 0: a 19.41 dB dip near 1.59 kHz; low at 1: +18.67 dB towards DC;
  // high at 1: rising towards +16.19 dB at the Nyquist frequency.
  const auto dip = std::min_element(r.bandDb[1].begin(), r.bandDb[1].end());
  EXPECT_NEAR(*dip, -19.41, 0.05);
  EXPECT_NEAR(r.frequencies[dip - r.bandDb[1].begin()], 1590.0, 80.0);
  EXPECT_NEAR(At(r, r.bandDb[2], 20.0), 18.67, 0.2);
  EXPECT_NEAR(At(r, r.bandDb[2], 10000.0), 0.0, 0.07);
  EXPECT_GT(At(r, r.bandDb[0], 20000.0), 12.0);
  EXPECT_NEAR(At(r, r.bandDb[0], 20.0), 0.0, 0.01);
  // The bands' curves add up to the combined one (within the interaction of
  // three sections in series, which is exact for magnitudes in dB).
  for (size_t i = 0; i < r.frequencies.size(); ++i)
    EXPECT_NEAR(r.totalDb[i], r.bandDb[0][i] + r.bandDb[1][i] + r.bandDb[2][i], 0.01);
}

TEST(ResponseMeasurement, ProbeStaysLinearAtAnyGainAndBypassIsFlat) {
  const ResponseMeasurement measure(44100.0);
  const EqResponse plain = measure.Measure(Values(0.8, 0.3, 0.6), 40);
  const EqResponse hot = measure.Measure(Values(0.8, 0.3, 0.6, 24.0, -24.0), 40);
  ASSERT_EQ(plain.totalDb.size(), hot.totalDb.size());
  for (size_t i = 0; i < plain.totalDb.size(); ++i)
    EXPECT_NEAR(hot.totalDb[i], plain.totalDb[i], 0.01) << plain.frequencies[i];
  const EqResponse bypassed = measure.Measure(Values(1.0, 0.0, 1.0, 0.0, 0.0, 1.0), 40);
  for (double db : bypassed.totalDb)
    EXPECT_NEAR(db, 0.0, 1e-9);
  // Frequencies above 0.49 of a low sample rate are left out.
  const EqResponse slow = ResponseMeasurement(16000.0).Measure(Values(0.5, 0.5, 0.5), 40);
  ASSERT_FALSE(slow.frequencies.empty());
  EXPECT_LE(slow.frequencies.back(), 0.49 * 16000.0);
}

TEST(ResponsePlot, RangeGrowsInSixDecibelStepsAndThePictureIsDrawn) {
  EqResponse r;
  r.frequencies = {20.0, 1000.0, 20000.0};
  r.totalDb = {0.0, 3.0, -1.0};
  for (auto& band : r.bandDb)
    band = {0.0, 1.0, 0.0};
  EXPECT_EQ(PlotRangeDb(r), 12.0);
  r.totalDb[1] = -19.4;
  EXPECT_EQ(PlotRangeDb(r), 24.0);
  LICE_MemBitmap picture;
  ASSERT_TRUE(DrawResponsePlot(r, ResponseLabels(), 400, 300, picture));
  EXPECT_EQ(picture.Width(), 400);
  EXPECT_EQ(picture.Height(), 300);
  // The combined curve's colour appears in the plot.
  int amber = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 400; ++x) {
      const LICE_PixelWord p = picture.Pixels()[y * picture.RowSpan() + x];
      amber += LICE_PixelRed(p) > 200 && LICE_PixelGreen(p) > 150 && LICE_PixelBlue(p) < 100;
    }
  EXPECT_GT(amber, 200);
}

} // namespace
