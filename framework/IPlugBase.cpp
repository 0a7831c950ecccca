#include "IPlugBase.h"

#include "FixedText.h"
#include "HostIdentification.h"
#include "Trace.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <exception>

namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Reads an optionally signed decimal integer like scanf's %d (leading white
// space skipped), saturating instead of overflowing. False if there are no
// digits; p then stays where it was.
bool ReadInt(const char*& p, int* value) {
  const char* q = p;
  while (IsSpace(*q))
    ++q;
  bool negative = false;
  if (*q == '+' || *q == '-') negative = *q++ == '-';
  if (*q < '0' || *q > '9') return false;
  long long v = 0;
  for (; *q >= '0' && *q <= '9'; ++q) {
    if (v <= static_cast<long long>(INT_MAX) + 1) v = v * 10 + (*q - '0');
  }
  if (negative) v = -v;
  *value = static_cast<int>(
      std::clamp(v, static_cast<long long>(INT_MIN), static_cast<long long>(INT_MAX)));
  p = q;
  return true;
}

void ZeroFill(std::vector<double>& buffer) {
  std::fill(buffer.begin(), buffer.end(), 0.0);
}

std::size_t Frames(int frames) {
  return static_cast<std::size_t>(frames > 0 ? frames : 0);
}

// The element at index, or null outside the list.
template <typename Vector> auto ItemAt(Vector& items, int index) -> decltype(&items[0]) {
  if (index < 0 || static_cast<std::size_t>(index) >= items.size()) return nullptr;
  return &items[static_cast<std::size_t>(index)];
}

// The pins first .. min(first + count, pins) - 1, without first + count
// overflowing.
struct PinRange {
  int begin;
  int end;
};
PinRange ClipPinRange(int first, int count, int pins) {
  return {std::max(first, 0),
          static_cast<int>(std::min<long long>(static_cast<long long>(first) + count, pins))};
}

// Hands the connected pins among first .. min(first + count, pins) - 1 the
// host arrays in order: attach(index, pin, array), array null once the host's
// numArrays are used up (or where the host passed null).
template <typename Pin, typename Sample, typename Attach>
void AttachConnectedPins(std::vector<Pin>& pins, int first, int count, Sample* const* arrays,
                         int numArrays, Attach attach) {
  const PinRange range = ClipPinRange(first, count, static_cast<int>(pins.size()));
  int next = 0;
  for (int i = range.begin; i < range.end; ++i) {
    Pin& pin = pins[static_cast<std::size_t>(i)];
    if (!pin.connected) continue;
    Sample* array = (arrays && next < numArrays) ? arrays[next] : nullptr;
    ++next;
    attach(static_cast<std::size_t>(i), pin, array);
  }
}

// Runs slice(offset, frames) over consecutive slices of at most blockSize
// frames covering 0 .. frames - 1; once with 0 frames when there are none.
template <typename Slice> void ForEachSlice(int frames, int blockSize, Slice slice) {
  const int total = std::max(frames, 0);
  int offset = 0;
  do {
    const int n = std::min(blockSize, total - offset);
    slice(offset, n);
    offset += n;
  } while (offset < total);
}

// The host's outputs silenced, for a call that cannot be processed. Only the
// arrays the connected pins would have consumed are the host's to write.
template <typename Sample>
void Silence(Sample* const* outputs, int numOutputs, int connectedPins, int frames) {
  const int n = std::min(numOutputs, connectedPins);
  for (int c = 0; c < n; ++c)
    if (outputs[c]) std::fill(outputs[c], outputs[c] + frames, Sample(0));
}

} // namespace

IPlugBase::IPlugBase(const PluginIdentity& identity, int pluginFormat)
    : mUniqueID(identity.uniqueID), mMakerID(identity.makerID), mVersion(identity.version),
      mPluginFormat(pluginFormat), mDoesStateChunks(identity.doesStateChunks),
      mIsInstrument(identity.isInstrument), mDoesMidi(identity.doesMidi),
      mLatency(std::max(identity.latency, 0)) {
  TRACE_OP("%s", identity.effectName ? identity.effectName : "");
  mParams.resize(static_cast<std::size_t>(std::max(identity.numParams, 0)));
  mPresets.resize(static_cast<std::size_t>(std::max(identity.numPresets, 0)));
  CopyFixedText(mEffectName, identity.effectName);
  CopyFixedText(mProductName, identity.productName);
  CopyFixedText(mMakerName, identity.makerName);
  ParseIOString(identity.channelIOString);
}

IPlugBase::~IPlugBase() {
  TRACE_OP("");
  mEditor.reset();
  while (!mParams.empty())
    mParams.pop_back();
  while (!mPresets.empty())
    mPresets.pop_back();
  while (!mInputPins.empty())
    mInputPins.pop_back();
  while (!mOutputPins.empty())
    mOutputPins.pop_back();
  mIOConfigs.clear();
  mInputBusLabels.clear();
  mOutputBusLabels.clear();
  mDelayLine.reset();
}

void IPlugBase::ParseIOString(const char* text) {
  int maxInputs = 0;
  int maxOutputs = 0;
  const char* token = text ? text : "";
  for (;;) {
    // Like "%d-%d": a number that cannot be read counts as 0.
    IOConfig config;
    const char* p = token;
    if (ReadInt(p, &config.inputs) && *p == '-') {
      ++p;
      ReadInt(p, &config.outputs);
    }
    mIOConfigs.push_back(config);
    maxInputs = std::max(maxInputs, config.inputs);
    maxOutputs = std::max(maxOutputs, config.outputs);
    // Every space starts a new token, even a second one in a row.
    const char* space = std::strchr(token, ' ');
    if (!space) break;
    token = space + 1;
  }
  mInputPins.resize(static_cast<std::size_t>(std::min(maxInputs, kMaxPins)));
  mOutputPins.resize(static_cast<std::size_t>(std::min(maxOutputs, kMaxPins)));
  mInputPointers.assign(mInputPins.size(), nullptr);
  mOutputPointers.assign(mOutputPins.size(), nullptr);
  PointSlotsAtScratch();
}

// ---- Virtual operations ------------------------------------------------------

void IPlugBase::OnReset() {
  TRACE_OP("");
  ScopedLock guard(mLock);
}

void IPlugBase::ParameterChanged(int paramIndex) {
  TRACE_OP("%d", paramIndex);
  ScopedLock guard(mLock);
}

void IPlugBase::ProcessBlock(double** inputs, double** outputs, int frames) {
  CopyInputsToOutputs(inputs, outputs, frames);
}

void IPlugBase::ActivationChanged(bool active) {
  TRACE_OP("%d", active ? 1 : 0);
  ScopedLock guard(mLock);
}

void IPlugBase::HandleMidiMessage(const MidiMessage& message) {
  SendMidiToHost(message);
}

bool IPlugBase::GetMidiKeyName(int /*note*/, char* name, int nameSize) {
  if (name && nameSize > 0) name[0] = '\0';
  return false;
}

bool IPlugBase::WriteState(StateChunk& chunk) {
  return SerializeParams(chunk);
}

int IPlugBase::ReadState(const StateChunk& chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

bool IPlugBase::StateMatches(const void* data, int dataSize, int startDoubles) const {
  if (!data || dataSize < 0 || startDoubles < 0) return false;
  const long long needed = (static_cast<long long>(startDoubles) + NumParams()) * 8;
  if (needed > dataSize) return false;
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  for (int i = 0; i < NumParams(); ++i) {
    double stored = 0.0;
    std::memcpy(&stored, bytes + (static_cast<std::size_t>(startDoubles) + i) * 8, sizeof(stored));
    const float a = static_cast<float>(mParams[static_cast<std::size_t>(i)].Value());
    const float b = static_cast<float>(stored);
    if (!(std::fabs(a - b) < 1e-5)) return false;
  }
  return true;
}

void IPlugBase::SetParameterFromEditor(int paramIndex, double normalized) {
  TRACE_OP("%d %f", paramIndex, normalized);
  ScopedLock guard(mLock);
  IParameter* param = GetParam(paramIndex);
  if (!param) return;
  param->SetNormalizedValue(normalized);
  NotifyHostParamChange(paramIndex, normalized);
  ParameterChanged(paramIndex);
}

int IPlugBase::IdentifyHost() {
  return mHost;
}

int IPlugBase::PluginFormat() const {
  return mPluginFormat;
}

void IPlugBase::AttachEditor(IPlugEditor* editor) {
  TRACE_OP("");
  if (!editor) return;
  ScopedLock guard(mLock);
  for (int i = 0; i < NumParams(); ++i)
    editor->SetParamFromHost(i, mParams[static_cast<std::size_t>(i)].NormalizedValue(), true);
  editor->PrepareSurfaces();
  if (mEditor.get() != editor) mEditor.reset(editor);
}

void IPlugBase::SetLatencySamples(int frames) {
  ScopedLock guard(mLock); // the delay line may be in use by processing
  mLatency = std::max(frames, 0);
  if (mDelayLine) mDelayLine->SetLength(mLatency);
}

void IPlugBase::RefreshEditorControls() {
  ScopedLock guard(mLock);
  if (!mEditor) return;
  for (int i = 0; i < NumParams(); ++i)
    mEditor->SetParamFromHost(i, mParams[static_cast<std::size_t>(i)].Value(), false);
}

bool IPlugBase::SetBlockSize(int frames) {
  TRACE_OP("%d", frames);
  if (frames < 0) return false;
  // The old buffers are freed: never while a processing call uses them.
  ScopedLock guard(mLock);
  frames = std::min(frames, kMaxBlockSize);
  if (frames == mBlockSize) return true;
  // Build every buffer first, so a failure leaves the old ones intact.
  std::vector<std::vector<double>> inputs, outputs;
  try {
    inputs.assign(mInputPins.size(), std::vector<double>(Frames(frames), 0.0));
    outputs.assign(mOutputPins.size(), std::vector<double>(Frames(frames), 0.0));
  } catch (const std::exception&) {
    return false;
  }
  for (std::size_t i = 0; i < mInputPins.size(); ++i)
    mInputPins[i].scratch.swap(inputs[i]);
  for (std::size_t i = 0; i < mOutputPins.size(); ++i) {
    mOutputPins[i].scratch.swap(outputs[i]);
    mOutputPins[i].floatDest = nullptr;
  }
  mBlockSize = frames;
  PointSlotsAtScratch();
  return true;
}

// ---- Identity and host ----------------------------------------------------------

int IPlugBase::GetVersionDecimal() const {
  const uint32_t v = static_cast<uint32_t>(mVersion);
  return static_cast<int>((v >> 16) * 10000u + ((v >> 8) & 0xFFu) * 100u + (v & 0xFFu));
}

void IPlugBase::SetHostInfo(const char* productName, int32_t version) {
  TRACE_OP("%s %d", productName ? productName : "", version);
  mHost = HostFromProductName(productName);
  mHostVersion = version;
}

// ---- Parameters ----------------------------------------------------------------

IParameter* IPlugBase::GetParam(int index) {
  return ItemAt(mParams, index);
}

const IParameter* IPlugBase::GetParam(int index) const {
  return ItemAt(mParams, index);
}

// ---- Channel configurations and pins ---------------------------------------------

const IOConfig* IPlugBase::GetIOConfig(int index) const {
  return ItemAt(mIOConfigs, index);
}

bool IPlugBase::LegalIO(int inputs, int outputs) const {
  for (const IOConfig& config : mIOConfigs) {
    if ((inputs < 0 || config.inputs == inputs) && (outputs < 0 || config.outputs == outputs))
      return true;
  }
  return false;
}

bool IPlugBase::IsInputConnected(int pin) const {
  const InputPin* p = ItemAt(mInputPins, pin);
  return p && p->connected;
}

bool IPlugBase::IsOutputConnected(int pin) const {
  const OutputPin* p = ItemAt(mOutputPins, pin);
  return p && p->connected;
}

void IPlugBase::SetInputConnections(int first, int count, bool connected) {
  const PinRange range = ClipPinRange(first, count, NumInputs());
  for (int i = range.begin; i < range.end; ++i) {
    InputPin& pin = mInputPins[static_cast<std::size_t>(i)];
    pin.connected = connected;
    if (!connected) {
      // Silence from now on: the last block converted while the pin was
      // connected would otherwise be replayed into every later block.
      std::fill(pin.scratch.begin(), pin.scratch.end(), 0.0);
      mInputPointers[static_cast<std::size_t>(i)] = pin.scratch.data();
    }
  }
}

void IPlugBase::SetOutputConnections(int first, int count, bool connected) {
  const PinRange range = ClipPinRange(first, count, NumOutputs());
  for (int i = range.begin; i < range.end; ++i) {
    OutputPin& pin = mOutputPins[static_cast<std::size_t>(i)];
    pin.connected = connected;
    if (!connected) {
      mOutputPointers[static_cast<std::size_t>(i)] = pin.scratch.data();
      pin.floatDest = nullptr;
    }
  }
}

void IPlugBase::RestrictToStereo() {
  if (NumInputs() > 2) SetInputConnections(2, NumInputs() - 2, false);
  if (NumOutputs() > 2) SetOutputConnections(2, NumOutputs() - 2, true);
}

const char* IPlugBase::GetInputPinLabel(int pin) const {
  const InputPin* p = ItemAt(mInputPins, pin);
  return p ? p->label.c_str() : "";
}

const char* IPlugBase::GetOutputPinLabel(int pin) const {
  const OutputPin* p = ItemAt(mOutputPins, pin);
  return p ? p->label.c_str() : "";
}

void IPlugBase::SetInputPinLabel(int pin, const char* label) {
  if (InputPin* p = ItemAt(mInputPins, pin)) p->label = label ? label : "";
}

void IPlugBase::SetOutputPinLabel(int pin, const char* label) {
  if (OutputPin* p = ItemAt(mOutputPins, pin)) p->label = label ? label : "";
}

void IPlugBase::PointSlotsAtScratch() {
  for (std::size_t i = 0; i < mInputPins.size(); ++i)
    mInputPointers[i] = mInputPins[i].scratch.data();
  for (std::size_t i = 0; i < mOutputPins.size(); ++i)
    mOutputPointers[i] = mOutputPins[i].scratch.data();
}

// ---- Attaching host buffers ---------------------------------------------------------

void IPlugBase::AttachInputs(int first, int count, const float* const* arrays, int numArrays,
                             int frames, int offset) {
  AttachConnectedPins(mInputPins, first, count, arrays, numArrays,
                      [&](std::size_t i, InputPin& pin, const float* src) {
                        const std::size_t n = std::min(Frames(frames), pin.scratch.size());
                        double* dest = pin.scratch.data();
                        if (src) {
                          src += std::max(offset, 0);
                          for (std::size_t s = 0; s < n; ++s)
                            dest[s] = static_cast<double>(src[s]);
                        } else {
                          std::fill(dest, dest + n, 0.0);
                        }
                        mInputPointers[i] = dest;
                      });
}

void IPlugBase::AttachInputs(int first, int count, const double* const* arrays, int numArrays,
                             int offset) {
  AttachConnectedPins(mInputPins, first, count, arrays, numArrays,
                      [&](std::size_t i, InputPin& pin, const double* src) {
                        if (src) {
                          // ProcessBlock's signature takes writable arrays;
                          // inputs are only read.
                          mInputPointers[i] = const_cast<double*>(src) + std::max(offset, 0);
                        } else {
                          ZeroFill(pin.scratch);
                          mInputPointers[i] = pin.scratch.data();
                        }
                      });
}

void IPlugBase::AttachOutputs(int first, int count, float* const* arrays, int numArrays,
                              int offset) {
  AttachConnectedPins(mOutputPins, first, count, arrays, numArrays,
                      [&](std::size_t i, OutputPin& pin, float* dest) {
                        mOutputPointers[i] = pin.scratch.data();
                        pin.floatDest = dest ? dest + std::max(offset, 0) : nullptr;
                      });
}

void IPlugBase::AttachOutputs(int first, int count, double* const* arrays, int numArrays,
                              int offset) {
  AttachConnectedPins(mOutputPins, first, count, arrays, numArrays,
                      [&](std::size_t i, OutputPin& pin, double* dest) {
                        mOutputPointers[i] = dest ? dest + std::max(offset, 0) : pin.scratch.data();
                        pin.floatDest = nullptr;
                      });
}

void IPlugBase::CopyOutputsReplacing(int frames) {
  for (OutputPin& pin : mOutputPins) {
    if (!pin.connected || !pin.floatDest) continue;
    const std::size_t n = std::min(Frames(frames), pin.scratch.size());
    for (std::size_t s = 0; s < n; ++s)
      pin.floatDest[s] = static_cast<float>(pin.scratch[s]);
  }
}

void IPlugBase::CopyOutputsAccumulating(int frames) {
  for (OutputPin& pin : mOutputPins) {
    if (!pin.connected || !pin.floatDest) continue;
    const std::size_t n = std::min(Frames(frames), pin.scratch.size());
    for (std::size_t s = 0; s < n; ++s)
      pin.floatDest[s] += static_cast<float>(pin.scratch[s]);
  }
}

// ---- Processing driver ------------------------------------------------------------

int IPlugBase::ConnectedOutputs() const {
  return static_cast<int>(std::count_if(mOutputPins.begin(), mOutputPins.end(),
                                        [](const OutputPin& pin) { return pin.connected; }));
}

bool IPlugBase::EnsureBlockSize(int frames) {
  if (mBlockSize > 0) return true;
  if (frames <= 0) return true; // nothing to hold
  return SetBlockSize(std::min(frames, kFallbackBlockSize)) && mBlockSize > 0;
}

void IPlugBase::ProcessHostFloat(const float* const* inputs, int numInputs, float* const* outputs,
                                 int numOutputs, int frames, bool accumulate) {
  ScopedLock guard(mLock);
  if (!inputs) numInputs = 0;
  if (!outputs) numOutputs = 0;
  if (!EnsureBlockSize(frames)) {
    if (!accumulate) Silence(outputs, numOutputs, ConnectedOutputs(), frames);
    return;
  }
  ForEachSlice(frames, mBlockSize, [&](int offset, int n) {
    AttachInputs(0, NumInputs(), inputs, numInputs, n, offset);
    AttachOutputs(0, NumOutputs(), outputs, numOutputs, offset);
    ProcessSlice(n);
    if (accumulate)
      CopyOutputsAccumulating(n);
    else
      CopyOutputsReplacing(n);
  });
}

void IPlugBase::ProcessHostDouble(const double* const* inputs, int numInputs,
                                  double* const* outputs, int numOutputs, int frames) {
  ScopedLock guard(mLock);
  if (!inputs) numInputs = 0;
  if (!outputs) numOutputs = 0;
  if (!EnsureBlockSize(frames)) {
    Silence(outputs, numOutputs, ConnectedOutputs(), frames);
    return;
  }
  ForEachSlice(frames, mBlockSize, [&](int offset, int n) {
    AttachInputs(0, NumInputs(), inputs, numInputs, offset);
    AttachOutputs(0, NumOutputs(), outputs, numOutputs, offset);
    ProcessSlice(n);
  });
}

void IPlugBase::ProcessSlice(int frames) {
  if (mIsBypassed)
    PassThrough(frames);
  else
    ProcessBlock(mInputPointers.data(), mOutputPointers.data(), frames);
}

void IPlugBase::CopyInputsToOutputs(double** inputs, double** outputs, int frames) const {
  if (!outputs || frames <= 0) return;
  const std::size_t bytes = sizeof(double) * Frames(frames);
  for (int i = 0; i < NumOutputs(); ++i) {
    double* out = outputs[i];
    if (!out) continue;
    const double* in = (inputs && i < NumInputs()) ? inputs[i] : nullptr;
    if (in) {
      if (in != out) std::memmove(out, in, bytes);
    } else {
      std::memset(out, 0, bytes);
    }
  }
}

void IPlugBase::PassThrough(int frames) {
  if (mLatency != 0 && mDelayLine)
    mDelayLine->Process(mInputPointers.data(), mOutputPointers.data(), frames);
  else
    CopyInputsToOutputs(mInputPointers.data(), mOutputPointers.data(), frames);
}

void IPlugBase::ClearScratchBuffers() {
  for (InputPin& pin : mInputPins)
    ZeroFill(pin.scratch);
  for (OutputPin& pin : mOutputPins)
    ZeroFill(pin.scratch);
}

// ---- Bus labels and delay line -------------------------------------------------------

void IPlugBase::AddInputBusLabel(const char* label) {
  mInputBusLabels.emplace_back(label ? label : "");
}

void IPlugBase::AddOutputBusLabel(const char* label) {
  mOutputBusLabels.emplace_back(label ? label : "");
}

const char* IPlugBase::GetInputBusLabel(int index) const {
  const std::string* label = ItemAt(mInputBusLabels, index);
  return label ? label->c_str() : "";
}

const char* IPlugBase::GetOutputBusLabel(int index) const {
  const std::string* label = ItemAt(mOutputBusLabels, index);
  return label ? label->c_str() : "";
}

void IPlugBase::CreateDelayLine() {
  ScopedLock guard(mLock);
  mDelayLine = std::make_unique<DelayLine>(NumInputs(), NumOutputs(), mLatency);
}

// ---- State and presets ----------------------------------------------------------------

bool IPlugBase::SerializeParams(StateChunk& chunk) {
  TRACE_OP("");
  ScopedLock guard(mLock);
  bool ok = true;
  for (std::size_t i = 0; i < mParams.size() && ok; ++i)
    ok = chunk.PutDouble(mParams[i].Value()) > 0;
  return ok;
}

int IPlugBase::UnserializeParams(const StateChunk& chunk, int startPos) {
  TRACE_OP("%d", startPos);
  ScopedLock guard(mLock);
  int pos = startPos;
  for (std::size_t i = 0; i < mParams.size() && pos >= 0; ++i) {
    double value = 0.0;
    const int next = chunk.GetDouble(&value, pos);
    if (next < 0) {
      value = 0.0;
      pos = -1;
    } else {
      pos = next;
    }
    mParams[i].SetValue(value);
  }
  for (int i = 0; i < NumParams(); ++i)
    ParameterChanged(i);
  return pos;
}

bool IPlugBase::SerializePresets(StateChunk& chunk) {
  TRACE_OP("");
  bool ok = true;
  for (std::size_t i = 0; i < mPresets.size() && ok; ++i) {
    const PresetSlot& slot = mPresets[i];
    ok = chunk.PutString(slot.name) > 0 && chunk.PutBool(slot.initialized) > 0;
    if (ok && slot.initialized) ok = chunk.PutChunk(slot.state) > 0;
  }
  return ok;
}

int IPlugBase::UnserializePresets(const StateChunk& chunk, int startPos) {
  TRACE_OP("%d", startPos);
  int pos = startPos;
  // One text serves every slot: a slot whose name cannot be read gets the
  // previous slot's name.
  char name[kPresetNameSize] = "";
  for (std::size_t i = 0; i < mPresets.size() && pos >= 0; ++i) {
    PresetSlot& slot = mPresets[i];
    pos = chunk.GetString(name, kPresetNameSize, pos);
    slot.SetName(name);
    bool initialized = false;
    const int next = chunk.GetBool(&initialized, pos);
    if (next < 0) {
      pos = -1;
    } else {
      slot.initialized = initialized;
      pos = next;
    }
    if (slot.initialized) {
      pos = ReadState(chunk, pos);
      if (pos > 0) {
        slot.state.Clear();
        WriteState(slot.state);
      }
    }
  }
  RecallPreset(mCurrentPresetIdx);
  return pos;
}

void IPlugBase::ModifyCurrentPreset(const char* name) {
  TRACE_OP("%s", name ? name : "");
  PresetSlot* slot = GetPreset(mCurrentPresetIdx);
  if (!slot) return;
  slot->state.Clear();
  WriteState(slot->state);
  if (name && name[0] != '\0') slot->SetName(name);
}

bool IPlugBase::RecallPreset(int index) {
  TRACE_OP("%d", index);
  PresetSlot* slot = GetPreset(index);
  if (!slot) return false;
  bool ok = false;
  if (slot->initialized) {
    ok = ReadState(slot->state, 0) > 0;
  } else {
    slot->initialized = true;
    slot->SetName(NextUserPresetName().c_str());
    // Stale bytes ahead of the new state would be what a later recall reads.
    slot->state.Clear();
    ok = WriteState(slot->state);
  }
  if (ok) {
    mCurrentPresetIdx = index;
    HostChangedPresets();
    RefreshEditorControls();
  }
  return ok;
}

void IPlugBase::FillUninitializedPresets(const char* name, int count) {
  TRACE_OP("%s %d", name ? name : "", count);
  for (int round = 0; round < count; ++round) {
    auto slot = std::find_if(mPresets.begin(), mPresets.end(),
                             [](const PresetSlot& s) { return !s.initialized; });
    if (slot == mPresets.end()) break;
    slot->initialized = true;
    slot->SetName(name ? name : "Empty");
    slot->state.Clear();
    WriteState(slot->state);
  }
}

std::string IPlugBase::NextUserPresetName() const {
  int count = 0;
  for (const PresetSlot& slot : mPresets)
    if (std::strstr(slot.name, "user preset")) ++count;
  char name[64];
  std::snprintf(name, sizeof(name), "%s %d", "user preset", count + 1);
  return name;
}

PresetSlot* IPlugBase::GetPreset(int index) {
  return ItemAt(mPresets, index);
}

const PresetSlot* IPlugBase::GetPreset(int index) const {
  return ItemAt(mPresets, index);
}

const char* IPlugBase::GetPresetName(int index) const {
  const PresetSlot* slot = GetPreset(index);
  return slot ? slot->name : "";
}
