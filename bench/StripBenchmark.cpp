// Throughput of the channel strip: ProcessBlock on stereo audio at 48 kHz with
// the default parameters and settled smoothers, in blocks of 64, 512 and 4096
// frames. Reports ns per frame and the real-time factor (seconds of audio
// processed per second).
#include "TOLVEN.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <vector>

namespace {

constexpr double kRate = 48000.0;

std::vector<double> Noise(size_t frames, unsigned seed) {
  std::vector<double> s(frames);
  unsigned x = seed;
  for (double& v : s) {
    x = x * 1664525u + 1013904223u;
    v = 0.25 * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
  }
  return s;
}

std::unique_ptr<TOLVEN> SettledStrip(int block) {
  IPlugInstanceInfo info;
  info.hostName = "tolven-bench";
  auto strip = std::make_unique<TOLVEN>(info);
  strip->Prepare(kRate, block);
  // Ten seconds of silence: every smoother within 1e-27 of its target.
  std::vector<double> silence(block, 0.0);
  std::vector<double> out(block);
  double* in[2] = {silence.data(), silence.data()};
  double* o[2] = {out.data(), out.data()};
  for (int done = 0; done < 10 * 48000; done += block)
    strip->ProcessBlock(in, o, block);
  return strip;
}

using Clock = std::chrono::steady_clock;

// Wall-clock figures of the timed loop, as plain numbers.
void Report(benchmark::State& state, int block, Clock::duration elapsed) {
  const double frames = static_cast<double>(state.iterations()) * block;
  const double seconds = std::chrono::duration<double>(elapsed).count();
  state.counters["ns_per_frame"] = seconds * 1e9 / frames;
  state.counters["realtime_x"] = (frames / kRate) / seconds;
}

void BM_ProcessBlock(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  auto strip = SettledStrip(block);
  std::vector<double> left = Noise(block, 1);
  std::vector<double> right = Noise(block, 2);
  std::vector<double> outLeft(block);
  std::vector<double> outRight(block);
  double* in[2] = {left.data(), right.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  const auto start = Clock::now();
  for (auto _ : state) {
    strip->ProcessBlock(in, out, block);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
  }
  Report(state, block, Clock::now() - start);
}
BENCHMARK(BM_ProcessBlock)->Arg(64)->Arg(512)->Arg(4096)->UseRealTime();

// The same through the host-facing path: lock, pins, 32-bit float buffers.
void BM_HostFloatCall(benchmark::State& state) {
  const int block = static_cast<int>(state.range(0));
  auto strip = SettledStrip(block);
  std::vector<double> l = Noise(block, 3);
  std::vector<float> left(l.begin(), l.end());
  std::vector<float> right(left.rbegin(), left.rend());
  std::vector<float> outLeft(block);
  std::vector<float> outRight(block);
  const float* in[2] = {left.data(), right.data()};
  float* out[2] = {outLeft.data(), outRight.data()};
  const auto start = Clock::now();
  for (auto _ : state) {
    strip->Process(in, out, block);
    benchmark::DoNotOptimize(outLeft.data());
    benchmark::ClobberMemory();
  }
  Report(state, block, Clock::now() - start);
}
BENCHMARK(BM_HostFloatCall)->Arg(64)->Arg(512)->Arg(4096)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
