#include "IPlugVST3.h"

#include "IPlugBinding.h"
#include "IPlugParameter.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

SpeakerArrangement ArrangementFor(int channels) {
  switch (channels) {
  case 1:
    return SpeakerArr::kMono;
  case 2:
    return SpeakerArr::kStereo;
  case 3:
    return SpeakerArr::k30Music;
  case 4:
    return SpeakerArr::k40Music;
  case 5:
    return SpeakerArr::k50;
  case 6:
    return SpeakerArr::k51;
  default:
    return SpeakerArr::kEmpty;
  }
}

int ChannelCount(SpeakerArrangement arrangement) {
  int count = 0;
  for (uint64 bits = arrangement; bits; bits &= bits - 1)
    ++count;
  return count;
}

void PutLE32(int32 value, uint8 out[4]) {
  auto bits = static_cast<uint32>(value);
  for (int b = 0; b < 4; ++b)
    out[b] = static_cast<uint8>(bits >> (8 * b));
}

int32 GetLE32(const uint8 in[4]) {
  uint32 bits = 0;
  for (int b = 3; b >= 0; --b)
    bits = (bits << 8) | in[b];
  return static_cast<int32>(bits);
}

// Channel array of a host bus in the requested sample size (null when the
// host gave none).
template <class T> T** ChannelArrays(AudioBusBuffers& bus);
template <> float** ChannelArrays<float>(AudioBusBuffers& bus) {
  return bus.channelBuffers32;
}
template <> double** ChannelArrays<double>(AudioBusBuffers& bus) {
  return bus.channelBuffers64;
}

} // namespace

IPlugVST3::IPlugVST3(const IPlugInstanceInfo& /*info*/, const PluginIdentity& identity)
    : IPlugBase(identity, kFormatVST3) {
  SetInputConnections(0, NumInputs(), true);
  SetOutputConnections(0, NumOutputs(), true);
  if (NumInputs() > 0) CreateDelayLine();
  AddInputBusLabel("Main Input");
  if (IsInstrument()) {
    char label[32];
    for (int k = 0; k < NumOutputs() / 2; ++k) {
      std::snprintf(label, sizeof label, "Output %i", k + 1);
      AddOutputBusLabel(label);
    }
  } else {
    AddOutputBusLabel("Output");
  }
  // Scratch buffers for the default set-up (1024 frames), so a host that
  // processes before setupProcessing does not make the audio thread allocate.
  SetBlockSize(processSetup.maxSamplesPerBlock);
  mHostInputs32.resize(static_cast<size_t>(NumInputs()));
  mHostInputs64.resize(static_cast<size_t>(NumInputs()));
  mHostOutputs32.resize(static_cast<size_t>(NumOutputs()));
  mHostOutputs64.resize(static_cast<size_t>(NumOutputs()));
}

IPlugVST3::~IPlugVST3() {
  mViews.clear();
}

// ---- IPluginBase ----------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::initialize(FUnknown* context) {
  tresult result = kResultFalse;
  try {
    bool first = false;
    if (!mInitialized) {
      result = SingleComponentEffect::initialize(context);
      first = result == kResultOk;
      mInitialized = first;
    }

    if (context) {
      void* interface = nullptr;
      if (context->queryInterface(IHostApplication::iid, &interface) == kResultOk && interface) {
        auto* app = static_cast<IHostApplication*>(interface);
        String128 wide = {};
        app->getName(wide);
        char name[128];
        int n = 0;
        for (; n < 127 && wide[n]; ++n)
          name[n] = static_cast<char>(wide[n] & 0xFF);
        name[n] = '\0';
        SetHostInfo(name, 0);
        app->release();
      }
    }

    if (first) {
      DeclareBuses();
      DeclareParameters();
    }

    ScopedLock guard(GetLock());
    HostIdentified();
    RecallPreset(0);
  } catch (...) {
    return kResultFalse;
  }
  return result;
}

tresult PLUGIN_API IPlugVST3::terminate() {
  mInitialized = false;
  return SingleComponentEffect::terminate();
}

void IPlugVST3::DeclareBuses() {
  String128 name;
  SpeakerArrangement in = ArrangementFor(NumInputs());
  if (in != SpeakerArr::kEmpty) {
    WidenText(GetInputBusLabel(0), name, 128);
    addAudioInput(name, in);
  }
  if (!IsInstrument()) {
    WidenText(GetOutputBusLabel(0), name, 128);
    addAudioOutput(name, ArrangementFor(NumOutputs()));
  } else {
    for (int k = 0; k < NumOutputs() / 2; ++k) {
      WidenText(GetOutputBusLabel(k), name, 128);
      addAudioOutput(name, SpeakerArr::kStereo);
    }
  }
  if (DoesMidi()) {
    WidenText("MIDI Input", name, 128);
    addEventInput(name, 1);
  }
}

void IPlugVST3::DeclareParameters() {
  String128 text;
  if (NumPresets() > 0) {
    WidenText("Preset", text, 128);
    parameters.addParameter(new Parameter(text, kPresetParamId, nullptr, 0.0, NumPresets(),
                                          ParameterInfo::kIsProgramChange, kRootUnitId));
  }
  if (!IsInstrument()) {
    WidenText("Bypass", text, 128);
    auto* bypass = new StringListParameter(text, kBypassParamId, nullptr,
                                           ParameterInfo::kCanAutomate | ParameterInfo::kIsList |
                                               ParameterInfo::kIsBypass,
                                           kRootUnitId);
    WidenText("off", text, 128);
    bypass->appendString(text);
    WidenText("on", text, 128);
    bypass->appendString(text);
    parameters.addParameter(bypass);
  }
  for (int i = 0; i < NumParams(); ++i) {
    const IParameter* param = GetParam(i);
    UnitID unit = kRootUnitId;
    if (param->Group()[0] != '\0') {
      auto last = std::find(mGroupNames.rbegin(), mGroupNames.rend(), std::string(param->Group()));
      if (last != mGroupNames.rend()) {
        unit = static_cast<UnitID>(mGroupNames.rend() - last);
      } else {
        mGroupNames.emplace_back(param->Group());
        unit = static_cast<UnitID>(mGroupNames.size());
      }
    }
    parameters.addParameter(new IPlugParameter(*param, static_cast<ParamID>(i), unit));
  }
}

// ---- IComponent / IAudioProcessor ---------------------------------------------------

tresult PLUGIN_API IPlugVST3::setActive(TBool state) {
  ActivationChanged(state != 0);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts) {
  try {
    SetInputConnections(0, NumInputs(), false);
    SetOutputConnections(0, NumOutputs(), false);
    // A missing array counts as no channels rather than being read.
    int in = (numIns > 0 && inputs) ? ChannelCount(inputs[0]) : 0;
    int out = (numOuts > 0 && outputs) ? ChannelCount(outputs[0]) : 0;
    if (!LegalIO(in, out)) return kResultFalse;
    String128 name;
    if (!audioInputs.empty()) {
      auto* bus = FCast<AudioBus>(audioInputs[0].get());
      if (bus && ChannelCount(bus->getArrangement()) != in) {
        audioInputs.clear();
        WidenText("Input", name, 128);
        addAudioInput(name, ArrangementFor(in));
      }
    }
    if (!audioOutputs.empty()) {
      auto* bus = FCast<AudioBus>(audioOutputs[0].get());
      if (bus && ChannelCount(bus->getArrangement()) != out) {
        audioOutputs.clear();
        WidenText("Output", name, 128);
        addAudioOutput(name, ArrangementFor(out));
      }
    }
  } catch (...) {
    return kResultFalse;
  }
  return numIns == 1 ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API IPlugVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return (symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64) ? kResultTrue
                                                                              : kResultFalse;
}

uint32 PLUGIN_API IPlugVST3::getLatencySamples() {
  return static_cast<uint32>(GetLatency());
}

uint32 PLUGIN_API IPlugVST3::getTailSamples() {
  return static_cast<uint32>(GetTailSize());
}

tresult PLUGIN_API IPlugVST3::setupProcessing(ProcessSetup& setup) {
  if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
  // A rate that is not a positive number would make every filter and
  // smoother coefficient meaningless; a block of no frames holds no audio.
  if (!(setup.sampleRate > 0.0) || !std::isfinite(setup.sampleRate)) return kResultFalse;
  if (setup.maxSamplesPerBlock < 1) return kResultFalse;
  if (!SetBlockSize(setup.maxSamplesPerBlock)) return kResultFalse;
  SetSampleRate(setup.sampleRate);
  SetBypassed(false);
  OnReset();
  processSetup = setup;
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::process(ProcessData& data) {
  ScopedLock guard(GetLock());
  if (data.processContext) mProcessContext = *data.processContext;
  ApplyParameterChanges(data.inputParameterChanges);

  if (DoesMidi() && data.inputEvents) {
    const int32 count = data.inputEvents->getEventCount();
    for (int32 i = 0; i < count; ++i) {
      Event event{};
      if (data.inputEvents->getEvent(i, event) != kResultOk) continue;
      MidiMessage message;
      message.offset = event.sampleOffset;
      if (event.type == Event::kNoteOnEvent) {
        message.status = static_cast<uint8_t>(0x90 | (event.noteOn.channel & 0x0F));
        message.data1 = static_cast<uint8_t>(event.noteOn.pitch & 0x7F);
        double velocity = std::min(1.0f, std::max(0.0f, event.noteOn.velocity)) * 127.0;
        message.data2 = static_cast<uint8_t>(velocity);
      } else if (event.type == Event::kNoteOffEvent) {
        message.status = static_cast<uint8_t>(0x80 | (event.noteOff.channel & 0x0F));
        message.data1 = static_cast<uint8_t>(event.noteOff.pitch & 0x7F);
        message.data2 = 0;
      } else {
        continue;
      }
      HandleMidiMessage(message);
    }
  }

  ProcessAudio(data);
  return kResultOk;
}

void IPlugVST3::ApplyParameterChanges(IParameterChanges* changes) {
  if (!changes) return;
  const int32 queues = changes->getParameterCount();
  for (int32 q = 0; q < queues; ++q) {
    IParamValueQueue* queue = changes->getParameterData(q);
    if (!queue) continue;
    const int32 points = queue->getPointCount();
    if (points < 1) continue;
    int32 offset = 0;
    ParamValue value = 0.0;
    // Only the last point counts, for the whole block.
    if (queue->getPoint(points - 1, offset, value) != kResultOk) continue;
    ApplyParameterValue(queue->getParameterId(), value);
  }
}

void IPlugVST3::ApplyParameterValue(ParamID id, double value) {
  // A normalised value outside 0..1 is the nearest end; NaN is no value.
  if (std::isnan(value)) return;
  value = std::min(1.0, std::max(0.0, value));
  if (id == kBypassParamId) {
    SetBypassed(value > 0.5);
  } else if (id == kPresetParamId) {
    RecallPreset(static_cast<int>(value * NumPresets()));
  } else if (IParameter* param = PlugParam(id)) {
    param->SetNormalizedValue(value);
    if (IPlugEditor* editor = GetEditor())
      editor->SetParamFromHost(static_cast<int>(id), value, true);
    ParameterChanged(static_cast<int>(id));
  }
}

template <class T>
static int GatherInputs(IPlugBase& base, AudioBusBuffers* buses, int32 numBuses,
                        std::vector<T*>& arrays) {
  // Without an input bus the connections stay as they are and the connected
  // pins read silence (never the previous call's host buffers).
  if (numBuses < 1 || !buses) return 0;
  AudioBusBuffers& bus = buses[0];
  const int pins = base.NumInputs();
  const int connected = std::min(std::max(bus.numChannels, 0), pins);
  base.SetInputConnections(0, connected, true);
  base.SetInputConnections(connected, pins - connected, false);
  T** host = ChannelArrays<T>(bus);
  if (!host) return 0; // connected pins read silence
  for (int j = 0; j < connected; ++j)
    arrays[static_cast<size_t>(j)] = host[j];
  return connected;
}

template <class T>
static int GatherOutputs(IPlugBase& base, const BusList& declared, AudioBusBuffers* buses,
                         int32 numBuses, std::vector<T*>& arrays) {
  if (numBuses < 1 || !buses) return 0;
  const int pins = base.NumOutputs();
  int k = 0;
  int gathered = 0;
  for (int32 b = 0; b < numBuses && static_cast<size_t>(b) < declared.size(); ++b) {
    AudioBusBuffers& bus = buses[b];
    const int c = std::max(bus.numChannels, 0);
    const int end = static_cast<int>(std::min<long long>(static_cast<long long>(k) + c, pins));
    const bool active =
        declared[static_cast<size_t>(b)] && declared[static_cast<size_t>(b)]->isActive();
    if (end > k) base.SetOutputConnections(k, end - k, active);
    base.SetOutputConnections(end, pins - end, false);
    T** host = ChannelArrays<T>(bus);
    if (active) {
      for (int j = k; j < end; ++j)
        arrays[static_cast<size_t>(gathered++)] = host ? host[j - k] : nullptr;
    }
    k = end;
  }
  return gathered;
}

void IPlugVST3::ProcessAudio(ProcessData& data) {
  const int32 size = processSetup.symbolicSampleSize;
  // Buffers of another sample size than the set-up announced would be read
  // and written with the wrong element size: no audio is touched then.
  if (data.symbolicSampleSize != size) return;
  const int frames = std::max(data.numSamples, 0);
  if (size == kSample32) {
    int numIn = GatherInputs(*this, data.inputs, data.numInputs, mHostInputs32);
    int numOut = GatherOutputs(*this, audioOutputs, data.outputs, data.numOutputs, mHostOutputs32);
    ProcessHostFloat(mHostInputs32.data(), numIn, mHostOutputs32.data(), numOut, frames);
  } else if (size == kSample64) {
    int numIn = GatherInputs(*this, data.inputs, data.numInputs, mHostInputs64);
    int numOut = GatherOutputs(*this, audioOutputs, data.outputs, data.numOutputs, mHostOutputs64);
    ProcessHostDouble(mHostInputs64.data(), numIn, mHostOutputs64.data(), numOut, frames);
  }
}

// ---- State ------------------------------------------------------------------------------

tresult PLUGIN_API IPlugVST3::getState(IBStream* state) {
  if (!state) return kResultFalse;
  try {
    ScopedLock guard(GetLock());
    StateChunk chunk;
    if (!WriteState(chunk)) return kResultFalse;
    bool ok = true;
    // A stream that does not report counts is taken at its result code.
    if (chunk.Size() > 0) {
      int32 written = -1;
      ok = state->write(chunk.Bytes(), chunk.Size(), &written) == kResultOk &&
           (written == -1 || written == chunk.Size());
    }
    uint8 flag[4];
    PutLE32(IsBypassed() ? 1 : 0, flag);
    int32 written = -1;
    ok = ok && state->write(flag, 4, &written) == kResultOk && (written == -1 || written == 4);
    return ok ? kResultOk : kResultFalse;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IPlugVST3::setState(IBStream* state) {
  if (!state) return kResultFalse;
  try {
    ScopedLock guard(GetLock());
    StateChunk chunk;
    WriteState(chunk);
    const int size = chunk.Size();
    if (size <= 0) return kResultFalse;
    // The bytes the stream delivers replace the start of the live state;
    // what it does not deliver keeps the live values. The count decides what
    // arrived: file streams report a short read as a failure yet deliver its
    // bytes and count. Without a usable count only success delivers.
    std::vector<uint8> incoming(chunk.Bytes(), chunk.Bytes() + size);
    int32 got = -1;
    const tresult result = state->read(incoming.data(), size, &got);
    int32 delivered = 0;
    if (got >= 0 && got <= size)
      delivered = got;
    else if (result == kResultOk)
      delivered = size;
    std::memcpy(chunk.Bytes(), incoming.data(), static_cast<size_t>(delivered));
    ReadState(chunk, 0);

    uint8 flag[4] = {0, 0, 0, 0};
    got = -1;
    if (state->read(flag, 4, &got) != kResultOk || (got != -1 && got != 4)) return kResultFalse;
    SetBypassed(GetLE32(flag) != 0);
    RefreshEditorControls();
    return kResultOk;
  } catch (...) {
    return kResultFalse;
  }
}

tresult PLUGIN_API IPlugVST3::setComponentState(IBStream* /*state*/) {
  return kNotImplemented;
}

// ---- Parameters -----------------------------------------------------------------------------

IParameter* IPlugVST3::PlugParam(ParamID id) {
  if (id >= static_cast<ParamID>(NumParams())) return nullptr;
  return GetParam(static_cast<int>(id));
}

tresult PLUGIN_API IPlugVST3::getParamStringByValue(ParamID id, ParamValue valueNormalized,
                                                    String128 string) {
  IParameter* param = PlugParam(id);
  if (!param || !string) return kResultFalse;
  // Out-of-range values show as the nearest bound, NaN as the bottom.
  if (std::isnan(valueNormalized)) valueNormalized = 0.0;
  valueNormalized = std::min(1.0, std::max(0.0, valueNormalized));
  char text[kParamTextSize];
  param->FormatForHost(valueNormalized, true, text, true);
  WidenText(text, string, 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getParamValueByString(ParamID id, TChar* string, ParamValue& value) {
  if (!string) return kResultFalse;
  return SingleComponentEffect::getParamValueByString(id, string, value);
}

ParamValue PLUGIN_API IPlugVST3::plainParamToNormalized(ParamID id, ParamValue plain) {
  IParameter* param = PlugParam(id);
  if (!param) return plain;
  return param->ToNormalized(plain);
}

ParamValue PLUGIN_API IPlugVST3::getParamNormalized(ParamID id) {
  if (id == kBypassParamId) return IsBypassed() ? 1.0 : 0.0;
  IParameter* param = PlugParam(id);
  if (!param) return 0.0;
  ScopedLock guard(GetLock());
  return param->NormalizedValue();
}

tresult PLUGIN_API IPlugVST3::setParamNormalized(ParamID id, ParamValue value) {
  IParameter* param = PlugParam(id);
  if (!param || std::isnan(value)) return kResultFalse;
  // Under the lock, so a block never sees a value change halfway.
  ScopedLock guard(GetLock());
  param->SetNormalizedValue(std::min(1.0, std::max(0.0, value)));
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::setKnobMode(KnobMode /*mode*/) {
  return kResultOk;
}
tresult PLUGIN_API IPlugVST3::openHelp(TBool /*onlyCheck*/) {
  return kResultFalse;
}
tresult PLUGIN_API IPlugVST3::openAboutBox(TBool /*onlyCheck*/) {
  return kResultFalse;
}

// ---- Units and program list -----------------------------------------------------------------

int32 PLUGIN_API IPlugVST3::getUnitCount() {
  return 1 + static_cast<int32>(mGroupNames.size());
}

tresult PLUGIN_API IPlugVST3::getUnitInfo(int32 unitIndex, UnitInfo& info) {
  if (unitIndex == 0) {
    info.id = kRootUnitId;
    info.parentUnitId = kNoParentUnitId;
    WidenText("Root Unit", info.name, 128);
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  if (unitIndex >= 1 && unitIndex <= static_cast<int32>(mGroupNames.size())) {
    info.id = unitIndex;
    info.parentUnitId = kRootUnitId;
    WidenText(mGroupNames[static_cast<size_t>(unitIndex - 1)].c_str(), info.name, 128);
    info.programListId = kNoProgramListId;
    return kResultOk;
  }
  return kResultFalse;
}

int32 PLUGIN_API IPlugVST3::getProgramListCount() {
  return 0;
}

tresult PLUGIN_API IPlugVST3::getProgramListInfo(int32 listIndex, ProgramListInfo& info) {
  if (listIndex != 0) return kResultFalse;
  info.id = kPresetListId;
  WidenText("Factory Presets", info.name, 128);
  info.programCount = NumPresets();
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramName(ProgramListID listId, int32 programIndex,
                                             String128 name) {
  if (listId != kPresetListId || !name) return kResultFalse;
  // Preset recall from the audio thread renames slots under the lock.
  ScopedLock guard(GetLock());
  WidenText(GetPresetName(programIndex), name, 128);
  return kResultOk;
}

tresult PLUGIN_API IPlugVST3::getProgramInfo(ProgramListID, int32, Vst::CString, String128) {
  return kNotImplemented;
}
tresult PLUGIN_API IPlugVST3::hasProgramPitchNames(ProgramListID, int32) {
  return kNotImplemented;
}
tresult PLUGIN_API IPlugVST3::getProgramPitchName(ProgramListID, int32, int16, String128) {
  return kNotImplemented;
}
UnitID PLUGIN_API IPlugVST3::getSelectedUnit() {
  return kRootUnitId;
}
tresult PLUGIN_API IPlugVST3::selectUnit(UnitID) {
  return kNotImplemented;
}
tresult PLUGIN_API IPlugVST3::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
  return kNotImplemented;
}
tresult PLUGIN_API IPlugVST3::setUnitProgramData(int32, int32, IBStream*) {
  return kNotImplemented;
}

// ---- IPlugBase operations ---------------------------------------------------------------------

void IPlugVST3::BeginParamEdit(int paramIndex) {
  if (componentHandler) componentHandler->beginEdit(static_cast<ParamID>(paramIndex));
}

void IPlugVST3::NotifyHostParamChange(int paramIndex, double normalized) {
  if (componentHandler) componentHandler->performEdit(static_cast<ParamID>(paramIndex), normalized);
}

void IPlugVST3::EndParamEdit(int paramIndex) {
  if (componentHandler) componentHandler->endEdit(static_cast<ParamID>(paramIndex));
}

void IPlugVST3::HostParamContextMenu(int paramIndex, int x, int y) {
  if (!componentHandler || mViews.empty()) return;
  void* interface = nullptr;
  if (componentHandler->queryInterface(IComponentHandler3::iid, &interface) != kResultOk ||
      !interface)
    return;
  auto* handler3 = static_cast<IComponentHandler3*>(interface);
  ParamID id = static_cast<ParamID>(paramIndex);
  if (IContextMenu* menu = handler3->createContextMenu(mViews.front(), &id)) {
    menu->popup(static_cast<UCoord>(x), static_cast<UCoord>(y));
    menu->release();
  }
  handler3->release();
}

bool IPlugVST3::IsOfflineRender() {
  return processSetup.processMode == kOffline;
}

int IPlugVST3::HostSamplePosition() {
  // Cut to the low 32 bits, as a signed value.
  auto low = static_cast<uint32>(static_cast<uint64>(mProcessContext.projectTimeSamples));
  int32_t position;
  std::memcpy(&position, &low, sizeof position);
  return position;
}

double IPlugVST3::HostTempo() {
  return mProcessContext.tempo;
}

void IPlugVST3::HostTimeSignature(int* numerator, int* denominator) {
  if (numerator) *numerator = mProcessContext.timeSigNumerator;
  if (denominator) *denominator = mProcessContext.timeSigDenominator;
}

void IPlugVST3::HostTimeInfo(TimeInfo* info) {
  if (!info) return;
  info->tempo = mProcessContext.tempo;
  info->samplePos = static_cast<double>(mProcessContext.projectTimeSamples);
  info->ppqPos = mProcessContext.projectTimeMusic;
  info->lastBar = mProcessContext.barPositionMusic;
  info->cycleStart = mProcessContext.cycleStartMusic;
  info->cycleEnd = mProcessContext.cycleEndMusic;
  info->numerator = mProcessContext.timeSigNumerator;
  info->denominator = mProcessContext.timeSigDenominator;
  info->transportIsRunning = (mProcessContext.state & ProcessContext::kPlaying) != 0;
  info->transportLoopEnabled = (mProcessContext.state & ProcessContext::kCycleActive) != 0;
}

void IPlugVST3::SetLatencySamples(int frames) {
  IPlugBase::SetLatencySamples(frames);
  if (componentHandler) componentHandler->restartComponent(kLatencyChanged);
}

bool IPlugVST3::SendMidiToHost(const MidiMessage& /*message*/) {
  return false;
}
bool IPlugVST3::SendSysExToHost(const SysExMessage& /*message*/) {
  return false;
}
