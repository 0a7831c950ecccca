// What the modules do on the audio thread, seen from the host: this program
// interposes the allocator (malloc and friends, operator new and delete) and
// the pthread lock calls for every module it loads, and counts what a
// processing call asks for. A processing call may take the instance lock and
// nothing else: no allocation, no release, no other lock, whatever the host
// does between and inside the calls.
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"
#include "Vst3TestSupport.h"

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <pthread.h>

#include <atomic>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>
#include <vector>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

extern "C" {
void* __libc_malloc(size_t size);
void* __libc_calloc(size_t count, size_t size);
void* __libc_realloc(void* p, size_t size);
void* __libc_memalign(size_t alignment, size_t size);
void __libc_free(void* p);
}

namespace {

// Only the watched thread, between Watch() and Unwatch(), is counted.
thread_local bool tWatching = false;
std::atomic<int> gAllocations{0};
std::atomic<int> gReleases{0};
constexpr int kMaxLocks = 8;
std::atomic<const void*> gLocks[kMaxLocks];
std::atomic<int> gLockCount{0};

void CountAllocation() {
  if (tWatching) gAllocations.fetch_add(1);
}

void CountRelease(void* p) {
  if (tWatching && p) gReleases.fetch_add(1);
}

void CountLock(const volatile void* address) {
  if (!tWatching) return;
  const void* lock = const_cast<const void*>(address);
  const int n = gLockCount.load();
  for (int i = 0; i < n && i < kMaxLocks; ++i)
    if (gLocks[i].load() == lock) return;
  if (n < kMaxLocks) gLocks[n].store(lock);
  gLockCount.store(n + 1);
}

// The next definition of a function, looked up on first use: the lock calls
// may come before any static initialiser of this program has run.
template <typename F> F Real(std::atomic<F>& cache, const char* name) {
  F f = cache.load(std::memory_order_relaxed);
  if (!f) {
    f = reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
    cache.store(f, std::memory_order_relaxed);
  }
  return f;
}

} // namespace

#define TOLVEN_INTERPOSE extern "C" __attribute__((visibility("default")))

TOLVEN_INTERPOSE void* malloc(size_t size) {
  CountAllocation();
  return __libc_malloc(size);
}
TOLVEN_INTERPOSE void* calloc(size_t count, size_t size) {
  CountAllocation();
  return __libc_calloc(count, size);
}
TOLVEN_INTERPOSE void* realloc(void* p, size_t size) {
  CountAllocation();
  return __libc_realloc(p, size);
}
TOLVEN_INTERPOSE void* aligned_alloc(size_t alignment, size_t size) {
  CountAllocation();
  return __libc_memalign(alignment, size);
}
TOLVEN_INTERPOSE int posix_memalign(void** out, size_t alignment, size_t size) {
  CountAllocation();
  *out = __libc_memalign(alignment, size);
  return *out ? 0 : ENOMEM;
}
TOLVEN_INTERPOSE void free(void* p) {
  CountRelease(p);
  __libc_free(p);
}
// A lock call: counted, then passed on to the next definition. The cache is
// constant-initialised, so no guard (itself a lock) protects it.
#define TOLVEN_INTERPOSE_LOCK(function, Lock)                                                      \
  TOLVEN_INTERPOSE int function(Lock* lock) {                                                      \
    static std::atomic<int (*)(Lock*)> real{nullptr};                                              \
    CountLock(lock);                                                                               \
    return Real(real, #function)(lock);                                                            \
  }

TOLVEN_INTERPOSE_LOCK(pthread_mutex_lock, pthread_mutex_t)
TOLVEN_INTERPOSE_LOCK(pthread_mutex_trylock, pthread_mutex_t)
TOLVEN_INTERPOSE_LOCK(pthread_rwlock_rdlock, pthread_rwlock_t)
TOLVEN_INTERPOSE_LOCK(pthread_rwlock_wrlock, pthread_rwlock_t)
TOLVEN_INTERPOSE_LOCK(pthread_spin_lock, pthread_spinlock_t)

// operator new and delete go to the counting malloc and free.
__attribute__((visibility("default"))) void* operator new(size_t size) {
  void* p = malloc(size ? size : 1);
  if (!p) throw std::bad_alloc();
  return p;
}
__attribute__((visibility("default"))) void* operator new[](size_t size) {
  return operator new(size);
}
__attribute__((visibility("default"))) void* operator new(size_t size,
                                                          const std::nothrow_t&) noexcept {
  return malloc(size ? size : 1);
}
__attribute__((visibility("default"))) void* operator new[](size_t size,
                                                            const std::nothrow_t&) noexcept {
  return malloc(size ? size : 1);
}
__attribute__((visibility("default"))) void operator delete(void* p) noexcept {
  free(p);
}
__attribute__((visibility("default"))) void operator delete[](void* p) noexcept {
  free(p);
}
__attribute__((visibility("default"))) void operator delete(void* p, size_t) noexcept {
  free(p);
}
__attribute__((visibility("default"))) void operator delete[](void* p, size_t) noexcept {
  free(p);
}

namespace {

using namespace vst3test;

// What one watched stretch of calls asked for.
struct Usage {
  int allocations = 0;
  int releases = 0;
  std::vector<const void*> locks;
};

Usage Watch(const std::function<void()>& calls) {
  gAllocations.store(0);
  gReleases.store(0);
  gLockCount.store(0);
  tWatching = true;
  calls();
  tWatching = false;
  Usage usage;
  usage.allocations = gAllocations.load();
  usage.releases = gReleases.load();
  for (int i = 0; i < gLockCount.load() && i < kMaxLocks; ++i)
    usage.locks.push_back(gLocks[i].load());
  if (gLockCount.load() > kMaxLocks) usage.locks.push_back(nullptr); // more than recorded
  return usage;
}

// The processing calls allocated and released nothing, and took no lock but
// instanceLock (which a parameter query is seen to take).
void ExpectRealTimeSafe(const Usage& usage, const void* instanceLock, const char* what) {
  EXPECT_EQ(usage.allocations, 0) << what;
  EXPECT_EQ(usage.releases, 0) << what;
  for (const void* lock : usage.locks)
    EXPECT_EQ(lock, instanceLock) << what << ": a lock other than the instance lock";
}

// The one lock a call that must take the instance lock takes.
const void* LockTakenBy(const std::function<void()>& call) {
  const Usage usage = Watch(call);
  EXPECT_EQ(usage.locks.size(), 1u);
  return usage.locks.empty() ? nullptr : usage.locks.front();
}

constexpr int kAnnounced = 256;

TEST(AudioThread, InterposersSeeTheModulesCalls) {
  // The check itself: a call that allocates and locks is seen.
  std::vector<int>* grown = nullptr;
  pthread_mutex_t m = PTHREAD_MUTEX_INITIALIZER;
  const Usage usage = Watch([&] {
    grown = new std::vector<int>(100);
    pthread_mutex_lock(&m);
    pthread_mutex_unlock(&m);
  });
  delete grown;
  EXPECT_EQ(usage.allocations, 2);
  EXPECT_EQ(usage.locks, std::vector<const void*>{&m});
}

TEST(AudioThread, Vst2ProcessingAllocatesNothingAndTakesOnlyTheInstanceLock) {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(module.EntryPoint()));
  ASSERT_TRUE(fx.IsValid());
  fx.Start(48000.0f, kAnnounced);
  const void* instanceLock = LockTakenBy([&] { fx.GetParameter(0); });
  ASSERT_NE(instanceLock, nullptr);
  // Saving a chunk allocates inside the module, and is seen.
  void* chunk = nullptr;
  EXPECT_GT(Watch([&] { fx.Dispatch(effGetChunk, 1, 0, &chunk); }).allocations, 0);

  const int longest = 4 * kAnnounced + 17; // more than announced
  std::vector<std::vector<float>> in = TestSignal(2, longest);
  std::vector<std::vector<float>> out(2, std::vector<float>(longest));
  std::vector<std::vector<double>> in64 = ToDouble(in), out64 = ToDouble(out);
  std::vector<float*> inPtr = Pointers(in), outPtr = Pointers(out);
  std::vector<double*> inPtr64 = Pointers(in64), outPtr64 = Pointers(out64);
  auto processAll = [&](int frames) {
    fx.ProcessFloat(inPtr.data(), outPtr.data(), frames);
    fx.ProcessAccumulate(inPtr.data(), outPtr.data(), frames);
    fx.ProcessDouble(inPtr64.data(), outPtr64.data(), frames);
  };

  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 20; ++n)
                         processAll(kAnnounced);
                     }),
                     instanceLock, "steady parameters");
  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 40; ++n) {
                         for (int i = 0; i < fx.NumParams(); ++i)
                           fx.SetParameter(i, static_cast<float>((n + i) % 9) / 8.0f);
                         processAll(kAnnounced);
                       }
                     }),
                     instanceLock, "parameter changes every call (bypass among them)");
  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 10; ++n) {
                         fx.Dispatch(effSetProgram, 0, n % 2);
                         processAll(kAnnounced);
                       }
                     }),
                     instanceLock, "preset changes");
  ExpectRealTimeSafe(Watch([&] {
                       processAll(longest);
                       processAll(kAnnounced + 1);
                       processAll(0);
                     }),
                     instanceLock, "blocks larger than announced");
  fx.Suspend();
  fx.Close();
}

TEST(AudioThread, Vst3ProcessingAllocatesNothingAndTakesOnlyTheInstanceLock) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000.0, kAnnounced));
  const void* instanceLock = LockTakenBy([&] { p.Controller()->getParamNormalized(0); });
  ASSERT_NE(instanceLock, nullptr);
  // Loading a state allocates inside the module, and is seen.
  std::vector<std::uint8_t> state;
  ASSERT_TRUE(p.instance.GetState(state));
  TestStream stream(state);
  EXPECT_GT(Watch([&] { p.Component()->setState(&stream); }).allocations, 0);

  const int longest = 4 * kAnnounced + 17;
  std::vector<std::vector<float>> in = TestSignal(2, longest);
  std::vector<std::vector<float>> out(2, std::vector<float>(longest));
  std::vector<float*> inPtr = Pointers(in), outPtr = Pointers(out);
  // Every kind of change a host queues, filled before the calls are watched.
  const int kinds = 4;
  std::vector<Vst3ParameterChanges> changes(kinds);
  for (int i = 0; i < 6; ++i) {
    changes[0].AddPoint(static_cast<ParamID>(i), 0, 0.25);
    changes[0].AddPoint(static_cast<ParamID>(i), kAnnounced / 2, 0.75);
  }
  changes[1].AddPoint(kBypassId, 0, 1.0);
  changes[2].AddPoint(kBypassId, 0, 0.0);
  changes[3].AddPoint(kPresetId, 0, 0.5);
  auto process = [&](int frames, IParameterChanges* queue) {
    EXPECT_EQ(kResultOk, p.instance.Process(inPtr.data(), outPtr.data(), frames, queue));
  };

  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 20; ++n)
                         process(kAnnounced, nullptr);
                     }),
                     instanceLock, "steady parameters");
  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 20; ++n)
                         process(kAnnounced, &changes[0]);
                     }),
                     instanceLock, "parameter changes every call");
  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 10; ++n)
                         process(kAnnounced, &changes[1 + n % 2]);
                     }),
                     instanceLock, "bypass toggles");
  ExpectRealTimeSafe(Watch([&] {
                       for (int n = 0; n < 10; ++n)
                         process(kAnnounced, &changes[3]);
                     }),
                     instanceLock, "preset changes");
  ExpectRealTimeSafe(Watch([&] {
                       process(longest, &changes[0]);
                       process(kAnnounced + 1, nullptr);
                       process(0, nullptr);
                     }),
                     instanceLock, "blocks larger than announced");
  p.instance.Stop();
}

} // namespace
