// The VST2 editor open in an X11 host window while the audio thread
// processes: the UI thread opens, idles (ticks that paint the meter the audio
// thread writes), automates and closes the editor, as a Linux host does.
// Under ThreadSanitizer (the linux-tsan preset) any unsynchronised access
// between the editor and the processing fails the test.
#include "ConcurrentRun.h"
#include "Vst2Instance.h"
#include "Vst2Module.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool, ...) would clash with it.
#include "X11TestHost.h"

#include <cstdint>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

using namespace concurrency;
using namespace x11test;

TEST(Concurrency, Vst2EditorOpenWhileProcessing) {
  XHost x;
  REQUIRE_DISPLAY(x);
  Vst2Module module(TOLVEN_VST2_MODULE);
  ASSERT_TRUE(module.IsLoaded()) << module.Error();
  Vst2RecordingHost host;
  Vst2Instance fx(host.Instantiate(module.EntryPoint()));
  ASSERT_TRUE(fx.IsValid());
  fx.Start(48000.0f, kBlock);
  void* parent = reinterpret_cast<void*>(static_cast<uintptr_t>(x.top));

  Buffers io;
  std::atomic<bool> finite{true};
  int opened = 0;
  const int blocks = RunConcurrently(
      [&](int) {
        fx.ProcessFloat(io.inPtr.data(), io.outPtr.data(), kBlock);
        if (!io.OutputFinite()) finite.store(false);
      },
      [&](int r) {
        if (r % 20 == 0) opened += fx.Dispatch(effEditOpen, 0, 0, parent) == 1;
        fx.SetParameter(r % 5, (r % 7) / 6.0f);
        IdleFor([&] { fx.Dispatch(effEditIdle); }, 10);
        if (r % 20 == 19) fx.Dispatch(effEditClose);
      });
  EXPECT_GE(blocks, kMinBlocks);
  EXPECT_EQ(opened, kUiRounds / 20);
  EXPECT_TRUE(finite.load());
  EXPECT_TRUE(x.Children().empty()); // every open was closed
  EXPECT_EQ(gForeignErrors.load(), 0);
  fx.Suspend();
  fx.Close();
}

} // namespace
