#pragma once

// The host side of the VST3 editor tests on every window system: a component
// handler that records the gestures and offers context menus, a frame that
// records resize requests, and one started instance with its view.

#include "Vst3HostApplication.h"
#include "Vst3Instance.h"
#include "Vst3ParameterChanges.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <string>
#include <utility>
#include <vector>

namespace vst3editor {

using namespace Steinberg;
using namespace Steinberg::Vst;

// A context menu that only records where it was shown.
class RecordingMenu : public IContextMenu {
public:
  explicit RecordingMenu(std::vector<std::pair<int, int>>& popups) : mPopups(popups) {}
  virtual ~RecordingMenu() = default;
  int32 PLUGIN_API getItemCount() override { return 0; }
  tresult PLUGIN_API getItem(int32, Item&, IContextMenuTarget**) override { return kResultFalse; }
  tresult PLUGIN_API addItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API removeItem(const Item&, IContextMenuTarget*) override { return kResultOk; }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++mReferences); }
  uint32 PLUGIN_API release() override;

private:
  std::vector<std::pair<int, int>>& mPopups;
  int mReferences = 1;
};

// The host's component handler: records the gestures and offers context
// menus through IComponentHandler3.
class RecordingHandler : public IComponentHandler, public IComponentHandler3 {
public:
  virtual ~RecordingHandler() = default;
  tresult PLUGIN_API beginEdit(ParamID id) override;
  tresult PLUGIN_API performEdit(ParamID id, ParamValue value) override;
  tresult PLUGIN_API endEdit(ParamID id) override;
  tresult PLUGIN_API restartComponent(int32) override { return kResultOk; }
  IContextMenu* PLUGIN_API createContextMenu(IPlugView* view, const ParamID* id) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++references); }
  uint32 PLUGIN_API release() override { return static_cast<uint32>(--references); }

  std::vector<std::string> calls;
  std::vector<double> values;
  std::vector<IPlugView*> menuViews;
  std::vector<int> menuParams;
  std::vector<std::pair<int, int>> popups;
  int references = 0;
};

// Records the view's resize requests and grants them at once.
class RecordingFrame : public IPlugFrame {
public:
  virtual ~RecordingFrame() = default;
  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* size) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
  std::vector<ViewRect> sizes;
};

// One instance of module's first audio class, started (stereo, 44.1 kHz),
// with the recording handler; its view once MakeView made it.
struct EditorPlugin {
  Vst3HostApplication app{"TOLVEN window host"};
  RecordingHandler handler;
  Vst3Instance instance;
  IPlugView* view = nullptr;

  explicit EditorPlugin(IPluginFactory* factory);
  ~EditorPlugin();
  EditorPlugin(const EditorPlugin&) = delete;
  EditorPlugin& operator=(const EditorPlugin&) = delete;

  // createView ("editor"), then setFrame (frame) when there is one.
  IPlugView* MakeView(IPlugFrame* frame);
  // Releases the view (closing a window it still shows); while the frame
  // it was given is still there.
  void ReleaseView();
  // The six parameters' normalised values, index order.
  std::vector<double> Values() const;
  // One 512-frame block at a constant amplitude, with changes (may be null).
  void Process(Vst3ParameterChanges* changes, float amplitude = 0.0f);
};

} // namespace vst3editor
