// The bundle's UI as a Linux host runs it: found with lilv, its binary
// loaded with dlopen, instantiated into a top-level window of this program
// with the URI map, the parent, ui:resize and ui:touch, driven by its idle
// call, fed port events, and moved with XTest as a user would. No DSP
// instance exists here: the UI stands on its own. Runs under Xvfb; without a
// display the window cases are skipped.
#include "LV2TestInstance.h"
#include "LV2TestWorld.h"

#include <gtest/gtest.h>

#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

// After GoogleTest: Xlib's macros would clash with it.
#include "X11TestHost.h"

#include <dlfcn.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

using namespace lv2test;
using namespace x11test;

constexpr uint32_t kHighGainPort = 0;
constexpr uint32_t kInputPort = 3;
constexpr uint32_t kBypassPort = 5;
constexpr uint32_t kMeterPort = 11;
// A point inside the input knob (104 x 102 at 16, 479).
constexpr int kInputKnobX = 68, kInputKnobY = 530;

// What the UI told the host, in order.
struct HostCall {
  enum Kind { kWrite, kTouchBegin, kTouchEnd, kResize } kind;
  uint32_t port = 0;
  float value = 0.0f;
  int width = 0, height = 0;
};

// The host side of one UI instance: the library found through lilv, the
// features, and the record of every write, touch and resize.
class UiHost {
public:
  UiHost() {
    LilvUIs* uis = lilv_plugin_get_uis(world.Plugin());
    if (uis && lilv_uis_size(uis) == 1) {
      const LilvUI* ui = lilv_uis_get(uis, lilv_uis_begin(uis));
      uiUri = lilv_node_as_uri(lilv_ui_get_uri(ui));
      char* path = lilv_file_uri_parse(lilv_node_as_uri(lilv_ui_get_binary_uri(ui)), nullptr);
      mLibrary = path ? dlopen(path, RTLD_NOW | RTLD_LOCAL) : nullptr;
      lilv_free(path);
    }
    lilv_uis_free(uis);
    if (mLibrary) {
      using Entry = const LV2UI_Descriptor* (*)(uint32_t);
      auto entry = reinterpret_cast<Entry>(dlsym(mLibrary, "lv2ui_descriptor"));
      descriptor = entry ? entry(0) : nullptr;
    }
    mResize.handle = this;
    mResize.ui_resize = [](LV2UI_Feature_Handle h, int width, int height) {
      static_cast<UiHost*>(h)->calls.push_back({HostCall::kResize, 0, 0.0f, width, height});
      return 0;
    };
    mTouch.handle = this;
    mTouch.touch = [](LV2UI_Feature_Handle h, uint32_t port, bool grabbed) {
      static_cast<UiHost*>(h)->calls.push_back(
          {grabbed ? HostCall::kTouchBegin : HostCall::kTouchEnd, port});
    };
  }
  ~UiHost() {
    Cleanup();
    if (mLibrary) dlclose(mLibrary);
  }

  // Instantiates with urid:map, ui:parent (unless 0), ui:resize and ui:touch;
  // dropping the map leaves it out.
  bool Instantiate(::Window parent, bool withMap = true, bool withWrite = true) {
    const LV2_Feature map = {LV2_URID__map, world.MapFeatureData()};
    const LV2_Feature parentFeature = {LV2_UI__parent,
                                       reinterpret_cast<void*>(static_cast<uintptr_t>(parent))};
    const LV2_Feature resize = {LV2_UI__resize, &mResize};
    const LV2_Feature touch = {LV2_UI__touch, &mTouch};
    std::vector<const LV2_Feature*> features = {&resize, &touch};
    if (withMap) features.push_back(&map);
    if (parent) features.push_back(&parentFeature);
    features.push_back(nullptr);
    handle = descriptor->instantiate(descriptor, kPluginUri, "", withWrite ? Write : nullptr, this,
                                     &widget, features.data());
    return handle != nullptr;
  }
  void Cleanup() {
    if (handle) descriptor->cleanup(handle);
    handle = nullptr;
  }
  void PortEvent(uint32_t port, float value, uint32_t format = 0, uint32_t size = sizeof(float)) {
    descriptor->port_event(handle, port, size, format, &value);
  }
  int Idle() {
    const auto* idle =
        static_cast<const LV2UI_Idle_Interface*>(descriptor->extension_data(LV2_UI__idleInterface));
    return idle->idle(handle);
  }
  void IdleFor(int ms) {
    x11test::IdleFor([this] { Idle(); }, ms);
  }
  bool Shows(const XHost& x, const std::vector<uint32_t>& picture) {
    return IdleUntil([this] { Idle(); }, [&] { return Mismatches(x.Pixels(), picture) == 0; });
  }

  LV2TestWorld world;
  const LV2UI_Descriptor* descriptor = nullptr;
  LV2UI_Handle handle = nullptr;
  LV2UI_Widget widget = nullptr;
  std::vector<HostCall> calls;
  std::string uiUri;

private:
  static void Write(LV2UI_Controller controller, uint32_t port, uint32_t size, uint32_t format,
                    const void* buffer) {
    auto* host = static_cast<UiHost*>(controller);
    // Anything but one float in the float protocol is recorded as NaN.
    float value = std::numeric_limits<float>::quiet_NaN();
    if (format == 0 && size == sizeof(float)) value = *static_cast<const float*>(buffer);
    host->calls.push_back({HostCall::kWrite, port, value});
  }

  void* mLibrary = nullptr;
  LV2UI_Resize mResize{};
  LV2UI_Touch mTouch{};
};

// The UI in a window of this program; skipped without a display.
class LV2UiWindow : public ::testing::Test {
protected:
  void SetUp() override {
    REQUIRE_DISPLAY(x);
    ASSERT_NE(nullptr, host.descriptor);
  }
  void Idle() { host.Idle(); }

  XHost x;
  UiHost host;
};

TEST(LV2Ui, TheBinaryExportsTheUiLilvAnnounces) {
  UiHost host;
  ASSERT_NE(nullptr, host.descriptor) << "TOLVEN_ui.so not loaded through lilv: " << dlerror();
  EXPECT_EQ(host.uiUri, host.descriptor->URI);
  EXPECT_EQ(std::string(kPluginUri) + "#ui", host.descriptor->URI);
  EXPECT_NE(nullptr, host.descriptor->extension_data(LV2_UI__idleInterface));
  EXPECT_EQ(nullptr, host.descriptor->extension_data("urn:tolven:no-such-interface"));
  EXPECT_EQ(nullptr, host.descriptor->extension_data(nullptr));
}

TEST_F(LV2UiWindow, RefusesWithoutParentUriMapWriteFunctionOrForAnotherPlugin) {
  EXPECT_FALSE(host.Instantiate(0));
  EXPECT_FALSE(host.Instantiate(x.top, false));
  EXPECT_FALSE(host.Instantiate(x.top, true, false));
  EXPECT_FALSE(host.Instantiate(0x7FFFFFF)); // a parent that is no window
  const LV2_Feature* none[] = {nullptr};
  EXPECT_EQ(nullptr, host.descriptor->instantiate(host.descriptor, "urn:another:plugin", "",
                                                  nullptr, nullptr, &host.widget, none));
  EXPECT_TRUE(x.Children().empty());
  EXPECT_TRUE(host.calls.empty());
  EXPECT_EQ(0, gForeignErrors.load());
}

TEST_F(LV2UiWindow, OpensInTheParentAsTheSnapshotDrawsAndFollowsPortEvents) {
  ASSERT_TRUE(host.Instantiate(x.top));
  const ::Window editor = x.Editor();
  ASSERT_NE(0u, editor);
  EXPECT_EQ(editor, reinterpret_cast<uintptr_t>(host.widget));
  ASSERT_EQ(1u, host.calls.size());
  EXPECT_EQ(HostCall::kResize, host.calls[0].kind);
  EXPECT_EQ(kWidth, host.calls[0].width);
  EXPECT_EQ(kHeight, host.calls[0].height);
  host.calls.clear();

  const std::vector<uint32_t> atRest = Reference("--meter 1");
  ASSERT_EQ(static_cast<size_t>(kWidth * kHeight), atRest.size());
  EXPECT_TRUE(host.Shows(x, atRest)) << FirstDifference(x.Pixels(), atRest);
  EXPECT_EQ(0, host.Idle());

  // Real values on the ports: dB for the input gain.
  host.PortEvent(kHighGainPort, 0.75f);
  host.PortEvent(kInputPort, 12.0f);
  host.PortEvent(kBypassPort, 1.0f);
  const std::vector<uint32_t> moved = Reference("--meter 1 --set 0=0.75 --set 3=12 --set 5=1");
  ASSERT_GT(Mismatches(moved, atRest), 0);
  EXPECT_TRUE(host.Shows(x, moved))
      << Mismatches(x.Pixels(), moved) << " pixels differ, " << FirstDifference(x.Pixels(), moved);

  // The meter port moves the needle and nothing else.
  host.PortEvent(kMeterPort, 0.3f);
  const std::vector<uint32_t> metered = Reference("--meter 0.3 --set 0=0.75 --set 3=12 --set 5=1");
  ASSERT_TRUE(MeterDiffers(metered, moved));
  EXPECT_TRUE(host.Shows(x, metered)) << FirstDifference(x.Pixels(), metered);

  // Events the float protocol does not carry, values that are not finite
  // and ports that are not the UI's change nothing.
  host.PortEvent(kHighGainPort, 0.1f, 1);
  host.PortEvent(kHighGainPort, 0.1f, 0, 2);
  host.PortEvent(kHighGainPort, std::numeric_limits<float>::quiet_NaN());
  host.PortEvent(kMeterPort, std::numeric_limits<float>::infinity());
  host.PortEvent(7, 0.1f);    // an audio port
  host.PortEvent(1000, 0.1f); // no port at all
  host.descriptor->port_event(host.handle, kHighGainPort, sizeof(float), 0, nullptr);
  host.IdleFor(120);
  EXPECT_EQ(0, Mismatches(x.Pixels(), metered)) << FirstDifference(x.Pixels(), metered);
  // The host's own values are never written back.
  EXPECT_TRUE(host.calls.empty());

  host.Cleanup();
  EXPECT_TRUE(x.Children().empty());
  EXPECT_EQ(0, gForeignErrors.load());
}

TEST_F(LV2UiWindow, AKnobDragWritesRealValuesInsideOneTouchGesture) {
  ASSERT_TRUE(host.Instantiate(x.top));
  host.IdleFor(100);
  host.calls.clear();

  // Up 30 px on the input knob (102 px tall, gearing 4) from 0 dB.
  x.Drag([this] { Idle(); }, kInputKnobX, kInputKnobY, kInputKnobX, kInputKnobY - 30, 3);
  // The release may reach the editor late on a loaded machine.
  EXPECT_TRUE(IdleUntil([this] { Idle(); }, [&] {
    return !host.calls.empty() && host.calls.back().kind == HostCall::kTouchEnd;
  }));

  ASSERT_GE(host.calls.size(), 3u);
  EXPECT_EQ(HostCall::kTouchBegin, host.calls.front().kind);
  EXPECT_EQ(kInputPort, host.calls.front().port);
  EXPECT_EQ(HostCall::kTouchEnd, host.calls.back().kind);
  EXPECT_EQ(kInputPort, host.calls.back().port);
  float last = 0.0f;
  for (size_t i = 1; i + 1 < host.calls.size(); ++i) {
    const HostCall& call = host.calls[i];
    ASSERT_EQ(HostCall::kWrite, call.kind) << "call " << i;
    EXPECT_EQ(kInputPort, call.port);
    EXPECT_GE(call.value, last) << "an upward drag only raises the gain";
    EXPECT_LE(call.value, 24.0f);
    last = call.value;
  }
  EXPECT_NEAR(48.0 * 30.0 / 102.0 / 4.0, last, 1e-3);

  // The knob shows what was written.
  char arguments[64];
  std::snprintf(arguments, sizeof arguments, "--meter 1 --set 3=%.9g", last);
  const std::vector<uint32_t> expected = Reference(arguments);
  EXPECT_TRUE(host.Shows(x, expected)) << FirstDifference(x.Pixels(), expected);

  // A drag on the high knob writes 0..1 to its own port.
  host.calls.clear();
  // Far past the bottom: held at the minimum.
  x.Drag([this] { Idle(); }, kKnobX, kKnobY, kKnobX, kKnobY + 300, 2);
  ASSERT_GE(host.calls.size(), 3u);
  EXPECT_EQ(HostCall::kTouchBegin, host.calls.front().kind);
  EXPECT_EQ(HostCall::kTouchEnd, host.calls.back().kind);
  for (size_t i = 1; i + 1 < host.calls.size(); ++i) {
    EXPECT_EQ(kHighGainPort, host.calls[i].port);
    EXPECT_GE(host.calls[i].value, 0.0f);
    EXPECT_LE(host.calls[i].value, 1.0f);
  }
  EXPECT_EQ(0.0f, host.calls[host.calls.size() - 2].value);
  EXPECT_EQ(0, gForeignErrors.load());
}

TEST_F(LV2UiWindow, TheNeedleFollowsTheMeterPortOfAPluginInstanceInTheSameProcess) {
  // Both modules in one process, as most hosts run them.
  LV2TestInstance dsp(host.world);
  ASSERT_NE(nullptr, dsp.Get());
  dsp.ConnectControls();
  ASSERT_EQ(kMeterPort, dsp.Port("meter"));
  ASSERT_TRUE(host.Instantiate(x.top));
  // Half a second of a quiet tone lets the needle fall from its rest at 1.
  std::vector<float> tone(2 * 24000);
  for (size_t n = 0; n < tone.size(); ++n)
    tone[n] = 0.05f * static_cast<float>(std::sin(0.05 * static_cast<double>(n / 2)));
  dsp.Render(tone, 512);
  const float level = dsp.Control("meter");
  ASSERT_GT(level, 0.0f);
  ASSERT_LT(level, 0.9f);
  host.PortEvent(kMeterPort, level);
  char arguments[48];
  std::snprintf(arguments, sizeof arguments, "--meter %.9g", level);
  const std::vector<uint32_t> expected = Reference(arguments);
  ASSERT_TRUE(MeterDiffers(expected, Reference("--meter 1")));
  EXPECT_TRUE(host.Shows(x, expected)) << FirstDifference(x.Pixels(), expected);
}

TEST_F(LV2UiWindow, IdleReportsTheWindowGoneWhenTheHostDestroysTheParent) {
  ASSERT_TRUE(host.Instantiate(x.top));
  host.IdleFor(60);
  EXPECT_EQ(0, host.Idle());
  XDestroyWindow(x.display, x.top);
  x.top = 0;
  XSync(x.display, False);
  host.PortEvent(kHighGainPort, 0.9f); // something to paint on the next tick
  EXPECT_TRUE(IdleUntil([&] { host.Idle(); }, [&] { return host.Idle() != 0; }));
  host.Cleanup();
  EXPECT_EQ(0, gForeignErrors.load());
}

} // namespace
