// The module's audio against the other ways of running the strip:
// tolven-render as a user runs it, and the built-in strip played block by
// block with the same parameter changes. Settings are values a float control
// port carries exactly, so both sides see the same real values.
#include "BuiltInReference.h"
#include "LV2TestInstance.h"
#include "RenderTestSupport.h"

#include <gtest/gtest.h>

#include <sndfile.h>

#include <string>
#include <vector>

namespace {

using namespace lv2test;
using namespace rendertest;

struct Setting {
  const char* symbol;
  const char* name;
  float value;
};

class LV2Render : public RenderProcessTest {
protected:
  void SetUp() override {
    RenderProcessTest::SetUp();
    ASSERT_NE(nullptr, world.Plugin());
  }

  // tolven-render's output for the signal at the settings, as floats.
  std::vector<float> RenderTool(const std::vector<float>& signal, int rate,
                                const std::vector<Setting>& settings,
                                const std::vector<std::string>& extra = {}) {
    Audio in;
    in.channels = 2;
    in.rate = rate;
    in.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    in.samples.assign(signal.begin(), signal.end());
    EXPECT_TRUE(WriteAudio(File("in.wav"), in));
    std::vector<std::string> args = extra;
    for (const Setting& s : settings)
      args.insert(args.end(), {"--set", std::string(s.name) + "=" + std::to_string(s.value)});
    args.insert(args.end(), {File("in.wav").string(), File("tool.wav").string()});
    EXPECT_EQ(0, Run(args)) << err;
    Audio out;
    EXPECT_TRUE(ReadAudio(File("tool.wav"), out));
    return std::vector<float>(out.samples.begin(), out.samples.end());
  }

  LV2TestWorld world;
};

TEST_F(LV2Render, AudioIsBitIdenticalToTolvenRenderAtSeveralSettings) {
  const std::vector<std::vector<Setting>> settings = {
      {},
      {{"input_1", "Input 1", 7.25f},
       {"high_gain_1", "High Gain 1", 0.375f},
       {"output_1", "Output 1", -3.125f},
       {"mid_gain_1", "Mid Gain 1", 0.8125f},
       {"low_gain_1", "Low Gain 1", 0.125f}},
      {{"input_1", "Input 1", 24.0f},
       {"output_1", "Output 1", -24.0f},
       {"high_gain_1", "High Gain 1", 1.0f},
       {"mid_gain_1", "Mid Gain 1", 0.0f},
       {"low_gain_1", "Low Gain 1", 1.0f}},
      {{"input_1", "Input 1", -12.5f}, {"bypass_1", "Bypass 1", 1.0f}},
  };
  for (int rate : {44100, 96000}) {
    const std::vector<float> signal = TestSignal(rate / 2, rate);
    for (std::size_t i = 0; i < settings.size(); ++i) {
      SCOPED_TRACE("rate " + std::to_string(rate) + ", setting " + std::to_string(i));
      LV2TestInstance::Setup setup;
      setup.sampleRate = rate;
      LV2TestInstance instance(world, setup);
      ASSERT_TRUE(instance.Get());
      instance.ConnectControls();
      for (const Setting& s : settings[i])
        instance.Control(s.symbol) = s.value;
      const std::vector<float> lv2 = instance.Render(signal, 333);
      const std::vector<float> tool = RenderTool(signal, rate, settings[i]);
      ASSERT_EQ(tool.size(), lv2.size());
      EXPECT_TRUE(tool == lv2) << "the bundle's output differs from tolven-render's";
      EXPECT_NE(signal, lv2); // it did process (the bypass takes the offset off)
    }
  }
}

TEST_F(LV2Render, TheHostsBypassIsTheStripsBypass) {
  const std::vector<float> signal = TestSignal(20000, 48000);
  LV2TestInstance instance(world);
  ASSERT_TRUE(instance.Get());
  instance.ConnectControls();
  instance.Control("enabled") = 0.0f;
  instance.Control("input_1") = 3.5f;
  const std::vector<float> lv2 = instance.Render(signal, 512);
  EXPECT_TRUE(RenderTool(signal, 48000, {{"input_1", "Input 1", 3.5f}}, {"--bypass"}) == lv2);
  // The user's own switch is what the state keeps.
  const std::vector<uint8_t> state = instance.SavedParamState();
  ASSERT_EQ(48u, state.size());
  EXPECT_EQ(std::vector<uint8_t>(8, 0), std::vector<uint8_t>(state.end() - 8, state.end()));
}

TEST_F(LV2Render, ChangesBetweenRunsAndTheMeterFollowTheBuiltInStrip) {
  const std::vector<float> signal = TestSignal(24000, 48000);
  LV2TestInstance instance(world);
  ASSERT_TRUE(instance.Get());
  instance.ConnectControls();
  float meter = -1.0f;
  instance.Connect(instance.Port("meter"), &meter);
  BuiltInReference reference(48000.0, 4096);
  // Automation at run boundaries: the ports on one side, the host's
  // parameter changes on the other, both switching the bypass on and off.
  const std::vector<std::pair<int, float>> steps = {
      {kInputGain, 12.0f}, {kHighGain, 0.9f}, {kBypass, 1.0f},  {kOutputGain, -9.0f},
      {kBypass, 0.0f},     {kLowGain, 0.05f}, {kMidGain, 0.6f}, {kInputGain, -18.0f}};
  const char* const kSymbols[] = {"high_gain_1", "mid_gain_1", "low_gain_1",
                                  "input_1",     "output_1",   "bypass_1"};
  const std::size_t chunk = signal.size() / steps.size();
  for (std::size_t k = 0; k < steps.size(); ++k) {
    SCOPED_TRACE(k);
    instance.Control(kSymbols[steps[k].first]) = steps[k].second;
    reference.Set(steps[k].first, steps[k].second);
    const std::vector<float> part(signal.begin() + static_cast<long>(k * chunk),
                                  signal.begin() + static_cast<long>((k + 1) * chunk));
    ASSERT_EQ(reference.Render(part, 1000), instance.Render(part, 1000));
    EXPECT_EQ(static_cast<float>(reference.Strip().MeterLevel()), meter);
  }
  EXPECT_GT(meter, 0.0f);
}

} // namespace
