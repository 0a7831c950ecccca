// The built VST3 module's editor in a real window, as a Windows DAW opens it:
// LoadLibrary and the factory, createView ("editor"), IPlugView::attached
// with the host's HWND, a component handler that offers IComponentHandler3,
// messages posted to the editor's child window, pixels read back.
#include "EditorWindowSupport.h"
#include "Vst3EditorHost.h"
#include "Vst3Module.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef TOLVEN_VST3_MODULE_PATH
#error "TOLVEN_VST3_MODULE_PATH must name the built VST3 module"
#endif

namespace {

using namespace editorwin;
using namespace vst3editor;

constexpr int kSettle = 400;

Vst3Module& Module() {
  static Vst3Module module(TOLVEN_VST3_MODULE_PATH);
  return module;
}

HMODULE PluginModule() {
  return ModuleOf(Module().FindSymbol("GetPluginFactory"));
}

struct Plugin : EditorPlugin {
  RecordingFrame frame;

  Plugin() : EditorPlugin(Module().Factory()) {}
  ~Plugin() { ReleaseView(); }
  IPlugView* MakeView() { return EditorPlugin::MakeView(&frame); }
  // A view attached to host's window as HWND; the editor window, or null.
  HWND Attach(HostWindow& host) {
    if (!MakeView() || view->attached(host.Handle(), kPlatformTypeHWND) != kResultTrue)
      return nullptr;
    return host.Editor();
  }
};

TEST(Vst3EditorWindow, AttachedOpensTheEditorAndPaintsTheSnapshot) {
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  HostWindow host;
  Plugin plug;
  ASSERT_TRUE(plug.instance.IsCreated()) << plug.instance.Error();
  IPlugView* view = plug.MakeView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  EXPECT_EQ(view->isPlatformTypeSupported("HWND2"), kResultFalse);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultFalse);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultTrue);
  EXPECT_EQ(size.getWidth(), 135);
  EXPECT_EQ(size.getHeight(), 662);

  ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultTrue);
  HWND editor = host.Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(GetParent(editor), host.Handle());
  Pump(kSettle);
  const Picture shown = Capture(editor);
  const Picture expected = Reference(plug.Values(), 1.0);
  EXPECT_EQ(Differences(shown, expected), 0);
  if (Differences(shown, expected) != 0) {
    SavePng(shown, "vst3-editor-shown.png");
    SavePng(expected, "vst3-editor-expected.png");
  }

  // A parameter change from the host's queues moves the knob on screen.
  Vst3ParameterChanges changes;
  changes.AddPoint(2, 0, 0.15);
  changes.AddPoint(3, 0, 0.8);
  plug.Process(&changes);
  Pump(kSettle);
  const Picture moved = Capture(editor);
  EXPECT_GT(Differences(shown, moved, ControlBoxes()[3]), 0);
  EXPECT_EQ(
      Differences(moved, Reference(plug.Values(), 1.0), IBox(0, ControlBoxes()[7].B + 1, 135, 662)),
      0);

  // Audio moves the meter.
  for (int i = 0; i < 40; ++i)
    plug.Process(nullptr);
  Pump(kSettle);
  EXPECT_GT(Differences(moved, Capture(editor), ControlBoxes()[7]), 0);

  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(EditorClassRegistered(PluginModule()));
}

TEST(Vst3EditorWindow, DragReachesTheHostAsBeginPerformEnd) {
  HostWindow host;
  Plugin plug;
  HWND editor = plug.Attach(host);
  ASSERT_NE(editor, nullptr);
  IPlugView* view = plug.view;
  const POINT c = Centre(ControlBoxes()[4]); // input, parameter 3
  PostMouse(editor, WM_LBUTTONDOWN, c.x, c.y, MK_LBUTTON);
  PostMouse(editor, WM_MOUSEMOVE, c.x, c.y + 10, MK_LBUTTON);
  PostMouse(editor, WM_MOUSEMOVE, c.x, c.y + 30, MK_LBUTTON);
  PostMouse(editor, WM_LBUTTONUP, c.x, c.y + 30, 0);
  Pump(100);
  ASSERT_EQ(plug.handler.calls.size(), 4u);
  EXPECT_EQ(plug.handler.calls[0], "begin 3");
  EXPECT_EQ(plug.handler.calls[1], "perform 3");
  EXPECT_EQ(plug.handler.calls[2], "perform 3");
  EXPECT_EQ(plug.handler.calls[3], "end 3");
  EXPECT_NEAR(plug.handler.values.back(), 0.5 - 30.0 / 102.0 / 4.0, 1e-9);
  EXPECT_NEAR(plug.instance.Controller()->getParamNormalized(3), plug.handler.values.back(), 1e-9);

  // The wheel moves one notch per 120.
  plug.handler.calls.clear();
  PostWheel(editor, c.x, c.y, 120);
  PostWheel(editor, c.x, c.y, 60);
  Pump(60);
  ASSERT_EQ(plug.handler.calls.size(), 1u);
  EXPECT_NEAR(plug.handler.values.back(), 0.5 - 30.0 / 102.0 / 4.0 + 0.01, 1e-9);
  view->removed();
}

TEST(Vst3EditorWindow, RightPressAsksTheHostForAContextMenu) {
  HostWindow host;
  Plugin plug;
  HWND editor = plug.Attach(host);
  ASSERT_NE(editor, nullptr);
  IPlugView* view = plug.view;
  const POINT c = Centre(ControlBoxes()[1]); // high gain, parameter 0
  PostMouse(editor, WM_RBUTTONDOWN, c.x, c.y, MK_RBUTTON);
  PostMouse(editor, WM_RBUTTONUP, c.x, c.y, 0);
  Pump(60);
  ASSERT_EQ(plug.handler.menuParams.size(), 1u);
  EXPECT_EQ(plug.handler.menuParams[0], 0);
  EXPECT_EQ(plug.handler.menuViews[0], view);
  ASSERT_EQ(plug.handler.popups.size(), 1u);
  EXPECT_EQ(plug.handler.popups[0], std::make_pair(static_cast<int>(c.x), static_cast<int>(c.y)));
  // No gesture: the press went to the host's menu, not the knob.
  EXPECT_TRUE(plug.handler.calls.empty());
  EXPECT_EQ(plug.handler.references, 1); // the plug-in's own, as stored by setComponentHandler
  view->removed();
}

TEST(Vst3EditorWindow, BadParentsAndRepeatedRemoval) {
  Plugin plug;
  IPlugView* view = plug.MakeView();
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->attached(nullptr, kPlatformTypeHWND), kResultFalse);
  EXPECT_EQ(view->attached(reinterpret_cast<void*>(0x1234), kPlatformTypeHWND), kResultFalse);
  EXPECT_FALSE(EditorClassRegistered(PluginModule()));
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_EQ(view->removed(), kResultTrue);
  // Another platform type opens no window but is accepted.
  HostWindow host;
  EXPECT_EQ(view->attached(host.Handle(), "NSView"), kResultTrue);
  EXPECT_EQ(host.Editor(), nullptr);
  EXPECT_EQ(view->removed(), kResultTrue);
  // Then the real thing, and the host destroying its window first.
  ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeHWND), kResultTrue);
  EXPECT_TRUE(EditorClassRegistered(PluginModule()));
  host.Destroy();
  Pump(100);
  EXPECT_EQ(view->removed(), kResultTrue);
  EXPECT_FALSE(EditorClassRegistered(PluginModule()));
}

TEST(Vst3EditorWindow, ReleasingAnAttachedViewClosesItsWindow) {
  HostWindow host;
  Plugin plug;
  HWND editor = plug.Attach(host);
  ASSERT_NE(editor, nullptr);
  IPlugView* view = plug.view;
  view->release();
  plug.view = nullptr;
  EXPECT_FALSE(IsWindow(editor));
  EXPECT_FALSE(EditorClassRegistered(PluginModule()));
  Pump(100);
}

TEST(Vst3EditorWindow, TwoViewsShareOneClassRegistration) {
  HostWindow hostA(40, 30), hostB(380, 30);
  Plugin a, b;
  IPlugView* viewA = a.MakeView();
  IPlugView* viewB = b.MakeView();
  ASSERT_EQ(viewA->attached(hostA.Handle(), kPlatformTypeHWND), kResultTrue);
  ASSERT_EQ(viewB->attached(hostB.Handle(), kPlatformTypeHWND), kResultTrue);
  EXPECT_TRUE(EditorClassRegistered(PluginModule()));
  viewA->removed();
  EXPECT_TRUE(EditorClassRegistered(PluginModule()));
  Pump(kSettle);
  EXPECT_EQ(Differences(Capture(hostB.Editor()), Reference(b.Values(), 1.0)), 0);
  viewB->removed();
  EXPECT_FALSE(EditorClassRegistered(PluginModule()));
}

} // namespace
