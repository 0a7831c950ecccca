#include "Vst2RecordingHost.h"

#include <algorithm>
#include <cstring>

namespace {
// The host whose entry-point call is running on this thread.
thread_local Vst2RecordingHost* tInstantiating = nullptr;

void CopyAnswer(void* ptr, const std::string& text, std::size_t maxChars) {
  if (!ptr) return;
  std::size_t n = std::min(text.size(), maxChars);
  std::memcpy(ptr, text.data(), n);
  static_cast<char*>(ptr)[n] = '\0';
}
} // namespace

VstIntPtr Vst2RecordingHost::Callback(AEffect* effect, VstInt32 opcode, VstInt32 index,
                                      VstIntPtr value, void* ptr, float opt) {
  Vst2RecordingHost* host = nullptr;
  if (effect && effect->user)
    host = static_cast<Vst2RecordingHost*>(effect->user);
  else
    host = tInstantiating;
  if (!host) return opcode == audioMasterVersion ? kVstVersion : 0;
  return host->Answer(opcode, index, value, ptr, opt);
}

AEffect* Vst2RecordingHost::Instantiate(VstPluginMainProc entry) {
  if (!entry) return nullptr;
  Vst2RecordingHost* previous = tInstantiating;
  tInstantiating = this;
  AEffect* effect = entry(&Callback);
  tInstantiating = previous;
  Bind(effect);
  return effect;
}

void Vst2RecordingHost::Bind(AEffect* effect) {
  if (effect) effect->user = this;
}

void Vst2RecordingHost::SetProductString(const std::string& name) {
  std::lock_guard<std::mutex> guard(mMutex);
  mProduct = name;
}

void Vst2RecordingHost::SetVendorString(const std::string& name) {
  std::lock_guard<std::mutex> guard(mMutex);
  mVendor = name;
}

void Vst2RecordingHost::SetVendorVersion(VstIntPtr version) {
  std::lock_guard<std::mutex> guard(mMutex);
  mVendorVersion = version;
}

void Vst2RecordingHost::SetTimeInfo(const VstTimeInfo* info) {
  std::lock_guard<std::mutex> guard(mMutex);
  mHasTimeInfo = info != nullptr;
  if (info) mTimeInfo = *info;
}

void Vst2RecordingHost::SetProcessLevel(VstIntPtr level) {
  std::lock_guard<std::mutex> guard(mMutex);
  mProcessLevel = level;
}

void Vst2RecordingHost::SetSampleRate(double rate) {
  std::lock_guard<std::mutex> guard(mMutex);
  mSampleRate = rate;
}

void Vst2RecordingHost::SetBlockSize(VstIntPtr frames) {
  std::lock_guard<std::mutex> guard(mMutex);
  mBlockSize = frames;
}

void Vst2RecordingHost::SetEventsAnswer(VstIntPtr answer) {
  std::lock_guard<std::mutex> guard(mMutex);
  mEventsAnswer = answer;
}

std::vector<Vst2HostCall> Vst2RecordingHost::Calls() const {
  std::lock_guard<std::mutex> guard(mMutex);
  return mCalls;
}

std::size_t Vst2RecordingHost::CountOf(VstInt32 opcode) const {
  std::lock_guard<std::mutex> guard(mMutex);
  return static_cast<std::size_t>(
      std::count_if(mCalls.begin(), mCalls.end(),
                    [opcode](const Vst2HostCall& c) { return c.opcode == opcode; }));
}

std::vector<Vst2HostEvent> Vst2RecordingHost::Events() const {
  std::lock_guard<std::mutex> guard(mMutex);
  return mEvents;
}

void Vst2RecordingHost::Clear() {
  std::lock_guard<std::mutex> guard(mMutex);
  mCalls.clear();
  mEvents.clear();
}

VstIntPtr Vst2RecordingHost::Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt) {
  std::lock_guard<std::mutex> guard(mMutex);
  mCalls.push_back({opcode, index, value, opt});
  switch (opcode) {
  case audioMasterVersion:
    return kVstVersion;
  case audioMasterGetTime:
    return mHasTimeInfo ? reinterpret_cast<VstIntPtr>(&mTimeInfo) : 0;
  case audioMasterProcessEvents: {
    const VstEvents* list = static_cast<const VstEvents*>(ptr);
    if (!list) return 0;
    for (VstInt32 i = 0; i < list->numEvents; ++i) {
      const VstEvent* e = list->events[i];
      if (!e) continue;
      Vst2HostEvent copy{e->type, e->byteSize, e->deltaFrames, {}};
      if (e->type == kVstMidiType) {
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(e);
        copy.bytes.assign(midi->midiData, midi->midiData + 4);
      } else if (e->type == kVstSysExType) {
        const auto* sysex = reinterpret_cast<const VstMidiSysexEvent*>(e);
        if (sysex->sysexDump && sysex->dumpBytes > 0)
          copy.bytes.assign(sysex->sysexDump, sysex->sysexDump + sysex->dumpBytes);
      }
      mEvents.push_back(std::move(copy));
    }
    return mEventsAnswer;
  }
  case audioMasterGetSampleRate:
    return static_cast<VstIntPtr>(mSampleRate);
  case audioMasterGetBlockSize:
    return mBlockSize;
  case audioMasterGetCurrentProcessLevel:
    return mProcessLevel;
  case audioMasterGetVendorString:
    CopyAnswer(ptr, mVendor, kVstMaxVendorStrLen);
    return ptr ? 1 : 0;
  case audioMasterGetProductString:
    CopyAnswer(ptr, mProduct, 255);
    return ptr ? 1 : 0;
  case audioMasterGetVendorVersion:
    return mVendorVersion;
  default:
    return 0;
  }
}
