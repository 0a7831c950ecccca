#pragma once

// A small plug-in on the VST3 binding, configurable in the ways the channel
// strip is not (groups, latency, instrument outputs, MIDI), which records
// what the binding asks of it. With recording stand-ins for the host's
// component handler and for an editor.

#include "IPlugBinding.h"

#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <atomic>
#include <string>
#include <vector>

class Vst3TestPlug : public IPlugBinding {
public:
  struct Param {
    const char* name;
    bool integer;
    double defaultValue, minValue, maxValue;
    const char* group;
    double shape;
    bool canAutomate;
  };

  Vst3TestPlug(const PluginIdentity& identity, const std::vector<Param>& params);

  void ParameterChanged(int paramIndex) override { changed.push_back(paramIndex); }
  // outputs = 2 * inputs, per channel of the same index (0 without input).
  void ProcessBlock(double** inputs, double** outputs, int frames) override;
  void HandleMidiMessage(const MidiMessage& message) override { midi.push_back(message); }
  void ActivationChanged(bool active) override { activations.push_back(active); }
  void OnReset() override { ++resets; }
  void HostIdentified() override { ++identified; }

  std::vector<int> changed;
  std::vector<int> blockFrames;
  std::vector<MidiMessage> midi;
  std::vector<bool> activations;
  int resets = 0;
  int identified = 0;
};

// Identity of a stereo effect with the given parameters and presets.
PluginIdentity TestIdentity(int numParams, int numPresets = 1, const char* io = "1-1 2-2",
                            int latency = 0, bool midi = false, bool instrument = false);

// Owns one reference: released (and so destroyed) at scope end.
struct PlugRef {
  explicit PlugRef(Vst3TestPlug* p) : plug(p) {}
  ~PlugRef() { plug->release(); }
  PlugRef(const PlugRef&) = delete;
  PlugRef& operator=(const PlugRef&) = delete;
  Vst3TestPlug* operator->() const { return plug; }
  Vst3TestPlug* plug;
};

// A host component handler that records every call; optionally offers
// IComponentHandler3 with a context menu that records its popup.
class RecordingHandler : public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IComponentHandler3 {
public:
  explicit RecordingHandler(bool offersMenus = false) : mOffersMenus(offersMenus) {}
  virtual ~RecordingHandler() = default;

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue value) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API
  createContextMenu(Steinberg::IPlugView* view, const Steinberg::Vst::ParamID* id) override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override { return static_cast<Steinberg::uint32>(++refs); }
  Steinberg::uint32 PLUGIN_API release() override { return static_cast<Steinberg::uint32>(--refs); }

  std::vector<std::string> calls; // "begin 3", "perform 3 0.25", "end 3", "restart 8", "menu"
  std::atomic<int> refs{0};

private:
  bool mOffersMenus;
};

// An editor that records what the base and the binding push into it.
class RecordingEditor : public IPlugEditor {
public:
  struct Update {
    int param;
    double value;
    bool normalized;
  };
  void SetParamFromHost(int paramIndex, double value, bool normalized) override {
    updates.push_back({paramIndex, value, normalized});
  }
  void PrepareSurfaces() override {}
  int Width() const override { return 100; }
  int Height() const override { return 50; }
  int NumControls() const override { return 0; }
  void SetControlValueFromHost(int, double) override {}
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  bool IsEditorOpen() const override { return false; }
  std::vector<Update> updates;
};
