#pragma once

// Shared pieces of the VST3 module tests: the module under test (loaded once
// per test program, as a host keeps a module loaded), interface queries,
// streams that misbehave on purpose, and small text and buffer helpers.

#include "Vst3HostApplication.h"
#include "Vst3Instance.h"
#include "Vst3Module.h"
#include "Vst3ParameterChanges.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#ifndef TOLVEN_VST3_MODULE_PATH
#error "TOLVEN_VST3_MODULE_PATH must name the built VST3 module"
#endif

namespace vst3test {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr ParamID kPresetId = 0x70727374; // "prst"
constexpr ParamID kBypassId = 0x62706173; // "bpas"
constexpr int kStateSize = 52;

// The module, loaded on first use and kept until the program ends.
Vst3Module& Module();

// Widens ASCII to the SDK's 16-bit text (NUL-terminated).
std::vector<TChar> Widen(const std::string& text);
// Narrows a NUL-terminated 16-bit text, checking that every unit is ASCII.
std::string Narrow(const TChar* text, size_t maxUnits = 128);

template <class I> I* Query(FUnknown* object) {
  void* result = nullptr;
  if (!object || object->queryInterface(I::iid, &result) != kResultOk) return nullptr;
  return static_cast<I*>(result);
}

// Releases an interface pointer at the end of a scope.
template <class I> class Held {
public:
  explicit Held(I* p = nullptr) : mP(p) {}
  ~Held() {
    if (mP) mP->release();
  }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  I* operator->() const { return mP; }
  I* get() const { return mP; }
  explicit operator bool() const { return mP != nullptr; }

private:
  I* mP;
};

// An IBStream over a byte vector that can be told to fail or to lie.
class TestStream : public IBStream {
public:
  enum class Mode {
    Normal,         // reads and writes like a file in memory
    FailReads,      // every read returns kResultFalse and delivers nothing
    FailWrites,     // every write returns kResultFalse and takes nothing
    ShortWrites,    // writes take half of what is offered and say so
    LyingReads,     // reads deliver what there is but claim 4096 bytes
    FailShortReads, // a short read delivers what there is with its count but fails
  };
  explicit TestStream(std::vector<std::uint8_t> bytes = {}, Mode mode = Mode::Normal)
      : mBytes(std::move(bytes)), mMode(mode) {}
  virtual ~TestStream() = default;

  const std::vector<std::uint8_t>& Bytes() const { return mBytes; }
  int Reads() const { return mReads; }

  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override;
  tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override;
  tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override;
  tresult PLUGIN_API tell(int64* pos) override;
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override;
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }

private:
  std::vector<std::uint8_t> mBytes;
  Mode mMode;
  size_t mCursor = 0;
  int mReads = 0;
};

// Little-endian helpers for the 52-byte state.
double StateValue(const std::vector<std::uint8_t>& state, int index);
void SetStateValue(std::vector<std::uint8_t>& state, int index, double value);
std::int32_t StateFlag(const std::vector<std::uint8_t>& state);
void SetStateFlag(std::vector<std::uint8_t>& state, std::int32_t flag);

// The controller's getState through a plain memory stream (empty on failure).
std::vector<std::uint8_t> ControllerState(IEditController* controller);
tresult SetControllerState(IEditController* controller, const std::vector<std::uint8_t>& bytes);

// A created and initialised instance with its host, ready to Start().
struct Plugin {
  Vst3HostApplication host{"TOLVEN test host"};
  Vst3Instance instance;
  bool Create();
  IEditController* Controller() const { return instance.Controller(); }
  IAudioProcessor* Processor() const { return instance.Processor(); }
  IComponent* Component() const { return instance.Component(); }
};

// Planar test signal: a few sines and a click, deterministic, within +-0.9,
// exactly representable as float.
std::vector<std::vector<float>> TestSignal(int channels, int frames, int seed = 0);
std::vector<std::vector<double>> ToDouble(const std::vector<std::vector<float>>& in);
std::vector<float*> Pointers(std::vector<std::vector<float>>& planes);
std::vector<double*> Pointers(std::vector<std::vector<double>>& planes);

// Processes the signal in consecutive blocks of the given sizes (cycled)
// through a started instance and returns the output.
std::vector<std::vector<double>> Render64(Vst3Instance& instance,
                                          const std::vector<std::vector<double>>& in,
                                          const std::vector<int>& blockSizes);
std::vector<std::vector<float>> Render32(Vst3Instance& instance,
                                         const std::vector<std::vector<float>>& in,
                                         const std::vector<int>& blockSizes);

} // namespace vst3test
