#pragma once

#include <atomic>

// A plain value that one thread may write while another reads it, with no
// ordering between them: values the host's threads share outside the
// instance lock (the bypass flag, the sample rate, the host identity), and
// the editor's control values and dirty flags, written by the host's
// parameter thread and the audio thread (the VU meter) and read by the UI
// thread on its next timer tick. A stale read only delays a repaint or a
// controller's answer; a torn one is impossible. Plain loads and stores are
// relaxed; the dirty flags add a release store and an exchange so that a
// value written while the UI thread draws is never left unpainted. The type
// must be lock-free, so the audio thread never waits and never allocates.
template <typename T> class RelaxedAtomic {
public:
  static_assert(std::atomic<T>::is_always_lock_free, "must be lock-free for the audio thread");

  constexpr RelaxedAtomic(T value = T()) : mValue(value) {}
  RelaxedAtomic(const RelaxedAtomic&) = delete;
  RelaxedAtomic& operator=(const RelaxedAtomic&) = delete;

  operator T() const { return mValue.load(std::memory_order_relaxed); }
  RelaxedAtomic& operator=(T value) {
    mValue.store(value, std::memory_order_relaxed);
    return *this;
  }
  T Load() const { return mValue.load(std::memory_order_relaxed); }
  // A store that publishes the writer's earlier stores to a reader that
  // exchanges this value.
  void StoreRelease(T value) { mValue.store(value, std::memory_order_release); }
  // Reads the latest value and replaces it in one step.
  T Exchange(T value) { return mValue.exchange(value, std::memory_order_acq_rel); }

private:
  std::atomic<T> mValue;
};
