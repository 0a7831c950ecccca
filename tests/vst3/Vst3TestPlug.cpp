#include "Vst3TestPlug.h"

#include <cstdio>

using namespace Steinberg;
using namespace Steinberg::Vst;

Vst3TestPlug::Vst3TestPlug(const PluginIdentity& identity, const std::vector<Param>& params)
    : IPlugBinding(IPlugInstanceInfo{}, identity) {
  for (int i = 0; i < NumParams() && i < static_cast<int>(params.size()); ++i) {
    const Param& p = params[static_cast<size_t>(i)];
    IParameter* param = GetParam(i);
    if (p.integer) {
      param->DefineInteger(p.name, static_cast<int>(p.defaultValue), static_cast<int>(p.minValue),
                           static_cast<int>(p.maxValue), "");
    } else {
      param->DefineDouble(p.name, p.defaultValue, p.minValue, p.maxValue, 0.01, "u", p.group,
                          p.shape);
    }
    param->SetCanAutomate(p.canAutomate);
  }
  FillUninitializedPresets("first", NumPresets());
}

void Vst3TestPlug::ProcessBlock(double** inputs, double** outputs, int frames) {
  blockFrames.push_back(frames);
  for (int c = 0; c < NumOutputs(); ++c)
    for (int n = 0; n < frames; ++n)
      outputs[c][n] = c < NumInputs() ? 2.0 * inputs[c][n] : 0.0;
}

PluginIdentity TestIdentity(int numParams, int numPresets, const char* io, int latency, bool midi,
                            bool instrument) {
  return PluginIdentity{"Test",
                        "",
                        "Maker",
                        0x00010203,
                        FourCharCode("Tst1"),
                        FourCharCode("Mkr1"),
                        io,
                        numParams,
                        numPresets,
                        latency,
                        midi,
                        false,
                        instrument};
}

tresult PLUGIN_API RecordingHandler::beginEdit(ParamID id) {
  calls.push_back("begin " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::performEdit(ParamID id, ParamValue value) {
  char text[64];
  std::snprintf(text, sizeof text, "perform %u %g", static_cast<unsigned>(id), value);
  calls.emplace_back(text);
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::endEdit(ParamID id) {
  calls.push_back("end " + std::to_string(id));
  return kResultOk;
}

tresult PLUGIN_API RecordingHandler::restartComponent(int32 flags) {
  calls.push_back("restart " + std::to_string(flags));
  return kResultOk;
}

IContextMenu* PLUGIN_API RecordingHandler::createContextMenu(IPlugView*, const ParamID*) {
  calls.emplace_back("menu");
  return nullptr;
}

tresult PLUGIN_API RecordingHandler::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IComponentHandler::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  if (mOffersMenus && FUnknownPrivate::iidEqual(iid, IComponentHandler3::iid)) {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}
