#include "IPlugVST.h"

#include "HostIdentification.h"
#include "VSTChunkHeader.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <type_traits>

namespace {

// Copies text into a host buffer: at most maxChars characters, then the
// terminator. A null destination is left alone.
void CopyToHost(void* dest, const char* text, int maxChars) {
  if (!dest) return;
  char* out = static_cast<char*>(dest);
  int n = 0;
  if (text)
    while (n < maxChars && text[n] != '\0')
      ++n;
  if (n > 0) std::memcpy(out, text, static_cast<std::size_t>(n));
  out[n] = '\0';
}

// Copies a host's text into out (outSize bytes, always terminated), reading
// no further than the terminator or outSize - 1 characters.
void ReadHostText(const void* src, char* out, int outSize) {
  const char* text = static_cast<const char*>(src);
  int n = 0;
  if (text)
    while (n < outSize - 1 && text[n] != '\0')
      ++n;
  if (n > 0) std::memcpy(out, text, static_cast<std::size_t>(n));
  out[n] = '\0';
}

// An index or count from a pointer-sized argument; -1 when it does not fit
// an int, which every caller treats as invalid.
int ToIndex(VstIntPtr value) {
  return (value < INT_MIN || value > INT_MAX) ? -1 : static_cast<int>(value);
}

int ClampToInt(VstIntPtr value) {
  return static_cast<int>(std::clamp<VstIntPtr>(value, INT_MIN, INT_MAX));
}

// Whether a host's answer can be the address of a record of the given
// alignment: user-space addresses on x86-64 lie below 2^47, and the lowest
// 64 KiB are never mapped. Anything else (0, small or negative numbers) is a
// host saying "nothing" or talking nonsense, and is not dereferenced.
bool LooksLikeAddress(VstIntPtr value, std::size_t alignment) {
  const uint64_t address = static_cast<uint64_t>(value);
  return address >= 0x10000u && address < (uint64_t{1} << 47) && address % alignment == 0;
}

bool IsNonNegative(double x) {
  return std::isfinite(x) && x >= 0.0;
}

} // namespace

IPlugVST::IPlugVST(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity)
    : IPlugBase(identity, kFormatVST2), mHostCallback(instanceInfo.hostCallback) {
  mProgramChunk.Clear();
  mBankChunk.Clear();

  mAEffect = AEffect{};
  mAEffect.magic = kEffectMagic;
  mAEffect.dispatcher = VSTDispatcher;
  mAEffect.process = VSTProcessAccumulate;
  mAEffect.setParameter = VSTSetParam;
  mAEffect.getParameter = VSTGetParam;
  mAEffect.numPrograms = NumPresets();
  mAEffect.numParams = NumParams();
  mAEffect.numInputs = NumInputs();
  mAEffect.numOutputs = NumOutputs();
  mAEffect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing;
  if (LegalIO(1, -1)) mAEffect.flags |= effFlagsCanMono;
  mAEffect.initialDelay = GetLatency();
  mAEffect.ioRatio = 1.0f;
  mAEffect.object = this;
  mAEffect.uniqueID = GetUniqueID();
  mAEffect.version = GetVersionDecimal();
  mAEffect.processReplacing = VSTProcessFloat;
  mAEffect.processDoubleReplacing = VSTProcessDouble;

  mEditRect = ERect{};
  SetArrangement(mInputArrangement, NumInputs());
  SetArrangement(mOutputArrangement, NumOutputs());

  SetInputConnections(0, NumInputs(), true);
  SetOutputConnections(0, NumOutputs(), true);
  SetBlockSize(1024);
}

IPlugVST::~IPlugVST() {
  mProgramChunk.Clear();
  mBankChunk.Clear();
}

IPlugVST* IPlugVST::FromEffect(AEffect* effect) {
  return effect ? static_cast<IPlugVST*>(effect->object) : nullptr;
}

ReentrantLock& IPlugVST::InstantiationLock() {
  // Constructed on first use; the language makes that safe when two threads
  // get here at once.
  static ReentrantLock lock;
  return lock;
}

AEffect* IPlugVST::CompleteInstantiation(IPlugVST* plug) {
  if (!plug) return nullptr;
  plug->FillUninitializedPresets("Empty", plug->NumPresets());
  plug->mAEffect.numPrograms = std::max(plug->mAEffect.numPrograms, 1);
  return &plug->mAEffect;
}

void IPlugVST::SetArrangement(VstSpeakerArrangement& arrangement, int channels) {
  arrangement = VstSpeakerArrangement{};
  if (channels == 0)
    arrangement.type = kSpeakerArrEmpty;
  else if (channels == 1)
    arrangement.type = kSpeakerArrMono;
  else if (channels == 2)
    arrangement.type = kSpeakerArrStereo;
  else
    arrangement.type = kSpeakerArrUserDefined;
  arrangement.numChannels = channels;
}

VstIntPtr IPlugVST::CallHost(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  return mHostCallback ? mHostCallback(&mAEffect, opcode, index, value, ptr, opt) : 0;
}

// ---- Dispatcher --------------------------------------------------------------------

VstIntPtr IPlugVST::VSTDispatcher(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt) {
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return 0;
  if (opcode == effClose) {
    // An editor window still open closes while the instance is whole, so no
    // tick, paint or input reaches an instance being taken apart.
    try {
      ScopedLock guard(plug->GetLock());
      if (IPlugEditor* editor = plug->GetEditor(); editor && editor->IsEditorOpen()) {
        plug->EditorClosed();
        editor->CloseEditorWindow();
      }
    } catch (...) {
    }
    // Wait for a call still holding the lock, and release it before the lock
    // itself is destroyed with the instance.
    plug->GetLock().Lock();
    plug->GetLock().Unlock();
    delete plug;
    return 0;
  }
  try {
    ScopedLock guard(plug->GetLock());
    return plug->Dispatch(opcode, index, value, ptr, opt);
  } catch (...) {
    return 0;
  }
}

VstIntPtr IPlugVST::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
  switch (opcode) {
  case effOpen:
    HostSpecificSetup();
    for (int i = 0; i < NumParams(); ++i)
      ParameterChanged(i);
    return 0;

  case effSetProgram:
    if (!DoesStateChunks()) ModifyCurrentPreset();
    RecallPreset(ToIndex(value));
    return 0;

  case effGetProgram:
    return GetCurrentPresetIdx();

  case effSetProgramName:
    if (ptr) {
      char name[kPresetNameSize];
      ReadHostText(ptr, name, sizeof name);
      ModifyCurrentPreset(name);
      HostChangedPresets();
    }
    return 0;

  case effGetProgramName:
    if (ptr) CopyToHost(ptr, GetPresetName(GetCurrentPresetIdx()), kMaxProgramNameChars);
    return 0;

  case effGetParamLabel:
    if (const IParameter* param = GetParam(index))
      CopyToHost(ptr, param->HostLabel(), kMaxParamLabelChars);
    return 0;

  case effGetParamDisplay:
    if (const IParameter* param = GetParam(index); param && ptr) {
      char text[kParamTextSize];
      param->FormatForHost(param->Value(), false, text, true);
      CopyToHost(ptr, text, kMaxParamDisplayChars);
    }
    return 0;

  case effGetParamName:
    if (const IParameter* param = GetParam(index))
      CopyToHost(ptr, param->Name(), kMaxParamNameChars);
    return 0;

  case effSetSampleRate:
    // A rate that is not a positive number keeps the previous one.
    if (std::isfinite(opt) && opt > 0.0f) SetSampleRate(opt);
    OnReset();
    return 0;

  case effSetBlockSize:
    // A size below one frame would leave nothing to process into; the
    // scratch buffers keep the last real size instead.
    if (value >= 1) SetBlockSize(ClampToInt(value));
    OnReset();
    return 0;

  case effMainsChanged:
    if (value != 0) {
      ActivationChanged(true);
    } else {
      ActivationChanged(false);
      OnReset();
    }
    return 0;

  case effEditGetRect:
    if (ptr && GetEditor()) {
      *static_cast<ERect**>(ptr) = &mEditRect;
      return 1;
    }
    return 0;

  case effEditOpen:
    if (IPlugEditor* editor = GetEditor(); editor && editor->OpenEditorWindow(ptr)) {
      EditorOpened();
      return 1;
    }
    return 0;

  case effEditClose:
    if (IPlugEditor* editor = GetEditor()) {
      EditorClosed();
      editor->CloseEditorWindow();
      return 1;
    }
    return 0;

  case effEditIdle:
    if (IPlugEditor* editor = GetEditor()) editor->Idle();
    return 0;

  case effIdentify:
    return kIdentifyAnswer;

  case effGetChunk:
    return GetChunk(index, ptr);

  case effSetChunk:
    return SetChunk(index, value, ptr);

  case effProcessEvents:
    return ProcessEvents(static_cast<const VstEvents*>(ptr));

  case effCanBeAutomated:
    return 1;

  case effString2Parameter:
    return String2Parameter(index, static_cast<const char*>(ptr));

  case effGetProgramNameIndexed:
    if (ptr) {
      const char* name = GetPresetName(index);
      CopyToHost(ptr, name, kMaxProgramNameChars);
      return name[0] != '\0' ? 1 : 0;
    }
    return 0;

  case effGetInputProperties:
    return GetPinProperties(true, index, static_cast<VstPinProperties*>(ptr));

  case effGetOutputProperties:
    return GetPinProperties(false, index, static_cast<VstPinProperties*>(ptr));

  case effGetPlugCategory:
    return IsInstrument() ? kPlugCategSynth : kPlugCategEffect;

  case effSetSpeakerArrangement:
    return SetSpeakerArrangement(reinterpret_cast<const VstSpeakerArrangement*>(value),
                                 static_cast<const VstSpeakerArrangement*>(ptr));

  case effGetEffectName:
    if (!ptr) return 0;
    CopyToHost(ptr, GetEffectName(), kMaxEffectNameChars);
    return 1;

  case effGetVendorString:
    if (!ptr) return 0;
    CopyToHost(ptr, GetMakerName(), kMaxVendorChars);
    return 1;

  case effGetProductString:
    if (!ptr) return 0;
    CopyToHost(ptr, GetProductName(), kMaxProductChars);
    return 1;

  case effGetVendorVersion:
    return GetVersionDecimal();

  case effVendorSpecific:
    return VendorSpecific(index, value, ptr, opt);

  case effCanDo:
    return CanDo(static_cast<const char*>(ptr));

  case effGetTailSize:
    return GetTailSize();

  case effGetVstVersion:
    return kVstVersion;

  case effGetMidiKeyName:
    if (MidiKeyName* key = static_cast<MidiKeyName*>(ptr)) {
      key->keyName[0] = '\0';
      // The record's field bounds the name (kMaxKeyNameChars + terminator).
      return GetMidiKeyName(key->thisKeyNumber, key->keyName, kMaxKeyNameChars + 1) ? 1 : 0;
    }
    return 0;

  case effGetSpeakerArrangement:
    if (value) *reinterpret_cast<VstSpeakerArrangement**>(value) = &mInputArrangement;
    if (ptr) *static_cast<VstSpeakerArrangement**>(ptr) = &mOutputArrangement;
    return 1;

  // Named here because hosts send them; they do nothing.
  case effProcessVarIo:
  case effIdle:
  case effSetBypass:
  default:
    return 0;
  }
}

VstIntPtr IPlugVST::GetChunk(VstInt32 index, void* ptr) {
  if (!ptr) return 0;
  const bool bank = index == 0;
  StateChunk& chunk = bank ? mBankChunk : mProgramChunk;
  VSTChunkHeader::Write(chunk);
  bool written;
  if (bank) {
    ModifyCurrentPreset();
    written = SerializePresets(chunk);
  } else {
    written = WriteState(chunk);
  }
  if (!written || chunk.Size() <= 0) return 0;
  // Stays ours, valid until the next chunk call of the same kind.
  *static_cast<void**>(ptr) = chunk.Bytes();
  return chunk.Size();
}

VstIntPtr IPlugVST::SetChunk(VstInt32 index, VstIntPtr size, void* ptr) {
  // No data, no bytes or more than any chunk can hold: refused before
  // anything is touched.
  if (!ptr || size <= 0 || size > StateChunk::kMaxBytes) return 0;
  const bool bank = index == 0;
  StateChunk& chunk = bank ? mBankChunk : mProgramChunk;
  if (chunk.Resize(static_cast<int>(size)) < 0) return 0;
  std::memcpy(chunk.Bytes(), ptr, static_cast<std::size_t>(size));

  int32_t version = 0;
  int pos = VSTChunkHeader::Read(chunk, &version);
  if (bank && version >= VSTChunkHeader::kVersion) {
    pos = UnserializePresets(chunk, pos);
  } else {
    pos = ReadState(chunk, pos);
    ModifyCurrentPreset();
  }
  if (pos < 0) return 0;
  RefreshEditorControls();
  return 1;
}

VstIntPtr IPlugVST::ProcessEvents(const VstEvents* events) {
  if (!events) return 0;
  for (VstInt32 i = 0; i < events->numEvents; ++i) {
    const VstEvent* event = events->events[i];
    if (!event) continue;
    if (event->type == kVstMidiType) {
      const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
      MidiMessage message;
      message.offset = midi->deltaFrames;
      message.status = static_cast<uint8_t>(midi->midiData[0]);
      message.data1 = static_cast<uint8_t>(midi->midiData[1]);
      message.data2 = static_cast<uint8_t>(midi->midiData[2]);
      HandleMidiMessage(message);
    } else if (event->type == kVstSysExType) {
      const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(event);
      SysExMessage message;
      message.offset = sysex->deltaFrames;
      // A dump without bytes or with a negative size reaches the plug-in as
      // an empty message.
      const bool hasBytes = sysex->sysexDump && sysex->dumpBytes > 0;
      message.size = hasBytes ? sysex->dumpBytes : 0;
      message.data = hasBytes ? reinterpret_cast<const uint8_t*>(sysex->sysexDump) : nullptr;
      HandleSysEx(message);
    }
  }
  return 1;
}

VstIntPtr IPlugVST::String2Parameter(VstInt32 index, const char* text) {
  IParameter* param = GetParam(index);
  if (!param) return 0;
  if (!text) return 1;
  char buffer[kMaxHostTextChars + 1];
  ReadHostText(text, buffer, sizeof buffer);
  double value = 0.0;
  if (!param->ParseHostText(buffer, &value)) return 0;
  if (IPlugEditor* editor = GetEditor(); editor && !std::isnan(value))
    editor->SetParamFromHost(index, value, false);
  param->SetValue(value);
  ParameterChanged(index);
  return 1;
}

VstIntPtr IPlugVST::GetPinProperties(bool input, VstInt32 index, VstPinProperties* properties) {
  const int pins = input ? NumInputs() : NumOutputs();
  if (!properties || index < 0 || index >= pins) return 0;
  properties->flags = kVstPinIsActive;
  // Pins pair up as stereo (0, 1), (2, 3), ...; an unpaired last pin is mono.
  if (index % 2 == 0 && index < pins - 1) properties->flags |= kVstPinIsStereo;
  const char* label = input ? GetInputPinLabel(index) : GetOutputPinLabel(index);
  char text[kVstMaxLabelLen];
  if (label && label[0] != '\0')
    std::snprintf(text, sizeof text, "%s", label);
  else
    std::snprintf(text, sizeof text, "%s %d", input ? "Input" : "Output", index + 1);
  CopyToHost(properties->label, text, kMaxPinLabelChars);
  return 1;
}

VstIntPtr IPlugVST::SetSpeakerArrangement(const VstSpeakerArrangement* inputs,
                                          const VstSpeakerArrangement* outputs) {
  if (inputs) {
    const int n = std::clamp(inputs->numChannels, 0, NumInputs());
    SetInputConnections(0, n, true);
    SetInputConnections(n, NumInputs() - n, false);
  }
  if (outputs) {
    const int n = std::clamp(outputs->numChannels, 0, NumOutputs());
    SetOutputConnections(0, n, true);
    SetOutputConnections(n, NumOutputs() - n, false);
  }
  return 1;
}

VstIntPtr IPlugVST::VendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt) {
  if (index == 7) {
    // Display text of parameter `value` at the normalised value opt.
    if (!ptr) return 0;
    if (const IParameter* param = GetParam(ToIndex(value))) {
      char text[kParamTextSize];
      param->FormatForHost(opt, true, text, true);
      CopyToHost(ptr, text, kMaxParamDisplayChars);
    }
    return kVendorSpecificAnswer;
  }
  if (index == 8) {
    // Whether parameter `value` moves in steps.
    const IParameter* param = GetParam(ToIndex(value));
    return (param && !param->IsDouble()) ? kVendorSpecificAnswer : 0;
  }
  return 0;
}

VstIntPtr IPlugVST::CanDo(const char* text) const {
  if (!text) return 0;
  char name[64];
  ReadHostText(text, name, sizeof name);
  if (std::strcmp(name, "receiveVstTimeInfo") == 0) return 1;
  if (std::strcmp(name, "sendVstEvents") == 0 || std::strcmp(name, "sendVstMidiEvent") == 0 ||
      std::strcmp(name, "receiveVstEvents") == 0 || std::strcmp(name, "receiveVstMidiEvent") == 0)
    return DoesMidi() ? 1 : 0;
  if (std::strcmp(name, "hasCockosExtensions") == 0 ||
      std::strcmp(name, "hasCockosViewAsConfig") == 0)
    return kExtensionAnswer;
  return 0;
}

// ---- Parameter and audio entries ------------------------------------------------

float IPlugVST::VSTGetParam(AEffect* effect, VstInt32 index) {
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return 0.0f;
  ScopedLock guard(plug->GetLock());
  const IParameter* param = plug->GetParam(index);
  return param ? static_cast<float>(param->NormalizedValue()) : 0.0f;
}

void IPlugVST::VSTSetParam(AEffect* effect, VstInt32 index, float value) {
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  try {
    ScopedLock guard(plug->GetLock());
    IParameter* param = plug->GetParam(index);
    if (!param) return;
    // The controls get the host's value as it came, but never outside 0..1
    // (a knob picks its frame from it) and never NaN.
    if (IPlugEditor* editor = plug->GetEditor(); editor && !std::isnan(value))
      editor->SetParamFromHost(index, std::clamp(static_cast<double>(value), 0.0, 1.0), true);
    param->SetNormalizedValue(value);
    plug->ParameterChanged(index);
  } catch (...) {
  }
}

template <typename Sample>
void IPlugVST::ProcessEntry(AEffect* effect, Sample** inputs, Sample** outputs, VstInt32 frames,
                            bool accumulate) {
  IPlugVST* plug = FromEffect(effect);
  if (!plug) return;
  try {
    ScopedLock guard(plug->GetLock());
    if (plug->DoesMidi()) plug->CallHost(audioMasterWantMidi);
    const int numInputs = plug->mAEffect.numInputs;
    const int numOutputs = plug->mAEffect.numOutputs;
    if constexpr (std::is_same_v<Sample, double>)
      plug->ProcessHostDouble(inputs, numInputs, outputs, numOutputs, frames);
    else
      plug->ProcessHostFloat(inputs, numInputs, outputs, numOutputs, frames, accumulate);
  } catch (...) {
  }
}

void IPlugVST::VSTProcessAccumulate(AEffect* effect, float** inputs, float** outputs,
                                    VstInt32 frames) {
  ProcessEntry(effect, inputs, outputs, frames, true);
}

void IPlugVST::VSTProcessFloat(AEffect* effect, float** inputs, float** outputs, VstInt32 frames) {
  ProcessEntry(effect, inputs, outputs, frames, false);
}

void IPlugVST::VSTProcessDouble(AEffect* effect, double** inputs, double** outputs,
                                VstInt32 frames) {
  ProcessEntry(effect, inputs, outputs, frames, false);
}

// ---- Calls to the host ------------------------------------------------------------

void IPlugVST::BeginParamEdit(int paramIndex) {
  CallHost(audioMasterBeginEdit, paramIndex);
}

void IPlugVST::NotifyHostParamChange(int paramIndex, double normalized) {
  CallHost(audioMasterAutomate, paramIndex, 0, nullptr, static_cast<float>(normalized));
}

void IPlugVST::EndParamEdit(int paramIndex) {
  CallHost(audioMasterEndEdit, paramIndex);
}

void IPlugVST::NotifyHostProgramChange() {
  CallHost(audioMasterUpdateDisplay);
}

bool IPlugVST::IsOfflineRender() {
  return CallHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
}

const VstTimeInfo* IPlugVST::GetTime(VstIntPtr flags) {
  const VstIntPtr answer = CallHost(audioMasterGetTime, 0, flags);
  if (!LooksLikeAddress(answer, alignof(VstTimeInfo))) return nullptr;
  return reinterpret_cast<const VstTimeInfo*>(answer);
}

int IPlugVST::HostSamplePosition() {
  const VstTimeInfo* time = GetTime(0);
  if (!time || !IsNonNegative(time->samplePos)) return 0;
  const double rounded = time->samplePos + 0.5;
  return rounded >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(rounded);
}

double IPlugVST::HostTempo() {
  const VstTimeInfo* time = GetTime(kVstTempoValid);
  if (time && (time->flags & kVstTempoValid) && IsNonNegative(time->tempo)) return time->tempo;
  return 0.0;
}

void IPlugVST::HostTimeSignature(int* numerator, int* denominator) {
  int num = 0, den = 0;
  const VstTimeInfo* time = GetTime(kVstTimeSigValid);
  if (time && (time->flags & kVstTimeSigValid) && time->timeSigNumerator >= 0 &&
      time->timeSigDenominator >= 0) {
    num = time->timeSigNumerator;
    den = time->timeSigDenominator;
  }
  if (numerator) *numerator = num;
  if (denominator) *denominator = den;
}

void IPlugVST::HostTimeInfo(TimeInfo* info) {
  constexpr VstInt32 kAsked =
      kVstPpqPosValid | kVstTempoValid | kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
  static_assert(kAsked == 0x3E00, "the five validity flags of a full time query");
  if (!info) return;
  const VstTimeInfo* time = GetTime(kAsked);
  if (!time || !(time->flags & kAsked)) return;
  // Values that fail their test (including NaN and infinities) are skipped.
  if (std::isfinite(time->samplePos)) info->samplePos = time->samplePos;
  if ((time->flags & kVstPpqPosValid) && IsNonNegative(time->ppqPos)) info->ppqPos = time->ppqPos;
  if ((time->flags & kVstTempoValid) && std::isfinite(time->tempo) && time->tempo > 0.0)
    info->tempo = time->tempo;
  if ((time->flags & kVstBarsValid) && IsNonNegative(time->barStartPos))
    info->lastBar = time->barStartPos;
  if ((time->flags & kVstCyclePosValid) && IsNonNegative(time->cycleStartPos) &&
      IsNonNegative(time->cycleEndPos)) {
    info->cycleStart = time->cycleStartPos;
    info->cycleEnd = time->cycleEndPos;
  }
  if ((time->flags & kVstTimeSigValid) && time->timeSigNumerator > 0 &&
      time->timeSigDenominator > 0) {
    info->numerator = time->timeSigNumerator;
    info->denominator = time->timeSigDenominator;
  }
  info->transportIsRunning = (time->flags & kVstTransportPlaying) != 0;
  info->transportLoopEnabled = (time->flags & kVstTransportCycleActive) != 0;
}

int IPlugVST::IdentifyHost() {
  if (GetHost() != kHostUninit) return GetHost();
  // The published limit is 64 characters; the buffer takes more and is
  // terminated whatever the host wrote.
  char product[kPresetNameSize];
  std::memset(product, 0, sizeof product);
  CallHost(audioMasterGetProductString, 0, 0, product);
  product[sizeof product - 1] = '\0';
  int32_t version = 0;
  if (product[0] != '\0') {
    // A negative or oversized answer is nonsense: negative counts as 0.
    const VstIntPtr decimal = CallHost(audioMasterGetVendorVersion);
    version = PackHostVersion(static_cast<int>(std::clamp<VstIntPtr>(decimal, 0, INT_MAX)));
  }
  SetHostInfo(product, version);
  return GetHost();
}

void IPlugVST::HostSpecificSetup() {
  if (mHostSpecificSetupDone) return;
  mHostSpecificSetupDone = true;
  const int host = IdentifyHost();
  if (host == kHostForte || host == kHostAudition || host == kHostOrion || host == kHostSawStudio)
    RestrictToStereo();
  mAEffect.numInputs = mInputArrangement.numChannels = NumInputs();
  mAEffect.numOutputs = mOutputArrangement.numChannels = NumOutputs();
  HostIdentified();
}

void IPlugVST::UpdateEditRect(int width, int height) {
  mEditRect.top = 0;
  mEditRect.left = 0;
  mEditRect.bottom = static_cast<VstInt16>(std::clamp(height, 0, SHRT_MAX));
  mEditRect.right = static_cast<VstInt16>(std::clamp(width, 0, SHRT_MAX));
}

void IPlugVST::AttachEditor(IPlugEditor* editor) {
  IPlugBase::AttachEditor(editor);
  if (IPlugEditor* attached = GetEditor()) {
    mAEffect.flags |= effFlagsHasEditor;
    UpdateEditRect(attached->Width(), attached->Height());
  }
}

void IPlugVST::EditorSizeChanged(int width, int height) {
  UpdateEditRect(width, height);
  EditorResized();
}

void IPlugVST::SetLatencySamples(int frames) {
  IPlugBase::SetLatencySamples(frames);
  mAEffect.initialDelay = GetLatency(); // the host is not told
}

bool IPlugVST::SendMidiToHost(const MidiMessage& message) {
  VstMidiEvent event{};
  event.type = kVstMidiType;
  event.byteSize = sizeof(VstMidiEvent);
  event.deltaFrames = message.offset;
  event.flags = 0;
  event.midiData[0] = static_cast<char>(message.status);
  event.midiData[1] = static_cast<char>(message.data1);
  event.midiData[2] = static_cast<char>(message.data2);
  event.midiData[3] = 0;
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}

bool IPlugVST::SendSysExToHost(const SysExMessage& message) {
  VstMidiSysexEvent event{};
  event.type = kVstSysExType;
  event.byteSize = sizeof(VstMidiSysexEvent);
  event.deltaFrames = message.offset;
  event.flags = 0;
  event.dumpBytes = message.size;
  event.sysexDump = const_cast<char*>(reinterpret_cast<const char*>(message.data));
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(&event);
  return CallHost(audioMasterProcessEvents, 0, 0, &list) == 1;
}
