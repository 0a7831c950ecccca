#pragma once

#include "IPlugBase.h"
#include "SingleComponentEffect.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <string>
#include <vector>

struct IPlugInstanceInfo;

// The VST3 face of the plug-in: IPlugBase first, then the single-component
// effect, so one object is the audio component, the processor and its own
// edit controller. The plug-in class derives from it.
//
// Threads: process runs on the host's audio thread under the instance lock;
// the controller, state and set-up calls come from the host's UI thread.
class IPlugVST3 : public IPlugBase, public SingleComponentEffect {
public:
  // Parameter IDs of the two parameters the binding adds ("prst", "bpas").
  static constexpr Steinberg::Vst::ParamID kPresetParamId = 0x70727374;
  static constexpr Steinberg::Vst::ParamID kBypassParamId = 0x62706173;
  static constexpr Steinberg::Vst::ProgramListID kPresetListId = 0x70727374;

  IPlugVST3(const IPlugInstanceInfo& info, const PluginIdentity& identity);
  ~IPlugVST3() override;

  // ---- IPluginBase ----------------------------------------------------------
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // ---- IComponent -------------------------------------------------------------
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;

  // ---- IAudioProcessor ----------------------------------------------------------
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;

  // ---- IEditController (and IComponent, which shares the state calls) ----------
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API setComponentState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getParamStringByValue(Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::ParamValue valueNormalized,
                                                      Steinberg::Vst::String128 string) override;
  // Refuses a null text (the SDK's list parameter would read it).
  Steinberg::tresult PLUGIN_API getParamValueByString(Steinberg::Vst::ParamID id,
                                                      Steinberg::Vst::TChar* string,
                                                      Steinberg::Vst::ParamValue& value) override;
  Steinberg::Vst::ParamValue PLUGIN_API
  plainParamToNormalized(Steinberg::Vst::ParamID id, Steinberg::Vst::ParamValue plain) override;
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID id,
                                                   Steinberg::Vst::ParamValue value) override;
  // A new editor view for "editor" (IPlugVST3View.cpp), else null.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // ---- IEditController2 ------------------------------------------------------------
  Steinberg::tresult PLUGIN_API setKnobMode(Steinberg::Vst::KnobMode mode) override;
  Steinberg::tresult PLUGIN_API openHelp(Steinberg::TBool onlyCheck) override;
  Steinberg::tresult PLUGIN_API openAboutBox(Steinberg::TBool onlyCheck) override;

  // ---- IUnitInfo -----------------------------------------------------------------------
  Steinberg::int32 PLUGIN_API getUnitCount() override;
  Steinberg::tresult PLUGIN_API getUnitInfo(Steinberg::int32 unitIndex,
                                            Steinberg::Vst::UnitInfo& info) override;
  Steinberg::int32 PLUGIN_API getProgramListCount() override;
  Steinberg::tresult PLUGIN_API getProgramListInfo(Steinberg::int32 listIndex,
                                                   Steinberg::Vst::ProgramListInfo& info) override;
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API getProgramInfo(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::CString attributeId,
                                               Steinberg::Vst::String128 attributeValue) override;
  Steinberg::tresult PLUGIN_API hasProgramPitchNames(Steinberg::Vst::ProgramListID listId,
                                                     Steinberg::int32 programIndex) override;
  Steinberg::tresult PLUGIN_API getProgramPitchName(Steinberg::Vst::ProgramListID listId,
                                                    Steinberg::int32 programIndex,
                                                    Steinberg::int16 midiPitch,
                                                    Steinberg::Vst::String128 name) override;
  Steinberg::Vst::UnitID PLUGIN_API getSelectedUnit() override;
  Steinberg::tresult PLUGIN_API selectUnit(Steinberg::Vst::UnitID unitId) override;
  Steinberg::tresult PLUGIN_API getUnitByBus(Steinberg::Vst::MediaType type,
                                             Steinberg::Vst::BusDirection dir,
                                             Steinberg::int32 busIndex, Steinberg::int32 channel,
                                             Steinberg::Vst::UnitID& unitId) override;
  Steinberg::tresult PLUGIN_API setUnitProgramData(Steinberg::int32 listOrUnitId,
                                                   Steinberg::int32 programIndex,
                                                   Steinberg::IBStream* data) override;

  // ---- IPlugBase operations supplied by this binding -------------------------------------
  void BeginParamEdit(int paramIndex) override;
  void NotifyHostParamChange(int paramIndex, double normalized) override;
  void EndParamEdit(int paramIndex) override;
  void NotifyHostProgramChange() override {}
  void HostParamContextMenu(int paramIndex, int x, int y) override;
  bool IsOfflineRender() override;
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void HostTimeInfo(TimeInfo* info) override;
  // Asks the first open view's frame for the new size (IPlugVST3View.cpp).
  void EditorSizeChanged(int width, int height) override;
  void HostSpecificSetup() override {}
  void SetLatencySamples(int frames) override;
  bool SendMidiToHost(const MidiMessage& message) override;
  bool SendSysExToHost(const SysExMessage& message) override;

  OBJ_METHODS(IPlugVST3, SingleComponentEffect)

protected:
  // The copy of the host's transport record from the last process call that
  // carried one; zero until then.
  const Steinberg::Vst::ProcessContext& LastProcessContext() const { return mProcessContext; }

private:
  // The view empties the open-views list when it goes.
  friend class IPlugVST3View;

  void DeclareBuses();
  void DeclareParameters();
  void ApplyParameterChanges(Steinberg::Vst::IParameterChanges* changes);
  void ApplyParameterValue(Steinberg::Vst::ParamID id, double value);
  void ProcessAudio(Steinberg::Vst::ProcessData& data);
  // The plug-in parameter of a VST3 ID, or null (the binding's own IDs and
  // anything else).
  IParameter* PlugParam(Steinberg::Vst::ParamID id);

  Steinberg::Vst::ProcessContext mProcessContext{};
  // Editor views handed to the host; not owning.
  std::vector<Steinberg::IPlugView*> mViews;
  // Distinct parameter group names, in order of appearance; unit i + 1 each.
  std::vector<std::string> mGroupNames;
  // initialize succeeded and terminate has not run since: a second
  // initialize must not declare the buses and parameters again, even when
  // the first one stored no host context.
  bool mInitialized = false;
  // Host channel arrays gathered for the connected pins of one process call;
  // sized at construction so processing does not allocate.
  std::vector<float*> mHostInputs32;
  std::vector<float*> mHostOutputs32;
  std::vector<double*> mHostInputs64;
  std::vector<double*> mHostOutputs64;
};
