#pragma once

#include "DelayLine.h"
#include "IParameter.h"
#include "IPlugEditor.h"
#include "IPlugStructs.h"
#include "PluginIdentity.h"
#include "PresetSlot.h"
#include "ReentrantLock.h"
#include "RelaxedAtomic.h"
#include "StateChunk.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Size of the effect, product and maker name fields, terminator included.
constexpr int kPlugNameSize = 128;

// The plug-in object as the framework sees it, independent of the host format:
// identity, channel configurations and pins, audio configuration, parameters,
// preset slots, what is known about the host, the attached editor, and the one
// re-entrant lock that serialises everything the host and the editor do.
//
// A host binding derives from it and supplies the operations that talk to the
// host (the pure virtual ones); the plug-in derives from the binding and
// overrides ParameterChanged and ProcessBlock.
//
// Locking: take the lock with ScopedLock guard(GetLock()). The operations that
// say so take it themselves; it is re-entrant, so callers holding it are fine.
class IPlugBase {
public:
  // Frames above which SetBlockSize sizes the scratch buffers no larger; the
  // processing driver slices longer host calls, so nothing is lost.
  static constexpr int kMaxBlockSize = 65536;
  // Block size the processing driver falls back to when a host processes
  // before announcing one.
  static constexpr int kFallbackBlockSize = 4096;
  // Most pins created per direction from an I/O string.
  static constexpr int kMaxPins = 128;

  // pluginFormat: kFormatVST2 or kFormatVST3 (EPluginFormat). Creates the
  // parameters (undefined, see IParameter) and the preset slots (uninitialised,
  // named "empty"), parses the I/O string and creates the pins, all
  // disconnected with empty scratch buffers.
  IPlugBase(const PluginIdentity& identity, int pluginFormat);
  IPlugBase(const IPlugBase&) = delete;
  IPlugBase& operator=(const IPlugBase&) = delete;

  // ---- Virtual operations, in slot order ------------------------------------

  // Deletes the editor, then parameters, preset slots and pins, last first.
  virtual ~IPlugBase();
  // After a sample-rate or block-size change. Default: takes and releases the
  // lock.
  virtual void OnReset();
  // After a parameter's value changed. Default: takes and releases the lock.
  virtual void ParameterChanged(int paramIndex);
  // The processing hook. inputs/outputs hold one array per input/output pin
  // (never null entries: disconnected pins supply their scratch buffers), each
  // at least frames long. frames may be 0. Default: each output gets the input
  // of the same index, outputs without one are zeroed.
  virtual void ProcessBlock(double** inputs, double** outputs, int frames);
  virtual void EditorOpened() {}
  virtual void EditorClosed() {}
  virtual void OnIdle() {}
  // Processing switched on or off. Default: takes and releases the lock.
  virtual void ActivationChanged(bool active);
  // Default: sends the message straight back to the host.
  virtual void HandleMidiMessage(const MidiMessage& message);
  virtual void HandleSysEx(const SysExMessage& /*message*/) {}
  // Name of a MIDI note for the host; name holds nameSize bytes. Default: "",
  // false.
  virtual bool GetMidiKeyName(int note, char* name, int nameSize);
  // Appends the plug-in's state. Default: SerializeParams.
  virtual bool WriteState(StateChunk& chunk);
  // Loads the state at startPos; the position after it, or -1. Default:
  // UnserializeParams.
  virtual int ReadState(const StateChunk& chunk, int startPos);
  // Whether the doubles stored at data, beginning startDoubles doubles in (one
  // per parameter), equal the current values as 32-bit floats within 1e-5.
  // dataSize is the number of bytes at data: too few bytes is no match.
  virtual bool StateMatches(const void* data, int dataSize, int startDoubles) const;
  virtual void EditorResized() {}
  // Reserved query for plug-ins; nothing in the framework asks it.
  virtual bool QueryExtension() { return false; }
  // The binding has identified the host (GetHost).
  virtual void HostIdentified() {}
  // The editor's right-click on a control bound to a parameter.
  virtual void HostParamContextMenu(int /*paramIndex*/, int /*x*/, int /*y*/) {}
  // Called by the editor while the user moves a control: under the lock, sets
  // the parameter from its normalised value, tells the host
  // (NotifyHostParamChange) and calls ParameterChanged. Invalid indices are
  // ignored.
  virtual void SetParameterFromEditor(int paramIndex, double normalized);
  // Start, value and end of a user gesture on a parameter, sent to the host.
  virtual void BeginParamEdit(int paramIndex) = 0;
  virtual void NotifyHostParamChange(int paramIndex, double normalized) = 0;
  virtual void EndParamEdit(int paramIndex) = 0;
  virtual void NotifyHostProgramChange() = 0;
  virtual bool IsOfflineRender() { return false; }
  // Transport queries answered from the host.
  virtual int HostSamplePosition() = 0;
  virtual double HostTempo() = 0;
  virtual void HostTimeSignature(int* numerator, int* denominator) = 0;
  virtual void HostTimeInfo(TimeInfo* info) = 0;
  // The stored host code (bindings identify the host on first use).
  virtual int IdentifyHost();
  // kFormatVST2 or kFormatVST3.
  virtual int PluginFormat() const;
  // The editor changed its own size.
  virtual void EditorSizeChanged(int width, int height) = 0;
  virtual void HostSpecificSetup() {}
  // Takes ownership of editor (null: nothing). Under the lock: pushes every
  // parameter's normalised value into its controls, lets the editor prepare
  // its drawing surfaces, and keeps it (deleting one attached before).
  virtual void AttachEditor(IPlugEditor* editor);
  // Latency in frames (negative counts as 0); under the lock, an existing
  // delay line is set to it and cleared. Bindings add their host updates.
  virtual void SetLatencySamples(int frames);
  virtual bool SendMidiToHost(const MidiMessage& message) = 0;
  virtual bool SendSysExToHost(const SysExMessage& /*message*/) { return false; }
  // Pushes every parameter's real value into the editor's controls.
  virtual void RefreshEditorControls();
  // Reserved notification for plug-ins; nothing in the framework sends it.
  virtual void OnNotification() {}
  // The preset list or the current preset changed.
  virtual void HostChangedPresets() {}
  // Maximum frames per processing call. Under the lock, a new size resizes
  // every scratch buffer to that many zeros (allocates: not for the audio
  // thread); the same size keeps their contents. Sizes above kMaxBlockSize are stored as
  // kMaxBlockSize. False, with everything kept, for a negative size or when
  // the memory cannot be had.
  virtual bool SetBlockSize(int frames);

  // ---- Identity -------------------------------------------------------------

  const char* GetEffectName() const { return mEffectName; }
  const char* GetProductName() const { return mProductName; }
  const char* GetMakerName() const { return mMakerName; }
  int32_t GetUniqueID() const { return mUniqueID; }
  int32_t GetMakerID() const { return mMakerID; }
  // 0xVVVVRRMM.
  int32_t GetVersion() const { return mVersion; }
  // major * 10000 + minor * 100 + revision (10000 for 1.0.0).
  int GetVersionDecimal() const;
  bool DoesStateChunks() const { return mDoesStateChunks; }
  bool IsInstrument() const { return mIsInstrument; }
  bool DoesMidi() const { return mDoesMidi; }

  // ---- Host ------------------------------------------------------------------

  // Host code (EHost; kHostUninit until identified) and version 0xVVVVRRMM.
  int GetHost() const { return mHost; }
  int32_t GetHostVersion() const { return mHostVersion; }
  // Host code := HostFromProductName(productName); version stored as given.
  void SetHostInfo(const char* productName, int32_t version);

  // ---- Lock, editor ----------------------------------------------------------

  ReentrantLock& GetLock() { return mLock; }
  // The attached editor, or null.
  IPlugEditor* GetEditor() const { return mEditor.get(); }

  // ---- Parameters ------------------------------------------------------------

  int NumParams() const { return static_cast<int>(mParams.size()); }
  // Null outside 0..NumParams()-1.
  IParameter* GetParam(int index);
  const IParameter* GetParam(int index) const;

  // ---- Audio configuration ---------------------------------------------------

  double GetSampleRate() const { return mSampleRate; }
  void SetSampleRate(double sampleRate) { mSampleRate = sampleRate; }
  int GetBlockSize() const { return mBlockSize; }
  int GetLatency() const { return mLatency; }
  int GetTailSize() const { return mTailSize; }
  void SetTailSize(int frames) { mTailSize = frames; }
  // Set by a binding from the host's own bypass: the processing driver then
  // passes the input through instead of calling ProcessBlock.
  bool IsBypassed() const { return mIsBypassed; }
  void SetBypassed(bool bypassed) { mIsBypassed = bypassed; }

  // ---- Channel configurations and pins ---------------------------------------

  int NumIOConfigs() const { return static_cast<int>(mIOConfigs.size()); }
  // Null outside the list.
  const IOConfig* GetIOConfig(int index) const;
  // Whether a declared configuration has this input and output count; a
  // negative count matches any.
  bool LegalIO(int inputs, int outputs) const;

  int NumInputs() const { return static_cast<int>(mInputPins.size()); }
  int NumOutputs() const { return static_cast<int>(mOutputPins.size()); }
  bool IsInputConnected(int pin) const;
  bool IsOutputConnected(int pin) const;
  // Pins first .. min(first + count, pins) - 1; a disconnected pin's slot
  // points at its own scratch buffer.
  void SetInputConnections(int first, int count, bool connected);
  void SetOutputConnections(int first, int count, bool connected);
  // Input pins from 2 up disconnected; output pins from 2 up connected.
  void RestrictToStereo();
  // Pin labels ("" unless set; a binding shows its default name then).
  const char* GetInputPinLabel(int pin) const;
  const char* GetOutputPinLabel(int pin) const;
  void SetInputPinLabel(int pin, const char* label);
  void SetOutputPinLabel(int pin, const char* label);

  // The arrays ProcessBlock receives: one entry per input / output pin.
  double** InputPointers() { return mInputPointers.data(); }
  double** OutputPointers() { return mOutputPointers.data(); }

  // ---- Attaching host buffers -------------------------------------------------
  // Host arrays are consumed in order by the connected pins among
  // first .. min(first + count, pins) - 1, at most numArrays of them, each
  // starting offset frames in. A connected pin left without a host array (too
  // few arrays, or a null one) reads silence and its results are discarded.
  // Disconnected pins keep their slots on their scratch buffers. No operation
  // here allocates; every copy stays inside the scratch buffers.

  // Converts frames samples (at most the block size) of each host array into
  // the pin's scratch buffer.
  void AttachInputs(int first, int count, const float* const* arrays, int numArrays, int frames,
                    int offset = 0);
  // Points the pins at the host arrays (no copy).
  void AttachInputs(int first, int count, const double* const* arrays, int numArrays,
                    int offset = 0);
  // Points the pins at their scratch buffers and remembers the host arrays as
  // float destinations of the copy-back.
  void AttachOutputs(int first, int count, float* const* arrays, int numArrays, int offset = 0);
  // Points the pins at the host arrays.
  void AttachOutputs(int first, int count, double* const* arrays, int numArrays, int offset = 0);
  // After ProcessBlock in the float form: connected outputs' scratch samples
  // (at most the block size) converted to float over / added to the host's.
  void CopyOutputsReplacing(int frames);
  void CopyOutputsAccumulating(int frames);

  // ---- Processing driver -------------------------------------------------------
  // What every binding calls for a host processing call. Under the lock, in
  // slices of at most the block size: attach the host arrays at the slice's
  // offset, run ProcessBlock (PassThrough while bypassed), deliver the float
  // results. So a call with more frames than the block size loses no audio and
  // writes nothing out of bounds. inputs/outputs are the host's channel arrays
  // (numInputs/numOutputs of them, consumed by connected pins from pin 0 on);
  // pin connections are the binding's business beforehand.
  //
  // frames <= 0: ProcessBlock runs once with 0 frames and no audio is touched.
  // No block size announced yet (0): the scratch buffers are sized on the spot
  // to min(frames, kFallbackBlockSize); that allocation on the audio thread is
  // the price of a host breaking the contract, and if it fails the host's
  // outputs get silence (the accumulating form leaves them as they are).
  void ProcessHostFloat(const float* const* inputs, int numInputs, float* const* outputs,
                        int numOutputs, int frames, bool accumulate = false);
  void ProcessHostDouble(const double* const* inputs, int numInputs, double* const* outputs,
                         int numOutputs, int frames);

  // Outputs := inputs (through the delay line when there is latency), on the
  // current pointer arrays, whatever ProcessBlock the plug-in has.
  void PassThrough(int frames);
  // Zeroes every scratch buffer.
  void ClearScratchBuffers();

  // ---- Bus labels and delay line (VST3 binding) -------------------------------

  void AddInputBusLabel(const char* label);
  void AddOutputBusLabel(const char* label);
  int NumInputBusLabels() const { return static_cast<int>(mInputBusLabels.size()); }
  int NumOutputBusLabels() const { return static_cast<int>(mOutputBusLabels.size()); }
  // "" outside the list.
  const char* GetInputBusLabel(int index) const;
  const char* GetOutputBusLabel(int index) const;
  // Creates (or re-creates) the pass-through delay line for the pins, delaying
  // by the current latency.
  void CreateDelayLine();
  DelayLine* GetDelayLine() const { return mDelayLine.get(); }

  // ---- State and presets --------------------------------------------------------

  // Under the lock, appends each parameter's real value as a double; true if
  // every append succeeded.
  bool SerializeParams(StateChunk& chunk);
  // Under the lock, reads one double per parameter from startPos and applies
  // it with SetValue (clamped; NaN keeps the value); the first parameter
  // without data gets 0.0 (clamped) and the position becomes -1, later ones
  // are untouched. Then ParameterChanged for every parameter. Returns the
  // position after the values, or -1.
  int UnserializeParams(const StateChunk& chunk, int startPos);
  // For each slot: name (string), initialised (flag), its state bytes if
  // initialised. True if every append succeeded (true without slots).
  bool SerializePresets(StateChunk& chunk);
  // Reads what SerializePresets wrote into the slots (loading each initialised
  // slot's values through ReadState and storing them back with WriteState),
  // then recalls the current slot. Returns the end position, or -1. A failed
  // load is not rolled back. Names are cut to 255 bytes.
  int UnserializePresets(const StateChunk& chunk, int startPos);
  // Stores the live state into the current slot; a non-empty name renames it.
  void ModifyCurrentPreset(const char* name = nullptr);
  // Makes a slot current: loads an initialised slot, or initialises an empty
  // one with the live state under the next "user preset N" name. On success
  // HostChangedPresets and RefreshEditorControls follow. False outside the
  // list or when loading / storing fails.
  bool RecallPreset(int index);
  // Up to count times: the first uninitialised slot gets the name ("Empty"
  // when null) and the live state.
  void FillUninitializedPresets(const char* name, int count);
  // "user preset N", N = 1 + the number of slots whose name contains
  // "user preset".
  std::string NextUserPresetName() const;

  int NumPresets() const { return static_cast<int>(mPresets.size()); }
  int GetCurrentPresetIdx() const { return mCurrentPresetIdx; }
  // Null outside the list.
  PresetSlot* GetPreset(int index);
  const PresetSlot* GetPreset(int index) const;
  // "" outside the list.
  const char* GetPresetName(int index) const;

private:
  void ParseIOString(const char* text);
  // Outputs := inputs of the same index, others zeroed; on given arrays.
  void CopyInputsToOutputs(double** inputs, double** outputs, int frames) const;
  // Slot of every pin := its scratch buffer (after the buffers moved).
  void PointSlotsAtScratch();
  // Sizes the scratch buffers when no block size was announced; false when
  // there is still no room to process.
  // Number of output pins that consume host arrays.
  int ConnectedOutputs() const;
  bool EnsureBlockSize(int frames);
  // One slice of a host call on the attached pointer arrays: ProcessBlock,
  // or PassThrough while bypassed.
  void ProcessSlice(int frames);

  std::vector<IOConfig> mIOConfigs;
  ReentrantLock mLock;
  char mEffectName[kPlugNameSize] = {};
  char mProductName[kPlugNameSize] = {};
  char mMakerName[kPlugNameSize] = {};
  int32_t mUniqueID;
  int32_t mMakerID;
  int32_t mVersion;
  int mPluginFormat;
  // Values one host thread may read while another writes them without the
  // instance lock (VST3 controller queries, the host identity asked from any
  // thread): relaxed atomics, never torn, never a data race.
  RelaxedAtomic<int> mHost{-1};
  RelaxedAtomic<int32_t> mHostVersion{0};
  bool mDoesStateChunks;
  bool mIsInstrument;
  bool mDoesMidi;
  RelaxedAtomic<bool> mIsBypassed{false};
  RelaxedAtomic<int> mCurrentPresetIdx{0};
  RelaxedAtomic<double> mSampleRate{44100.0};
  int mBlockSize = 0;
  RelaxedAtomic<int> mLatency;
  RelaxedAtomic<int> mTailSize{0};
  std::unique_ptr<DelayLine> mDelayLine;
  std::unique_ptr<IPlugEditor> mEditor;
  std::vector<IParameter> mParams;
  std::vector<PresetSlot> mPresets;
  std::vector<double*> mInputPointers;
  std::vector<double*> mOutputPointers;
  std::vector<InputPin> mInputPins;
  std::vector<OutputPin> mOutputPins;
  std::vector<std::string> mInputBusLabels;
  std::vector<std::string> mOutputBusLabels;
};
