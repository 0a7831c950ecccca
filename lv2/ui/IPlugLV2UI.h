#pragma once

#include "IPlugOneWayBinding.h"
#include "LV2PortLayout.h"
#include "LV2UIFeatures.h"

#include "lv2/ui/ui.h"

#include <cstdint>

// What the UI module's instantiate hands to a new UI instance: the host's
// write function and features, and where the plug-in's meter is drawn.
struct IPlugInstanceInfo {
  LV2UI_Write_Function write = nullptr;
  LV2UI_Controller controller = nullptr;
  const LV2_Feature* const* features = nullptr;
  // Index of the meter display among the editor's controls; null: no meter.
  int (*meterControl)(const IPlugBase& plug) = nullptr;
};

// The LV2 UI binding: the plug-in class built once more, in the UI module, to
// own its editor with the same parameters, controls and images, without the
// DSP instance (an LV2 UI may run in another process). Port events from the
// host move the controls; the editor's edits go back through the host's write
// function as real values, each gesture wrapped in ui:touch when the host
// offers it. The audio side of the class never runs here.
class IPlugLV2UI : public IPlugOneWayBinding {
public:
  // The plug-in format code reported by PluginFormat.
  static constexpr int kFormatLV2UI = 4;

  IPlugLV2UI(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity);

  // What instantiate does once the plug-in is built: refuses (null) without
  // ui:parent, urid:map or a write function, or when the editor window cannot
  // open; else opens the editor in the host's parent window, asks the host
  // for its size (ui:resize) and returns the window (the UI's widget).
  void* Open();

  // A value from the host: a parameter port moves its controls, the meter
  // port the meter. Only the float protocol (format 0) with one finite float;
  // anything else is ignored.
  void PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format, const void* buffer);
  // The host's idle call: the editor's events and its redraw tick. Non-zero
  // once the window is gone (the host destroyed the parent).
  int Idle();

  // The editor's gestures and values, sent to the host.
  void BeginParamEdit(int paramIndex) override;
  void NotifyHostParamChange(int paramIndex, double normalized) override;
  void EndParamEdit(int paramIndex) override;
  void EditorSizeChanged(int width, int height) override;

private:
  LV2PortLayout mLayout;
  LV2UIFeatures mFeatures;
  LV2UI_Write_Function mWrite;
  LV2UI_Controller mController;
  int (*mMeterControl)(const IPlugBase& plug);
};
