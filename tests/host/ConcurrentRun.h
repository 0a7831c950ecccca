#pragma once

// An audio thread and a UI thread driving one instance at once, for the
// concurrency tests (run under ThreadSanitizer by the linux-tsan preset).

#include "Vst3TestSupport.h"

#include <atomic>
#include <cmath>
#include <functional>
#include <thread>
#include <vector>

namespace concurrency {

using namespace vst3test;

constexpr int kChannels = 2;
constexpr int kBlock = 64;
constexpr int kUiRounds = 120;
// The audio thread keeps going until the UI thread is done, and at least this
// long, so that the two really overlap.
constexpr int kMinBlocks = 200;

// Runs block(n) on an audio thread and round(r) for kUiRounds rounds on a UI
// thread, concurrently; returns the number of blocks processed.
inline int RunConcurrently(const std::function<void(int)>& block, const std::function<void(int)>& round) {
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

} // namespace concurrency
