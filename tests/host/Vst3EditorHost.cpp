#include "Vst3EditorHost.h"

namespace vst3editor {

tresult PLUGIN_API RecordingMenu::popup(UCoord x, UCoord y) {
  mPopups.emplace_back(x, y);
  return kResultOk;
}

tresult PLUGIN_API RecordingMenu::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IContextMenu::iid) ||
      FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    *obj = this;
    addRef();
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API RecordingMenu::release() {
  const int left = --mReferences;
  if (left == 0) delete this;
  return static_cast<uint32>(left);
}

tresult PLUGIN_API RecordingHandler::beginEdit(ParamID id) {
  calls.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::performEdit(ParamID id, ParamValue value) {
  calls.push_back("perform " + std::to_string(id));
  values.push_back(value);
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::endEdit(ParamID id) {
  calls.push_back("end " + std::to_string(id));
  return kResultOk;
}

IContextMenu* PLUGIN_API RecordingHandler::createContextMenu(IPlugView* view, const ParamID* id) {
  menuViews.push_back(view);
  menuParams.push_back(id ? static_cast<int>(*id) : -1);
  return new RecordingMenu(popups);
}

tresult PLUGIN_API RecordingHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IComponentHandler::iid) ||
      FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    *obj = static_cast<IComponentHandler*>(this);
  } else if (FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
    *obj = static_cast<IComponentHandler3*>(this);
  } else {
    *obj = nullptr;
    return kNoInterface;
  }
  addRef();
  return kResultOk;
}

tresult PLUGIN_API RecordingFrame::resizeView(IPlugView* view, ViewRect* size) {
  if (size) sizes.push_back(*size);
  if (view && size) view->onSize(size);
  return kResultTrue;
}

tresult PLUGIN_API RecordingFrame::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, IPlugFrame::iid) ||
      FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
    *obj = this;
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

EditorPlugin::EditorPlugin(IPluginFactory* factory) {
  if (!instance.Create(factory, &app)) return;
  instance.Controller()->setComponentHandler(&handler);
  instance.Start(2, 44100.0, 512);
}

EditorPlugin::~EditorPlugin() {
  ReleaseView();
  instance.Destroy();
}

void EditorPlugin::ReleaseView() {
  if (view) view->release();
  view = nullptr;
}

IPlugView* EditorPlugin::MakeView(IPlugFrame* frame) {
  view = instance.Controller()->createView(ViewType::kEditor);
  if (view && frame) view->setFrame(frame);
  return view;
}

std::vector<double> EditorPlugin::Values() const {
  std::vector<double> values;
  for (ParamID id = 0; id < 6; ++id)
    values.push_back(instance.Controller()->getParamNormalized(id));
  return values;
}

void EditorPlugin::Process(Vst3ParameterChanges* changes, float amplitude) {
  std::vector<float> l(512, amplitude), r(512, amplitude), ol(512), orr(512);
  float* in[2] = {l.data(), r.data()};
  float* out[2] = {ol.data(), orr.data()};
  instance.Process(in, out, 512, changes);
}

} // namespace vst3editor
