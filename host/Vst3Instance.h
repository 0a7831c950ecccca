#pragma once

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <cstdint>
#include <string>
#include <vector>

// One plug-in instance driven as a host drives it, through the VST3
// interfaces only: created from a module's factory, initialised with a host
// context, given bus arrangements and a process set-up, activated, fed
// audio blocks and parameter changes, asked for and given its state, and
// finally deactivated, terminated and released.
//
// A plug-in whose component is also its edit controller is used as both;
// otherwise the controller class the component names is created and
// initialised beside it.
class Vst3Instance {
public:
  Vst3Instance() = default;
  ~Vst3Instance();
  Vst3Instance(const Vst3Instance&) = delete;
  Vst3Instance& operator=(const Vst3Instance&) = delete;

  // Creates the class with the given ID, or the first "Audio Module Class"
  // when classId is null, and initialises it with context (may be null).
  // False on failure, with the reason in Error().
  bool Create(Steinberg::IPluginFactory* factory, Steinberg::FUnknown* context,
              const Steinberg::TUID* classId = nullptr);
  // Stops processing, terminates and releases everything. Safe to repeat.
  void Destroy();
  bool IsCreated() const { return mComponent != nullptr; }
  const std::string& Error() const { return mError; }

  Steinberg::Vst::IComponent* Component() const { return mComponent; }
  Steinberg::Vst::IAudioProcessor* Processor() const { return mProcessor; }
  Steinberg::Vst::IEditController* Controller() const { return mController; }
  bool ControllerIsComponent() const { return mSingleObject; }

  // Arrangement for a channel count: mono, stereo, else empty.
  static Steinberg::Vst::SpeakerArrangement ArrangementFor(int channels);

  // setBusArrangements (channels in, channels out), setupProcessing,
  // activation of the main audio buses, setActive (true) and
  // setProcessing (true). False with the reason in Error() when the plug-in
  // refuses the arrangement, the sample size or the set-up.
  bool Start(int channels, double sampleRate, int maxBlock,
             Steinberg::int32 sampleSize = Steinberg::Vst::kSample32,
             Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
  // setProcessing (false) and setActive (false) when started.
  void Stop();
  bool IsStarted() const { return mStarted; }
  int Channels() const { return mChannels; }
  int MaxBlock() const { return mMaxBlock; }

  // One process call over Channels() channels each way. Buffers must hold
  // frames samples per channel. changes and context may be null.
  Steinberg::tresult Process(float** inputs, float** outputs, int frames,
                             Steinberg::Vst::IParameterChanges* changes = nullptr,
                             Steinberg::Vst::ProcessContext* context = nullptr);
  Steinberg::tresult Process(double** inputs, double** outputs, int frames,
                             Steinberg::Vst::IParameterChanges* changes = nullptr,
                             Steinberg::Vst::ProcessContext* context = nullptr);

  // The component's state as bytes; false when the plug-in refused.
  bool GetState(std::vector<std::uint8_t>& bytes);
  // Gives the bytes to the component (and to a separate controller as its
  // component state); false when the plug-in refused them.
  bool SetState(const std::vector<std::uint8_t>& bytes);

  int ParameterCount() const;
  bool ParameterInfo(int index, Steinberg::Vst::ParameterInfo& info) const;
  // The ID of the parameter titled title (ASCII comparison), or -1.
  long long FindParameter(const std::string& title) const;
  static std::string Narrow(const Steinberg::Vst::TChar* text);

private:
  Steinberg::tresult ProcessBlock(void** inputs, void** outputs, int frames,
                                  Steinberg::int32 sampleSize,
                                  Steinberg::Vst::IParameterChanges* changes,
                                  Steinberg::Vst::ProcessContext* context);

  Steinberg::Vst::IComponent* mComponent = nullptr;
  Steinberg::Vst::IAudioProcessor* mProcessor = nullptr;
  Steinberg::Vst::IEditController* mController = nullptr;
  bool mSingleObject = false;
  bool mControllerInitialized = false;
  bool mStarted = false;
  int mChannels = 0;
  int mMaxBlock = 0;
  Steinberg::int32 mSampleSize = Steinberg::Vst::kSample32;
  Steinberg::int32 mProcessMode = Steinberg::Vst::kRealtime;
  std::string mError;
};
