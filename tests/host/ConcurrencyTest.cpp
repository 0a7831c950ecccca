// Both modules driven from two host threads at once, as hosts do: an audio
// thread processing while a UI thread automates parameters, saves and loads
// state, recalls presets and reads texts. Built with ThreadSanitizer (the
// linux-tsan preset) any unsynchronised access fails the test; in the other
// builds the checks on the results still hold. Opening and closing the
// editor joins the UI thread's work once the editor windows exist.
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

using namespace vst3test;

constexpr int kChannels = 2;
constexpr int kBlock = 64;
constexpr int kUiRounds = 120;
// The audio thread keeps going until the UI thread is done, and at least this
// long, so that the two really overlap.
constexpr int kMinBlocks = 200;

// Runs block(n) on an audio thread and round(r) for kUiRounds rounds on a UI
// thread, concurrently; returns the number of blocks processed.
int RunConcurrently(const std::function<void(int)>& block, const std::function<void(int)>& round) {
  std::atomic<bool> uiDone{false};
  std::atomic<bool> audioStarted{false};
  int blocks = 0;
  std::thread audio([&] {
    for (; blocks < kMinBlocks || !uiDone.load(); ++blocks) {
      block(blocks);
      audioStarted.store(true);
    }
  });
  while (!audioStarted.load())
    std::this_thread::yield();
  for (int r = 0; r < kUiRounds; ++r)
    round(r);
  uiDone.store(true);
  audio.join();
  return blocks;
}

// A stereo block of a tone, the same every call.
struct Buffers {
  std::vector<std::vector<float>> in = TestSignal(kChannels, kBlock);
  std::vector<std::vector<float>> out =
      std::vector<std::vector<float>>(kChannels, std::vector<float>(kBlock));
  std::vector<std::vector<double>> in64 = ToDouble(in);
  std::vector<std::vector<double>> out64 = ToDouble(out);
  std::vector<float*> inPtr = Pointers(in), outPtr = Pointers(out);
  std::vector<double*> inPtr64 = Pointers(in64), outPtr64 = Pointers(out64);

  bool OutputFinite() const {
    for (int c = 0; c < kChannels; ++c)
      for (int i = 0; i < kBlock; ++i)
        if (!std::isfinite(out[c][i]) || !std::isfinite(out64[c][i])) return false;
    return true;
  }
};

Vst2Module& Vst2() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

TEST(Concurrency, Vst2ProcessingWhileTheUiAutomatesSavesAndLoads) {
  ASSERT_TRUE(Vst2().IsLoaded()) << Vst2().Error();
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(Vst2().EntryPoint()));
  ASSERT_TRUE(fx.IsValid());
  fx.Open();
  fx.SetSampleRate(48000.0f);
  fx.SetBlockSize(kBlock);
  fx.Resume();
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
