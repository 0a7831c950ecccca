// What careless or broken hosts do to an instance: ports left unconnected or
// null, runs of no frames or of more than any block announced, non-finite
// control values. Nothing may crash (the sanitizer build watches for
// out-of-bounds access), nothing non-finite may reach the state or the audio.
#include "BuiltInReference.h"
#include "LV2TestInstance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace lv2test;

bool AllFinite(const std::vector<float>& v) {
  return std::all_of(v.begin(), v.end(), [](float x) { return std::isfinite(x); });
}

bool StateFinite(const std::vector<uint8_t>& bytes) {
  if (bytes.size() != 48) return false;
  for (std::size_t i = 0; i < bytes.size(); i += sizeof(double)) {
    double v = 0.0;
    std::memcpy(&v, bytes.data() + i, sizeof v);
    if (!std::isfinite(v)) return false;
  }
  return true;
}

class LV2BadInput : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_NE(nullptr, world.Plugin()); }
  LV2TestWorld world;
};

TEST_F(LV2BadInput, UnconnectedPortsAndNullBuffersAreSurvived) {
  LV2TestInstance instance(world);
  ASSERT_TRUE(instance.Get());
  lilv_instance_activate(instance.Get());
  instance.Run(512); // nothing connected at all
  instance.ConnectControls();
  instance.Run(512); // controls only, no audio
  // One input missing: it reads silence, the left output still processes.
  std::vector<float> left(512, 0.25f), outL(512, 7.0f), outR(512, 7.0f);
  instance.Connect(instance.Port("in_l"), left.data());
  instance.Connect(instance.Port("out_l"), outL.data());
  instance.Connect(instance.Port("out_r"), outR.data());
  instance.Run(512);
  EXPECT_TRUE(AllFinite(outL));
  EXPECT_TRUE(AllFinite(outR));
  EXPECT_NE(7.0f, outR[100]) << "the right output must be written from the silent input";
  // Disconnected again (null), including the meter and the host bypass.
  for (const char* p : {"in_l", "out_r", "meter", "enabled", "input_1"})
    instance.Connect(instance.Port(p), nullptr);
  instance.Run(512);
  EXPECT_TRUE(AllFinite(outL));
  // Ports that do not exist are ignored.
  instance.Connect(instance.NumPorts(), left.data());
  instance.Connect(0xFFFFFFFFu, left.data());
  instance.Run(64);
  lilv_instance_deactivate(instance.Get());
  EXPECT_TRUE(StateFinite(instance.SavedParamState()));
}

TEST_F(LV2BadInput, RunsOfNoFramesAndOfMoreThanAnyBlockLoseNothing) {
  LV2TestInstance::Setup small, none;
  small.maxBlockLength = 64;
  none.maxBlockLength = 0; // no options: the binding picks its own block
  LV2TestInstance big(world, small), blocks(world, small), unannounced(world, none);
  ASSERT_TRUE(big.Get() && blocks.Get() && unannounced.Get());
  for (LV2TestInstance* i : {&big, &blocks, &unannounced}) {
    i->ConnectControls();
    i->Control("input_1") = 6.0f;
  }

  // No frames: the outputs stay as they are.
  std::vector<float> out(4, 3.0f);
  for (const char* p : {"in_l", "in_r"})
    big.Connect(big.Port(p), out.data());
  big.Connect(big.Port("out_l"), out.data() + 2);
  big.Connect(big.Port("out_r"), out.data() + 3);
  big.Run(0);
  EXPECT_EQ(std::vector<float>(4, 3.0f), out);

  // 20000 frames in one run equal 64-frame runs, whatever was announced.
  const std::vector<float> signal = TestSignal(20000, 48000);
  const std::vector<float> expected = blocks.Render(signal, 64);
  EXPECT_EQ(expected, big.Render(signal, 20000));
  EXPECT_EQ(expected, unannounced.Render(signal, 20000));
}

TEST_F(LV2BadInput, NonFiniteControlValuesAreIgnored) {
  LV2TestInstance instance(world), reference(world);
  ASSERT_TRUE(instance.Get() && reference.Get());
  instance.ConnectControls();
  reference.ConnectControls();
  instance.Control("output_1") = reference.Control("output_1") = -6.5f;
  instance.Control("enabled") = std::numeric_limits<float>::quiet_NaN(); // no host bypass then
  const std::vector<float> signal = TestSignal(4096, 48000);
  instance.Render(std::vector<float>(signal.begin(), signal.begin() + 1024), 256);
  reference.Render(std::vector<float>(signal.begin(), signal.begin() + 1024), 256);
  const std::vector<uint8_t> before = instance.SavedParamState();
  for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity()})
    for (const char* p : {"high_gain_1", "input_1", "output_1", "bypass_1"}) {
      instance.Control(p) = bad;
      instance.Run(0);
    }
  EXPECT_EQ(before, instance.SavedParamState());
  EXPECT_TRUE(StateFinite(instance.SavedParamState()));
  const std::vector<float> rest(signal.begin() + 1024, signal.end());
  EXPECT_EQ(reference.Render(rest, 256), instance.Render(rest, 256));
}

TEST_F(LV2BadInput, InPlaceBuffersGiveTheSameAudio) {
  LV2TestInstance inPlace(world), separate(world);
  ASSERT_TRUE(inPlace.Get() && separate.Get());
  inPlace.ConnectControls();
  separate.ConnectControls();
  const std::vector<float> signal = TestSignal(2048, 44100);
  const std::vector<float> expected = separate.Render(signal, 2048);
  std::vector<float> left(2048), right(2048);
  for (std::size_t n = 0; n < 2048; ++n) {
    left[n] = signal[2 * n];
    right[n] = signal[2 * n + 1];
  }
  inPlace.Connect(inPlace.Port("in_l"), left.data());
  inPlace.Connect(inPlace.Port("out_l"), left.data());
  inPlace.Connect(inPlace.Port("in_r"), right.data());
  inPlace.Connect(inPlace.Port("out_r"), right.data());
  inPlace.Run(2048);
  for (std::size_t n = 0; n < 2048; ++n) {
    ASSERT_EQ(expected[2 * n], left[n]) << n;
    ASSERT_EQ(expected[2 * n + 1], right[n]) << n;
  }
}

} // namespace
