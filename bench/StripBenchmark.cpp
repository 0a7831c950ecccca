// Throughput of the channel strip: ProcessBlock on stereo audio at 48 kHz in
// the bench scenarios (settled, moving, subnormal-prone bands, silence after
// loud audio, very quiet input), the host-facing float path, and 100
// instances taking one block each in turn. Reports ns per frame, the
// real-time factor (seconds of audio per second of CPU time) and, for the
// instances, the share of one core they need.
#include "BenchScenario.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>
#include <memory>
#include <vector>

namespace {

constexpr double kRate = BenchScenario::kRate;
using Clock = std::chrono::steady_clock;

// CPU time this thread has used: on a shared machine the wall clock also
// counts the time other programs had the core.
double ThreadSeconds() {
  timespec t;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Figures of the timed loop, as plain numbers: by the wall clock and by the
// thread's CPU time (the real-time factor from the latter).
void Report(benchmark::State& state, double frames, Clock::duration elapsed, double cpuSeconds) {
  const double seconds = std::chrono::duration<double>(elapsed).count();
  state.counters["ns_per_frame"] = seconds * 1e9 / frames;
  state.counters["cpu_ns_per_frame"] = cpuSeconds * 1e9 / frames;
  state.counters["realtime_x"] = (frames / kRate) / cpuSeconds;
}

void RunScenario(benchmark::State& state, Scenario scenario) {
  const int block = static_cast<int>(state.range(0));
  BenchScenario bench(scenario, block);
  const double cpuStart = ThreadSeconds();
  const auto start = Clock::now();
  for (auto _ : state) {
    bench.RunBlock();
    benchmark::DoNotOptimize(bench.Output());
    benchmark::ClobberMemory();
  }
  Report(state, static_cast<double>(state.iterations()) * block, Clock::now() - start,
         ThreadSeconds() - cpuStart);
}

void BM_Settled(benchmark::State& state) {
  RunScenario(state, Scenario::kSettled);
}
BENCHMARK(BM_Settled)->Arg(64)->Arg(512)->Arg(4096)->UseRealTime();

void BM_Moving(benchmark::State& state) {
  RunScenario(state, Scenario::kMoving);
}
BENCHMARK(BM_Moving)->Arg(512)->UseRealTime();

// Fixed at 375 blocks (4 s of audio): the span the smoothers need to creep
// through the subnormal range before they freeze.
void BM_SubnormalBands(benchmark::State& state) {
  RunScenario(state, Scenario::kSubnormalBands);
}
BENCHMARK(BM_SubnormalBands)->Arg(512)->Iterations(375)->UseRealTime();

void BM_SilenceAfterLoud(benchmark::State& state) {
  RunScenario(state, Scenario::kSilenceAfterLoud);
}
BENCHMARK(BM_SilenceAfterLoud)->Arg(512)->UseRealTime();

void BM_Quiet(benchmark::State& state) {
  RunScenario(state, Scenario::kQuiet);
}
BENCHMARK(BM_Quiet)->Arg(512)->UseRealTime();

// The host-facing path: lock, pins, 32-bit float buffers.
void BM_HostFloatCall(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  IPlugInstanceInfo info;
  info.hostName = "tolven-bench";
  TOLVEN strip(info);
  strip.Prepare(kRate, block);
  std::vector<float> left(block);
  std::vector<float> right(block);
  unsigned x = 3;
  for (int n = 0; n < block; ++n) {
    x = x * 1664525u + 1013904223u;
    left[n] = static_cast<float>(0.25 * (static_cast<double>(x >> 8) / 8388608.0 - 1.0));
    right[n] = -left[n];
  }
  std::vector<float> outLeft(block);
  std::vector<float> outRight(block);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  // Settle the smoothers first (6 s), so that this is the settled figure.
  for (long done = 0; done < 6 * 48000; done += block)
    strip.Process(in, out, block);
  const double cpuStart = ThreadSeconds();
  const auto start = Clock::now();
  for (auto _ : state) {
    strip.Process(in, out, block);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
  }
  Report(state, static_cast<double>(state.iterations()) * block, Clock::now() - start,
         ThreadSeconds() - cpuStart);
}
BENCHMARK(BM_HostFloatCall)->Arg(512)->UseRealTime();

// A session: 100 settled instances, one block of 512 each in turn, so every
// instance starts from a cold cache as it would in a host. share_of_core is
// the part of one core the session needs to keep up with real time.
void BM_HundredInstances(benchmark::State& state) {
  constexpr int kInstances = 100;
  constexpr int kBlock = 512;
  std::vector<std::unique_ptr<BenchScenario>> strips;
  for (int i = 0; i < kInstances; ++i)
    strips.push_back(std::make_unique<BenchScenario>(Scenario::kSettled, kBlock));
  const double cpuStart = ThreadSeconds();
  const auto start = Clock::now();
  for (auto _ : state) {
    for (auto& s : strips) {
      s->RunBlock();
      benchmark::DoNotOptimize(s->Output());
    }
    benchmark::ClobberMemory();
  }
  const auto elapsed = Clock::now() - start;
  const double cpuSeconds = ThreadSeconds() - cpuStart;
  const double rounds = static_cast<double>(state.iterations());
  Report(state, rounds * kBlock * kInstances, elapsed, cpuSeconds);
  state.counters["share_of_core"] = cpuSeconds / (rounds * kBlock / kRate);
}
BENCHMARK(BM_HundredInstances)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
