// State through the State extension, as hosts save and reload sessions: the
// parameter state bytes under the plug-in's key, byte-exact round trips, the
// same sound after a reload, and refusal of anything else.
#include "BuiltInReference.h"
#include "LV2TestInstance.h"

#include <gtest/gtest.h>

#include <lv2/atom/atom.h>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using namespace lv2test;

// Values a float port carries exactly, away from the defaults.
const std::pair<const char*, float> kSetting[] = {{"high_gain_1", 0.75f}, {"mid_gain_1", 0.25f},
                                                  {"low_gain_1", 0.625f}, {"input_1", 9.5f},
                                                  {"output_1", -4.25f},   {"bypass_1", 0.0f}};

std::vector<uint8_t> Doubles(std::initializer_list<double> values) {
  std::vector<uint8_t> bytes(values.size() * sizeof(double));
  std::size_t i = 0;
  for (double v : values) {
    std::memcpy(bytes.data() + i, &v, sizeof v); // the build host is little-endian
    i += sizeof v;
  }
  return bytes;
}

class LV2State : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_NE(nullptr, world.Plugin()); }

  // An instance with its controls connected (and set, when asked).
  std::unique_ptr<LV2TestInstance> Make(bool withSetting) {
    auto instance = std::make_unique<LV2TestInstance>(world);
    EXPECT_NE(nullptr, instance->Get());
    if (!instance->Get()) return instance;
    instance->ConnectControls();
    if (withSetting)
      for (const auto& s : kSetting)
        instance->Control(s.first) = s.second;
    return instance;
  }

  LV2StateValue Property(std::vector<uint8_t> bytes) {
    return {world.Map(kStateKeyUri), world.Map(LV2_ATOM__Chunk),
            LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, std::move(bytes)};
  }

  LV2TestWorld world;
  const std::vector<float> signal = TestSignal(6000, 48000);
};

TEST_F(LV2State, TheStateIsTheParameterStateUnderThePluginsKey) {
  auto instance = Make(true);
  ASSERT_TRUE(instance->Get());
  instance->Run(0); // the ports are read by run()
  std::vector<LV2StateValue> values;
  ASSERT_EQ(LV2_STATE_SUCCESS, instance->Save(values));
  ASSERT_EQ(1u, values.size());
  EXPECT_EQ(world.Map(kStateKeyUri), values[0].key);
  EXPECT_EQ(world.Map(LV2_ATOM__Chunk), values[0].type);
  EXPECT_EQ(LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE, values[0].flags);
  EXPECT_EQ(Doubles({0.75, 0.25, 0.625, 9.5, -4.25, 0.0}), values[0].bytes);
}

TEST_F(LV2State, ARestoredInstanceSavesTheSameBytesAndSoundsTheSame) {
  auto original = Make(true);
  ASSERT_TRUE(original->Get());
  original->Render(signal, 256);
  const std::vector<uint8_t> saved = original->SavedParamState();
  ASSERT_EQ(48u, saved.size());

  // A fresh instance whose ports still hold the defaults: the restored
  // state stands, and plays like an instance set up by its ports.
  auto restored = Make(false);
  ASSERT_TRUE(restored->Get());
  ASSERT_EQ(LV2_STATE_SUCCESS, restored->Restore({Property(saved)}));
  EXPECT_EQ(saved, restored->SavedParamState());
  auto setByPorts = Make(true);
  ASSERT_TRUE(setByPorts->Get());
  const std::vector<float> a = restored->Render(signal, 256);
  EXPECT_EQ(setByPorts->Render(signal, 256), a);
  EXPECT_EQ(saved, restored->SavedParamState());

  // A port the host moves afterwards takes over that one parameter only.
  restored->Control("input_1") = -2.5f;
  restored->Run(0);
  EXPECT_EQ(Doubles({0.75, 0.25, 0.625, -2.5, -4.25, 0.0}), restored->SavedParamState());
}

TEST_F(LV2State, ASessionSavedThroughLilvReloadsToTheSameSound) {
  auto original = Make(true);
  ASSERT_TRUE(original->Get());
  original->Render(signal, 300);
  const std::string session = original->SaveSession();
  ASSERT_NE(std::string::npos, session.find("parameterState")) << session;

  auto reloaded = Make(false);
  ASSERT_TRUE(reloaded->Get());
  ASSERT_TRUE(reloaded->LoadSession(session));
  EXPECT_EQ(original->SavedParamState(), reloaded->SavedParamState());
  for (const auto& s : kSetting)
    EXPECT_EQ(s.second, reloaded->Control(s.first)) << s.first;
  auto fresh = Make(true);
  ASSERT_TRUE(fresh->Get());
  EXPECT_EQ(fresh->Render(signal, 300), reloaded->Render(signal, 300));
  EXPECT_EQ(original->SavedParamState(), reloaded->SavedParamState());
}

TEST_F(LV2State, WrongStatesAreRefusedAndChangeNothing) {
  auto instance = Make(true);
  ASSERT_TRUE(instance->Get());
  instance->Run(0);
  const std::vector<uint8_t> before = instance->SavedParamState();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();

  EXPECT_EQ(LV2_STATE_ERR_NO_PROPERTY, instance->Restore({}));
  LV2StateValue otherKey = Property(Doubles({0, 0, 0, 0, 0, 0}));
  otherKey.key = world.Map("urn:tolven:test#somethingElse");
  EXPECT_EQ(LV2_STATE_ERR_NO_PROPERTY, instance->Restore({otherKey}));
  LV2StateValue wrongType = Property(Doubles({0, 0, 0, 0, 0, 0}));
  wrongType.type = world.Map(LV2_ATOM__String);
  EXPECT_EQ(LV2_STATE_ERR_BAD_TYPE, instance->Restore({wrongType}));

  const std::vector<std::vector<uint8_t>> badBlobs = {
      {},
      Doubles({0.1, 0.2, 0.3, 1.0, 2.0}),           // one value short (40 bytes)
      Doubles({0.1, 0.2, 0.3, 1.0, 2.0, 0.0, 7.0}), // one too many (56 bytes)
      std::vector<uint8_t>(47, 0),
      Doubles({0.1, nan, 0.3, 1.0, 2.0, 0.0}),
      Doubles({0.1, 0.2, 0.3, inf, 2.0, 0.0}),
      Doubles({0.1, 0.2, 0.3, 1.0, 2.0, -inf}),
  };
  for (std::size_t i = 0; i < badBlobs.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_NE(LV2_STATE_SUCCESS, instance->Restore({Property(badBlobs[i])}));
    EXPECT_EQ(before, instance->SavedParamState());
  }
  // Values outside a range are limited to it, as every format loads them.
  ASSERT_EQ(LV2_STATE_SUCCESS,
            instance->Restore({Property(Doubles({-3.0, 2.0, 0.5, 99.0, -99.0, 5.0}))}));
  EXPECT_EQ(Doubles({0.0, 1.0, 0.5, 24.0, -24.0, 1.0}), instance->SavedParamState());
}

} // namespace
