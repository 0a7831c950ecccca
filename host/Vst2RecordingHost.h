#pragma once

#include "VstInterface.h"

#include <cstddef>
#include <mutex>
#include <string>
#include <vector>

// One call a plug-in made through the host callback.
struct Vst2HostCall {
  VstInt32 opcode;
  VstInt32 index;
  VstIntPtr value;
  float opt;
};

// One event a plug-in sent with audioMasterProcessEvents.
struct Vst2HostEvent {
  VstInt32 type;
  VstInt32 byteSize;
  VstInt32 deltaFrames;
  std::vector<unsigned char> bytes; // midiData (4 bytes) or the SysEx dump
};

// A host callback that records every call and answers from settings a test
// or tool chooses. Instantiate() runs a module's entry point with Callback;
// calls made for that instance afterwards find this object through the
// record's `user` field (which belongs to the host), calls made while the
// entry point runs through a thread-local pointer.
class Vst2RecordingHost {
public:
  Vst2RecordingHost() = default;
  Vst2RecordingHost(const Vst2RecordingHost&) = delete;
  Vst2RecordingHost& operator=(const Vst2RecordingHost&) = delete;

  // The function handed to a module's entry point.
  static VstIntPtr Callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);

  // Calls entry with Callback and binds the returned record to this host.
  AEffect* Instantiate(VstPluginMainProc entry);
  // Routes later calls for effect here (sets effect->user).
  void Bind(AEffect* effect);

  // Answers. The product string is written with at most 255 characters
  // (callers give 256-byte buffers in this project; the published limit is
  // 64, so longer names test a plug-in's own bounds).
  void SetProductString(const std::string& name);
  void SetVendorString(const std::string& name);
  void SetVendorVersion(VstIntPtr version);
  // Answer to audioMasterGetTime: a copy of info, or no record when null.
  void SetTimeInfo(const VstTimeInfo* info);
  void SetProcessLevel(VstIntPtr level);
  void SetSampleRate(double rate);
  void SetBlockSize(VstIntPtr frames);
  // What audioMasterProcessEvents answers (1: taken).
  void SetEventsAnswer(VstIntPtr answer);

  // What was recorded.
  std::vector<Vst2HostCall> Calls() const;
  std::size_t CountOf(VstInt32 opcode) const;
  std::vector<Vst2HostEvent> Events() const;
  void Clear();

private:
  VstIntPtr Answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);

  mutable std::mutex mMutex;
  std::vector<Vst2HostCall> mCalls;
  std::vector<Vst2HostEvent> mEvents;
  std::string mProduct = "TOLVEN test host";
  std::string mVendor = "Oskavarine";
  VstIntPtr mVendorVersion = 10000;
  bool mHasTimeInfo = false;
  VstTimeInfo mTimeInfo{};
  VstIntPtr mProcessLevel = kVstProcessLevelRealtime;
  double mSampleRate = 44100.0;
  VstIntPtr mBlockSize = 1024;
  VstIntPtr mEventsAnswer = 1;
};
