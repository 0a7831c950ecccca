#pragma once

#include "IPlugBase.h"
#include "VstInterface.h"

// What the module entry hands to a new instance: the host's callback, as
// given to VSTPluginMain (may be null: every host call then answers 0).
struct IPlugInstanceInfo {
  audioMasterCallback hostCallback = nullptr;
};

// The VST 2.4 binding. Owns the effect record the host holds on to; every
// host call arrives through a function pointer of that record and finds this
// object through the record's `object` field. The plug-in class derives from
// it.
class IPlugVST : public IPlugBase {
public:
  // Longest texts, in characters, copied into buffers the host supplies; the
  // terminator comes on top. Parameter name, label and display take the whole
  // text the parameter model can hold (its 32-byte field): hosts hand buffers
  // far larger than the 8 characters of the old published limit, and cutting
  // there made "High Gain 1" read "High Gai". The others are the published
  // VST 2.4 limits. Every copy into a host buffer goes through one of them,
  // so e.g. the parameter display reads the same through effGetParamDisplay
  // and effVendorSpecific. The fields of the records the host passes (pin
  // label, key name) are filled to their size less one.
  static constexpr int kMaxParamNameChars = kParamTextSize - 1;    // effGetParamName
  static constexpr int kMaxParamLabelChars = kParamTextSize - 1;   // effGetParamLabel
  static constexpr int kMaxParamDisplayChars = kParamTextSize - 1; // effGetParamDisplay
  static constexpr int kMaxProgramNameChars = kVstMaxProgNameLen;  // program names
  static constexpr int kMaxEffectNameChars = kVstMaxEffectNameLen; // effGetEffectName
  static constexpr int kMaxVendorChars = kVstMaxVendorStrLen;      // effGetVendorString
  static constexpr int kMaxProductChars = kVstMaxProductStrLen;    // effGetProductString
  static constexpr int kMaxPinLabelChars = kVstMaxLabelLen - 1;    // VstPinProperties::label
  static constexpr int kMaxKeyNameChars = kVstMaxNameLen - 1;      // MidiKeyName::keyName
  // Longest text read from a host's buffer (program names, parameter texts,
  // capability names); the rest of an unterminated text is ignored.
  static constexpr int kMaxHostTextChars = kPresetNameSize - 1;

  // Answers of effIdentify, effVendorSpecific and effCanDo.
  static constexpr VstInt32 kIdentifyAnswer = VstFourCC('N', 'v', 'E', 'f');
  static constexpr VstIntPtr kVendorSpecificAnswer = 0xBEEF;
  static constexpr VstIntPtr kExtensionAnswer = static_cast<VstIntPtr>(0xBEEF0000u);

  // Fills the effect record, connects every pin and sets a block size of
  // 1024. The host is not called.
  IPlugVST(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity);
  ~IPlugVST() override;

  AEffect* Effect() { return &mAEffect; }
  // The instance behind a record, or null.
  static IPlugVST* FromEffect(AEffect* effect);

  // The process-wide mutex held while an entry point creates an instance.
  static ReentrantLock& InstantiationLock();
  // What the entry point does after creating plug: fills uninitialised
  // preset slots ("Empty"), makes numPrograms at least 1 and returns the
  // record. Null for a null plug.
  static AEffect* CompleteInstantiation(IPlugVST* plug);

  // ---- The record's entries ---------------------------------------------------
  // Each finds the instance through the record and holds the instance lock
  // for the whole call; none lets an exception out.

  static VstIntPtr VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                 void* ptr, float opt);
  static float VSTGetParam(AEffect* effect, VstInt32 index);
  static void VSTSetParam(AEffect* effect, VstInt32 index, float value);
  static void VSTProcessAccumulate(AEffect* effect, float** inputs, float** outputs,
                                   VstInt32 frames);
  static void VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames);
  static void VSTProcessDouble(AEffect* effect, double** inputs, double** outputs, VstInt32 frames);

  // ---- IPlugBase operations that talk to the host -----------------------------

  void BeginParamEdit(int paramIndex) override;
  void NotifyHostParamChange(int paramIndex, double normalized) override;
  void EndParamEdit(int paramIndex) override;
  void NotifyHostProgramChange() override;
  bool IsOfflineRender() override;
  // Transport queries. Answers that make no sense (no record, negative or
  // non-finite values) give 0, or leave the TimeInfo untouched.
  int HostSamplePosition() override;
  double HostTempo() override;
  void HostTimeSignature(int* numerator, int* denominator) override;
  void HostTimeInfo(TimeInfo* info) override;
  // Asks the host for its product string and vendor version the first time.
  int IdentifyHost() override;
  void EditorSizeChanged(int width, int height) override;
  // Once per instance (effOpen): identifies the host, restricts the channel
  // layout to stereo for the hosts that need it, and publishes the pin counts.
  void HostSpecificSetup() override;
  void AttachEditor(IPlugEditor* editor) override;
  void SetLatencySamples(int frames) override;
  bool SendMidiToHost(const MidiMessage& message) override;
  bool SendSysExToHost(const SysExMessage& message) override;

protected:
  // The host callback; 0 when there is none.
  VstIntPtr CallHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

private:
  // What every processing entry does: the MIDI request, then the framework's
  // driver under the lock, with nothing thrown back into the host.
  // accumulate applies to the float form only.
  template <typename Sample>
  static void ProcessEntry(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames,
                           bool accumulate);
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr GetChunk(VstInt32 index, void* ptr);
  VstIntPtr SetChunk(VstInt32 index, VstIntPtr size, void* ptr);
  VstIntPtr ProcessEvents(const VstEvents* events);
  VstIntPtr String2Parameter(VstInt32 index, const char* text);
  VstIntPtr GetPinProperties(bool input, VstInt32 index, VstPinProperties* properties);
  VstIntPtr SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                  const VstSpeakerArrangement* outputs);
  VstIntPtr VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
  VstIntPtr CanDo(const char* text) const;
  // The host's time record asked with the given validity flags, or null.
  const VstTimeInfo* GetTime(VstIntPtr flags);
  void UpdateEditRect(int width, int height);
  void SetArrangement(VstSpeakerArrangement& arrangement, int channels);

  ERect mEditRect{};
  audioMasterCallback mHostCallback;
  VstSpeakerArrangement mInputArrangement{};
  VstSpeakerArrangement mOutputArrangement{};
  bool mHostSpecificSetupDone = false;
  StateChunk mProgramChunk;
  StateChunk mBankChunk;
  AEffect mAEffect{};
};
