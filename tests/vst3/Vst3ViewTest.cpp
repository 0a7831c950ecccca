// The VST3 editor view (IPlugVST3View) on a small test plug-in with an editor
// that records what the view asks of it. Portable: the platform type the
// view accepts comes from this build's IPlugVST3ViewPlatform ("HWND" on
// Windows; none where no window system is wired up yet).
#include "IPlugVST3View.h"
#include "Vst3TestPlug.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const std::vector<Vst3TestPlug::Param> kParams = {
    {"Gain", false, 0.0, -10.0, 10.0, "", 1.0, true},
};

// Records opens and closes; "opens" a window in any non-null parent.
class ViewEditor : public IPlugEditor {
public:
  void SetParamFromHost(int, double, bool) override {}
  void PrepareSurfaces() override {}
  int Width() const override { return 135; }
  int Height() const override { return 662; }
  int NumControls() const override { return 0; }
  void SetControlValueFromHost(int, double) override {}
  void* OpenEditorWindow(void* parent) override {
    opens.push_back(parent);
    window = parent;
    return parent;
  }
  void CloseEditorWindow() override {
    ++closes;
    window = nullptr;
  }
  bool IsEditorOpen() const override { return window != nullptr; }
  std::vector<void*> opens;
  int closes = 0;
  void* window = nullptr;
};

class ViewPlug : public Vst3TestPlug {
public:
  explicit ViewPlug(bool withEditor) : Vst3TestPlug(TestIdentity(1), kParams) {
    if (withEditor) {
      editor = new ViewEditor;
      AttachEditor(editor);
    }
  }
  void EditorOpened() override { events.push_back("opened"); }
  void EditorClosed() override { events.push_back("closed"); }
  void EditorResized() override { events.push_back("resized"); }
  ViewEditor* editor = nullptr; // owned by the base
  std::vector<std::string> events;
};

class RecordingFrame : public IPlugFrame {
public:
  virtual ~RecordingFrame() = default;
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override {
    views.push_back(view);
    sizes.push_back(*size);
    return kResultTrue;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  std::vector<IPlugView*> views;
  std::vector<ViewRect> sizes;
};

// The handler's createContextMenu is only counted ("menu"); which view it
// was asked for is recorded here.
class MenuHandler : public RecordingHandler {
public:
  MenuHandler() : RecordingHandler(true) {}
  IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* id) override {
    views.push_back(view);
    return RecordingHandler::createContextMenu(view, id);
  }
  std::vector<IPlugView*> views;
};

const char* AcceptedType() {
  return MakeVST3ViewPlatform()->PlatformType();
}

// The plug-in's reference count, without changing it.
uint32 References(FObject* object) {
  object->addRef();
  return object->release();
}

TEST(Vst3View, CreatedOnlyForTheEditorName) {
  auto* plug = new ViewPlug(true);
  PlugRef hold(plug);
  const uint32 before = References(plug);
  EXPECT_EQ(nullptr, plug->createView("Editor"));
  EXPECT_EQ(nullptr, plug->createView("editor1"));
  EXPECT_EQ(nullptr, plug->createView(nullptr));
  IPlugView* view = plug->createView("editor");
  ASSERT_NE(nullptr, view);
  // The view holds the plug-in.
  EXPECT_EQ(before + 1, References(plug));
  auto* object = static_cast<IPlugVST3View*>(view);
  EXPECT_STREQ("CPluginView", object->isA());
  EXPECT_TRUE(object->isTypeOf("FObject"));
  EXPECT_EQ(nullptr, object->Frame());
  EXPECT_EQ(nullptr, object->SystemWindow());
  EXPECT_EQ(0, object->getRect().getWidth());
  view->release();
  EXPECT_EQ(before, References(plug));
}

TEST(Vst3View, AnswersTheHostsQuestions) {
  auto* plug = new ViewPlug(true);
  PlugRef hold(plug);
  IPlugView* view = plug->createView("editor");
  ASSERT_NE(nullptr, view);
  ViewRect size;
  ASSERT_EQ(kResultTrue, view->getSize(&size));
  EXPECT_EQ(0, size.left);
  EXPECT_EQ(0, size.top);
  EXPECT_EQ(135, size.right);
  EXPECT_EQ(662, size.bottom);
  EXPECT_EQ(kResultFalse, view->getSize(nullptr));
  EXPECT_EQ(kResultFalse, view->canResize());
  EXPECT_EQ(kResultFalse, view->checkSizeConstraint(&size));
  EXPECT_EQ(kResultFalse, view->onWheel(1.0f));
  EXPECT_EQ(kResultFalse, view->onKeyDown('a', 0, 0));
  EXPECT_EQ(kResultFalse, view->onKeyUp('a', 0, 0));
  EXPECT_EQ(kResultFalse, view->onFocus(true));
  EXPECT_EQ(kResultTrue, view->onSize(nullptr));
  // A size the host gives on its own is stored; the plug-in hears nothing.
  ViewRect hostSize(0, 0, 200, 300);
  EXPECT_EQ(kResultTrue, view->onSize(&hostSize));
  EXPECT_EQ(200, static_cast<IPlugVST3View*>(view)->getRect().getWidth());
  EXPECT_TRUE(plug->events.empty());

  const char* accepted = AcceptedType();
  if (accepted) {
    EXPECT_EQ(kResultTrue, view->isPlatformTypeSupported(accepted));
    const std::string longer = std::string(accepted) + "2";
    EXPECT_EQ(kResultFalse, view->isPlatformTypeSupported(longer.c_str()));
  }
  EXPECT_EQ(kResultFalse, view->isPlatformTypeSupported("NoSuchPlatform"));
  EXPECT_EQ(kResultFalse, view->isPlatformTypeSupported(nullptr));
  view->release();
}

TEST(Vst3View, AttachingOpensTheWindowOnlyForTheAcceptedType) {
  auto* plug = new ViewPlug(true);
  PlugRef hold(plug);
  IPlugView* view = plug->createView("editor");
  int parent = 0;
  // Another type: accepted, no window, but the plug-in hears of the editor.
  EXPECT_EQ(kResultTrue, view->attached(&parent, "NoSuchPlatform"));
  EXPECT_TRUE(plug->editor->opens.empty());
  EXPECT_EQ((std::vector<std::string>{"opened"}), plug->events);
  EXPECT_EQ(kResultTrue, view->removed());
  EXPECT_EQ(0, plug->editor->closes); // it opened nothing
  EXPECT_EQ((std::vector<std::string>{"opened", "closed"}), plug->events);

  if (const char* accepted = AcceptedType()) {
    plug->events.clear();
    EXPECT_EQ(kResultFalse, view->attached(nullptr, accepted));
    EXPECT_TRUE(plug->events.empty());
    EXPECT_EQ(kResultTrue, view->attached(&parent, accepted));
    ASSERT_EQ(1u, plug->editor->opens.size());
    EXPECT_EQ(&parent, plug->editor->opens[0]);
    EXPECT_EQ(&parent, static_cast<IPlugVST3View*>(view)->SystemWindow());
    EXPECT_EQ(kResultTrue, view->removed());
    EXPECT_EQ(1, plug->editor->closes);
    EXPECT_EQ(nullptr, static_cast<IPlugVST3View*>(view)->SystemWindow());
    // Removed again: harmless.
    EXPECT_EQ(kResultTrue, view->removed());
    EXPECT_EQ(1, plug->editor->closes);
    // Released while attached: the window closes with the view.
    EXPECT_EQ(kResultTrue, view->attached(&parent, accepted));
    view->release();
    EXPECT_EQ(2, plug->editor->closes);
    EXPECT_EQ("closed", plug->events.back());
  } else {
    view->release();
  }
}

TEST(Vst3View, WithoutAnEditor) {
  auto* plug = new ViewPlug(false);
  PlugRef hold(plug);
  IPlugView* view = plug->createView("editor");
  ASSERT_NE(nullptr, view); // created all the same
  int parent = 0;
  ViewRect size;
  EXPECT_EQ(kResultFalse, view->isPlatformTypeSupported("HWND"));
  EXPECT_EQ(kResultFalse, view->attached(&parent, "HWND"));
  EXPECT_EQ(kResultFalse, view->getSize(&size));
  EXPECT_EQ(kResultTrue, view->removed());
  EXPECT_TRUE(plug->events.empty());
  plug->EditorSizeChanged(10, 10); // no editor: nothing
  EXPECT_FALSE(static_cast<IPlugVST3View*>(view)->ExpectingNewSize());
  view->release();
}

TEST(Vst3View, ResizeRequestsAndMenusUseTheFirstViewUntilOneGoes) {
  auto* plug = new ViewPlug(true);
  PlugRef hold(plug);
  MenuHandler handler;
  ASSERT_EQ(kResultOk, plug->initialize(nullptr));
  plug->setComponentHandler(&handler);
  RecordingFrame frameA, frameB;
  IPlugView* a = plug->createView("editor");
  IPlugView* b = plug->createView("editor");
  a->setFrame(&frameA);
  b->setFrame(&frameB);

  plug->EditorSizeChanged(150, 700);
  ASSERT_EQ(1u, frameA.sizes.size());
  EXPECT_TRUE(frameB.sizes.empty());
  EXPECT_EQ(a, frameA.views[0]);
  EXPECT_EQ(150, frameA.sizes[0].right);
  EXPECT_EQ(700, frameA.sizes[0].bottom);
  EXPECT_TRUE(static_cast<IPlugVST3View*>(a)->ExpectingNewSize());
  // The host's answer runs EditorResized, once.
  ViewRect answer(0, 0, 150, 700);
  a->onSize(&answer);
  EXPECT_EQ((std::vector<std::string>{"resized"}), plug->events);
  a->onSize(&answer);
  EXPECT_EQ(1u, plug->events.size());

  plug->HostParamContextMenu(0, 3, 4);
  ASSERT_EQ(1u, handler.views.size());
  EXPECT_EQ(a, handler.views[0]);

  // Releasing either view empties the whole list.
  b->release();
  plug->EditorSizeChanged(160, 710);
  EXPECT_EQ(1u, frameA.sizes.size());
  EXPECT_FALSE(static_cast<IPlugVST3View*>(a)->ExpectingNewSize());
  plug->HostParamContextMenu(0, 3, 4);
  EXPECT_EQ(1u, handler.views.size());
  a->release();
  plug->terminate();
}

TEST(Vst3View, WithoutAFrameOnlyTheFlagChanges) {
  auto* plug = new ViewPlug(true);
  PlugRef hold(plug);
  IPlugView* view = plug->createView("editor");
  plug->EditorSizeChanged(150, 700);
  EXPECT_TRUE(static_cast<IPlugVST3View*>(view)->ExpectingNewSize());
  EXPECT_TRUE(plug->events.empty());
  view->release();
}

} // namespace
