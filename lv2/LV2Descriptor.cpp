// The module's one export, lv2_descriptor, and the descriptor's entries: each
// finds its instance through the handle and lets no exception out.
#include "IPlugLV2.h"
#include "LV2State.h"
#include "TOLVEN.h"
#include "TOLVENLV2.h"

#include <cstring>

namespace {

IPlugLV2* Plug(LV2_Handle handle) {
  return static_cast<IPlugLV2*>(handle);
}

double MeterLevel(const IPlugBase& plug) {
  return static_cast<const TOLVEN&>(plug).MeterLevel();
}

LV2_Handle Instantiate(const LV2_Descriptor* /*descriptor*/, double sampleRate,
                       const char* /*bundlePath*/, const LV2_Feature* const* features) {
  IPlugInstanceInfo info;
  info.sampleRate = sampleRate;
  info.features = features;
  info.stateKeyUri = TOLVENLV2::kStateKeyUri;
  info.bypassParam = TOLVENLV2::kBypassParam;
  info.meterLevel = MeterLevel;
  TOLVEN* plug = nullptr;
  try {
    plug = new TOLVEN(info);
  } catch (...) {
    return nullptr;
  }
  // A refusal (no urid:map, no usable sample rate) is the null handle.
  if (!plug->Open()) {
    delete plug;
    return nullptr;
  }
  return static_cast<IPlugLV2*>(plug);
}

void ConnectPort(LV2_Handle instance, uint32_t port, void* data) {
  if (instance) Plug(instance)->ConnectPort(port, data);
}

void Activate(LV2_Handle instance) {
  if (instance) Plug(instance)->Activate();
}

void Run(LV2_Handle instance, uint32_t sampleCount) {
  if (instance) Plug(instance)->Run(sampleCount);
}

void Deactivate(LV2_Handle instance) {
  if (instance) Plug(instance)->Deactivate();
}

void Cleanup(LV2_Handle instance) {
  delete Plug(instance);
}

const void* ExtensionData(const char* uri) {
  if (uri && !std::strcmp(uri, LV2_STATE__interface)) return LV2State::Interface();
  return nullptr;
}

const LV2_Descriptor kDescriptor = {
    TOLVENLV2::kPluginUri, Instantiate, ConnectPort, Activate, Run, Deactivate, Cleanup,
    ExtensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
