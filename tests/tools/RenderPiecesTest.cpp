#include "BuiltInProcessor.h"
#include "DemoSignal.h"
#include "LevelMeter.h"
#include "RenderJob.h"
#include "RenderOptions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

bool Parse(std::vector<const char*> args, RenderOptions& options, std::string& error) {
  args.insert(args.begin(), "tolven-render");
  return ParseRenderOptions(static_cast<int>(args.size()), args.data(), options, error);
}

TEST(RenderOptions, RejectsBadCommandLines) {
  const std::vector<std::vector<const char*>> bad = {
      {},                                              // no output
      {"a.wav", "b.wav", "c.wav"},                     // too many files
      {"--set", "Input 1", "out.wav"},                 // no '='
      {"--set", "=3", "out.wav"},                      // no name
      {"--set"},                                       // no value at all
      {"--block-size", "0", "out.wav"},                // out of range
      {"--block-size", "12.5", "out.wav"},             // not whole
      {"--block-size", "many", "out.wav"},             // not a number
      {"--sample-rate", "100", "out.wav"},             // out of range
      {"--sample-rate", "nan", "out.wav"},             // not a number
      {"--sample-rate", "44100", "in.wav", "out.wav"}, // rate of a file is its own
      {"--demo-input", "d.wav", "in.wav", "out.wav"},  // nothing generated
      {"--frobnicate", "out.wav"},                     // unknown option
  };
  for (const auto& args : bad) {
    RenderOptions o;
    std::string error;
    EXPECT_FALSE(Parse(args, o, error)) << (args.empty() ? "(none)" : args[0]);
    EXPECT_FALSE(error.empty());
  }
}

TEST(RenderOptions, NumbersAreStrictDecimals) {
  double v = 0.0;
  EXPECT_TRUE(ParseDecimal("6", v));
  EXPECT_EQ(v, 6.0);
  EXPECT_TRUE(ParseDecimal(" -2.5e1 ", v));
  EXPECT_EQ(v, -25.0);
  for (const char* text : {"", " ", "6dB", "0x10", "inf", "nan", "1e999", "1,5", "--3"})
    EXPECT_FALSE(ParseDecimal(text, v)) << text;
}

TEST(RenderJob, FindsParametersByNameCaseOrIndex) {
  BuiltInProcessor p;
  int index = -1;
  EXPECT_TRUE(RenderJob::FindParam(p, "Input 1", index));
  EXPECT_EQ(index, 3);
  EXPECT_TRUE(RenderJob::FindParam(p, "bypass 1", index));
  EXPECT_EQ(index, 5);
  EXPECT_TRUE(RenderJob::FindParam(p, "0", index));
  EXPECT_EQ(index, 0);
  EXPECT_FALSE(RenderJob::FindParam(p, "6", index));
  EXPECT_FALSE(RenderJob::FindParam(p, "Input", index));
  EXPECT_FALSE(RenderJob::FindParam(p, "99999999999", index));
}

TEST(DemoSignal, AFewSecondsOfStereoWithHeadroom) {
  for (double rate : {44100.0, 48000.0, 96000.0}) {
    DemoSignal demo(rate);
    EXPECT_EQ(demo.Channels(), 2);
    EXPECT_EQ(demo.TotalFrames(), static_cast<int64_t>(std::llround(DemoSignal::kSeconds * rate)));
    std::vector<double> buffer(2 * 1000);
    LevelMeter all;
    LevelMeter lastHalfSecond;
    int64_t got = 0;
    int64_t n;
    while ((n = demo.Read(buffer.data(), 1000)) > 0) {
      all.Add(buffer.data(), n, 2);
      if (got >= demo.TotalFrames() - static_cast<int64_t>(rate / 2))
        lastHalfSecond.Add(buffer.data(), n, 2);
      got += n;
    }
    EXPECT_EQ(got, demo.TotalFrames());
    EXPECT_GT(all.Peak(), 0.5);
    EXPECT_LT(all.Peak(), 1.0);
    EXPECT_GT(LevelMeter::ToDbfs(all.Rms()), -24.0);
    EXPECT_EQ(lastHalfSecond.Peak(), 0.0);
  }
}

} // namespace
