// The UI module's one export, lv2ui_descriptor, and the descriptor's entries:
// each finds its UI instance through the handle and lets no exception out.
#include "IPlugLV2UI.h"
#include "TOLVEN.h"
#include "TOLVENLV2.h"

#include <cstdint>
#include <cstring>

namespace {

IPlugLV2UI* Ui(LV2UI_Handle handle) {
  return static_cast<IPlugLV2UI*>(handle);
}

int MeterControl(const IPlugBase& plug) {
  return static_cast<const TOLVEN&>(plug).MeterControl();
}

LV2UI_Handle Instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  if (!pluginUri || std::strcmp(pluginUri, TOLVENLV2::kPluginUri) || !widget) return nullptr;
  IPlugInstanceInfo info;
  info.write = write;
  info.controller = controller;
  info.features = features;
  info.meterControl = MeterControl;
  TOLVEN* plug = nullptr;
  try {
    plug = new TOLVEN(info);
  } catch (...) {
    return nullptr;
  }
  // A refusal (a required feature missing, no window) is the null handle.
  void* window = plug->Open();
  if (!window) {
    delete plug;
    return nullptr;
  }
  *widget = window;
  return static_cast<IPlugLV2UI*>(plug);
}

void Cleanup(LV2UI_Handle handle) {
  delete Ui(handle);
}

void PortEvent(LV2UI_Handle handle, uint32_t port, uint32_t bufferSize, uint32_t format,
               const void* buffer) {
  if (handle) Ui(handle)->PortEvent(port, bufferSize, format, buffer);
}

int Idle(LV2UI_Handle handle) {
  return handle ? Ui(handle)->Idle() : 1;
}

const LV2UI_Idle_Interface kIdleInterface = {Idle};

const void* ExtensionData(const char* uri) {
  if (uri && !std::strcmp(uri, LV2_UI__idleInterface)) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {TOLVENLV2::kUiUri, Instantiate, Cleanup, PortEvent,
                                      ExtensionData};

} // namespace

LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
