// Both modules driven from two host threads at once, as hosts do: an audio
// thread processing while a UI thread automates parameters, saves and loads
// state, recalls presets and reads texts. Built with ThreadSanitizer (the
// linux-tsan preset) any unsynchronised access fails the test; in the other
// builds the checks on the results still hold. The editor window joins the
// UI thread's work in ConcurrencyEditorX11Test.cpp.
#include "ConcurrentRun.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"
#include "Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

using namespace concurrency;

Vst2Module& Vst2() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

TEST(Concurrency, Vst2ProcessingWhileTheUiAutomatesSavesAndLoads) {
  ASSERT_TRUE(Vst2().IsLoaded()) << Vst2().Error();
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(Vst2().EntryPoint()));
  ASSERT_TRUE(fx.IsValid());
  fx.Start(48000.0f, kBlock);
  const std::vector<unsigned char> program = fx.GetChunk(true);
  const std::vector<unsigned char> bank = fx.GetChunk(false);
  ASSERT_FALSE(program.empty());
  ASSERT_FALSE(bank.empty());

  Buffers io;
  std::atomic<bool> finite{true};
  std::mt19937 rng(7);
  std::uniform_real_distribution<float> unit(-0.2f, 1.2f);
  const int blocks = RunConcurrently(
      [&](int n) {
        if (n % 2)
          fx.ProcessDouble(io.inPtr64.data(), io.outPtr64.data(), kBlock);
        else
          fx.ProcessFloat(io.inPtr.data(), io.outPtr.data(), kBlock);
        if (!io.OutputFinite()) finite.store(false);
      },
      [&](int r) {
        for (int i = 0; i < fx.NumParams(); ++i) {
          fx.SetParameter(i, unit(rng));
          EXPECT_GE(fx.GetParameter(i), 0.0f);
          EXPECT_FALSE(fx.ParamDisplay(i).empty());
          fx.ParamName(i);
          fx.ParamLabel(i);
        }
        fx.SetParamFromText(3, "-6.5");
        EXPECT_FALSE(fx.GetChunk(r % 2 == 0).empty());
        EXPECT_TRUE(fx.SetChunk(true, program));
        EXPECT_TRUE(fx.SetChunk(false, bank));
        fx.Dispatch(effSetProgram, 0, r % 3);
        fx.ProgramName();
        fx.Dispatch(effGetProgram);
      });
  EXPECT_GE(blocks, kMinBlocks);
  EXPECT_TRUE(finite.load());
  fx.Suspend();
  fx.Close();
}

TEST(Concurrency, Vst3ProcessingWhileTheControllerAutomatesSavesAndLoads) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(kChannels, 48000.0, kBlock));
  IEditController* controller = p.Controller();
  Held<IUnitInfo> units(Query<IUnitInfo>(p.Component()));
  ASSERT_TRUE(units);
  std::vector<std::uint8_t> state;
  ASSERT_TRUE(p.instance.GetState(state));
  const int params = 6;

  Buffers io;
  Vst3ParameterChanges changes;
  std::atomic<bool> finite{true};
  const int blocks = RunConcurrently(
      [&](int n) {
        // Automation of every parameter, the bypass and the preset in turn.
        changes.Clear();
        changes.AddPoint(static_cast<ParamID>(n % params), 0, (n % 11) / 10.0);
        changes.AddPoint(kBypassId, 0, n % 3 == 0 ? 1.0 : 0.0);
        if (n % 13 == 0) changes.AddPoint(kPresetId, 0, 0.0);
        EXPECT_EQ(kResultOk,
                  p.instance.Process(io.inPtr.data(), io.outPtr.data(), kBlock, &changes));
        if (!io.OutputFinite()) finite.store(false);
      },
      [&](int r) {
        // The controller asks for the bypass while processing sets it.
        for (int k = 0; k < 50; ++k) {
          const ParamValue bypass = controller->getParamNormalized(kBypassId);
          EXPECT_TRUE(bypass == 0.0 || bypass == 1.0) << bypass;
        }
        String128 text;
        for (int i = 0; i < params; ++i) {
          const ParamID id = static_cast<ParamID>(i);
          controller->setParamNormalized(id, (r % 5) / 4.0);
          const ParamValue v = controller->getParamNormalized(id);
          EXPECT_TRUE(v >= 0.0 && v <= 1.0) << v;
          EXPECT_EQ(kResultOk, controller->getParamStringByValue(id, v, text));
          ParameterInfo info;
          controller->getParameterInfo(i, info);
        }
        units->getProgramName(kPresetId, r % 4, text);
        std::vector<std::uint8_t> saved;
        EXPECT_TRUE(p.instance.GetState(saved));
        EXPECT_EQ(saved.size(), static_cast<size_t>(kStateSize));
        EXPECT_TRUE(p.instance.SetState(r % 2 ? state : saved));
        EXPECT_FALSE(ControllerState(controller).empty());
        EXPECT_EQ(kResultOk, SetControllerState(controller, state));
      });
  EXPECT_GE(blocks, kMinBlocks);
  EXPECT_TRUE(finite.load());
  p.instance.Stop();
}

} // namespace
