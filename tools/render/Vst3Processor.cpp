#include "Vst3Processor.h"

#include "TOLVENIdentity.h"

#include <cmath>
#include <cstring>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The channel strip's VST3 class ID, as its module registers it.
const TUID kStripClassId =
    INLINE_UID(0xF2AEE70D, 0x00DE4F4E, kTOLVENIdentity.makerID, kTOLVENIdentity.uniqueID);

void PutDouble(std::vector<std::uint8_t>& bytes, size_t at, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int b = 0; b < 8; ++b)
    bytes[at + static_cast<size_t>(b)] = static_cast<std::uint8_t>(bits >> (8 * b));
}

} // namespace

bool Vst3Processor::IsVst3Path(const std::string& path) {
  // The module file or bundle folder itself, or the library inside a bundle
  // (TOLVEN.vst3/Contents/x86_64-linux/TOLVEN.so).
  std::string p;
  for (char c : path)
    p.push_back(c == '\\' ? '/' : (c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c));
  p += '/';
  return p.find(".vst3/") != std::string::npos;
}

std::unique_ptr<Vst3Processor> Vst3Processor::Load(const std::string& path, std::string& error) {
  std::unique_ptr<Vst3Processor> processor(new Vst3Processor);
  processor->mPath = path;
  if (!processor->mModule.Load(path)) {
    error = "cannot load the VST3 module " + path + ": " + processor->mModule.Error();
    return nullptr;
  }
  IPluginFactory* factory = processor->mModule.Factory();
  // The first audio effect class, as a host offers it.
  TUID cid = {};
  bool found = false;
  for (int32 i = 0; i < factory->countClasses() && !found; ++i) {
    PClassInfo info;
    if (factory->getClassInfo(i, &info) != kResultOk) continue;
    if (std::strncmp(info.category, kVstAudioEffectClass, PClassInfo::kCategorySize) != 0) continue;
    std::memcpy(cid, info.cid, sizeof(TUID));
    processor->mName.assign(info.name, strnlen(info.name, PClassInfo::kNameSize));
    found = true;
  }
  if (!found) {
    error = path + " offers no audio effect";
    return nullptr;
  }
  if (!processor->mInstance.Create(factory, &processor->mHost, &cid)) {
    error = path + ": " + processor->mInstance.Error();
    return nullptr;
  }
  if (!processor->mInstance.Controller()) {
    error = path + " has no edit controller to set parameters with";
    return nullptr;
  }
  processor->mExactState = std::memcmp(cid, kStripClassId, sizeof(TUID)) == 0;
  if (!processor->ReadParams(error)) {
    error = path + ": " + error;
    return nullptr;
  }
  return processor;
}

Vst3Processor::~Vst3Processor() {
  mInstance.Destroy();
}

bool Vst3Processor::ReadParams(std::string& error) {
  IEditController* controller = mInstance.Controller();
  for (int i = 0; i < mInstance.ParameterCount(); ++i) {
    ParameterInfo info{};
    if (!mInstance.ParameterInfo(i, info)) continue;
    // The host's own bypass and the program selector are not the plug-in's
    // settings.
    if (info.flags & (ParameterInfo::kIsBypass | ParameterInfo::kIsProgramChange)) continue;
    Entry e;
    e.id = info.id;
    e.info.name = Vst3Instance::Narrow(info.title);
    e.info.label = Vst3Instance::Narrow(info.units);
    e.info.min = controller->normalizedParamToPlain(info.id, 0.0);
    e.info.max = controller->normalizedParamToPlain(info.id, 1.0);
    e.info.stepped = info.stepCount > 0;
    e.info.step = e.info.stepped ? (e.info.max - e.info.min) / info.stepCount : 0.0;
    e.info.value =
        controller->normalizedParamToPlain(info.id, controller->getParamNormalized(info.id));
    if (!(e.info.min < e.info.max)) continue; // nothing a value could be given for
    mParams.push_back(e);
  }
  if (mExactState) {
    // The state carries one double per plug-in parameter, by ID, then a flag.
    std::vector<std::uint8_t> state;
    bool ids = true;
    for (size_t i = 0; i < mParams.size(); ++i)
      ids = ids && mParams[i].id == i;
    mExactState = ids && mInstance.GetState(state) && state.size() == mParams.size() * 8 + 4;
  }
  if (mParams.empty()) {
    error = "the plug-in offers no parameters to a host";
    return false;
  }
  return true;
}

std::string Vst3Processor::Description() const {
  return mName + " (VST3 module " + mPath + ")";
}

int Vst3Processor::NumParams() const {
  return static_cast<int>(mParams.size());
}

RenderProcessor::ParamInfo Vst3Processor::Param(int index) const {
  if (index < 0 || index >= NumParams()) return ParamInfo{};
  return mParams[static_cast<size_t>(index)].info;
}

bool Vst3Processor::SetThroughState(ParamID id, double value) {
  std::vector<std::uint8_t> state;
  if (!mInstance.GetState(state) || state.size() != mParams.size() * 8 + 4) return false;
  PutDouble(state, static_cast<size_t>(id) * 8, value);
  return mInstance.SetState(state);
}

bool Vst3Processor::SetParam(int index, double value) {
  if (index < 0 || index >= NumParams() || !std::isfinite(value)) return false;
  Entry& e = mParams[static_cast<size_t>(index)];
  if (mExactState) {
    if (!SetThroughState(e.id, value)) return false;
  } else {
    IEditController* controller = mInstance.Controller();
    const ParamValue normalized = controller->plainParamToNormalized(e.id, value);
    if (controller->setParamNormalized(e.id, normalized) != kResultOk) return false;
    // The processor side learns it from the first block, as from a host.
    if (!mChanges.AddPoint(e.id, 0, normalized)) return false;
    mChangesPending = true;
  }
  e.info.value = value;
  return true;
}

bool Vst3Processor::Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) {
  if (channels < 1 || channels > 2) {
    error = mName + " is rendered in mono or stereo, not " + std::to_string(channels) + " channels";
    return false;
  }
  if (!mInstance.Start(channels, sampleRate, maxBlockSize, kSample64, kOffline)) {
    error = mName + ": " + mInstance.Error();
    return false;
  }
  mChannels = channels;
  return true;
}

void Vst3Processor::Process(const double* const* inputs, double* const* outputs, int frames) {
  // The host interface takes writable arrays; the module only reads inputs.
  double* ins[2] = {nullptr, nullptr};
  double* outs[2] = {nullptr, nullptr};
  for (int c = 0; c < mChannels; ++c) {
    ins[c] = const_cast<double*>(inputs[c]);
    outs[c] = outputs[c];
  }
  mInstance.Process(ins, outs, frames, mChangesPending ? &mChanges : nullptr);
  if (mChangesPending) {
    mChanges.Clear();
    mChangesPending = false;
  }
}

std::string Vst3PluginUsage() {
  return "                      or through a VST3 module (TOLVEN.vst3, file or bundle)\n";
}
