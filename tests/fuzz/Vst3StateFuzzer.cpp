// VST3 state streams as a host or a project file delivers them, through both
// setState calls (component and controller). The first bytes describe how
// the stream misbehaves: reads that fail, come short, or report counts that
// are not what they delivered; the rest is the stream's content.
#include "FuzzSupport.h"
#include "Vst3HostApplication.h"
#include "Vst3Instance.h"
#include "Vst3Module.h"

#include "pluginterfaces/base/ibstream.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "public.sdk/source/common/memorystream.h"

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

Vst3Module* gModule = nullptr;

// A read-only stream over the fuzzer's bytes with scripted faults.
class FuzzStream : public IBStream {
public:
  FuzzStream(std::vector<uint8_t> bytes, uint8_t mode, uint8_t failAt)
      : mBytes(std::move(bytes)), mMode(mode), mFailAt(failAt) {}
  virtual ~FuzzStream() = default;

  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
    const int call = mReads++;
    if (numBytes < 0 || (mMode & 1 && call == mFailAt % 4)) {
      if (numBytesRead) *numBytesRead = 0;
      return kResultFalse;
    }
    size_t n = std::min<size_t>(static_cast<size_t>(numBytes), mBytes.size() - mCursor);
    if (mMode & 2) n = std::min<size_t>(n, mFailAt); // short reads
    if (n) std::memcpy(buffer, mBytes.data() + mCursor, n);
    mCursor += n;
    // Counts that lie, no count at all, or the truth.
    if (numBytesRead)
      *numBytesRead = mMode & 4 ? numBytes + (mMode >> 4) - 8 : static_cast<int32>(n);
    return (mMode & 8) && n < static_cast<size_t>(numBytes) ? kResultFalse : kResultOk;
  }
  tresult PLUGIN_API write(void*, int32, int32* written) override {
    if (written) *written = 0;
    return kResultFalse;
  }
  tresult PLUGIN_API seek(int64 pos, int32 mode, int64* result) override {
    int64 base = mode == kIBSeekCur   ? static_cast<int64>(mCursor)
                 : mode == kIBSeekEnd ? static_cast<int64>(mBytes.size())
                                      : 0;
    int64 to = std::max<int64>(0, std::min<int64>(base + pos, mBytes.size()));
    mCursor = static_cast<size_t>(to);
    if (result) *result = to;
    return kResultOk;
  }
  tresult PLUGIN_API tell(int64* pos) override {
    if (pos) *pos = static_cast<int64>(mCursor);
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (FUnknownPrivate::iidEqual(iid, IBStream::iid) ||
        FUnknownPrivate::iidEqual(iid, FUnknown::iid)) {
      *obj = this;
      return kResultOk;
    }
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }

private:
  std::vector<uint8_t> mBytes;
  uint8_t mMode;
  uint8_t mFailAt;
  size_t mCursor = 0;
  int mReads = 0;
};

// The instance after the load: a 52-byte state of in-bounds values and a 0/1
// flag, normalised values in 0..1, texts for every value, finite output.
void CheckInstance(Vst3Instance& instance) {
  std::vector<uint8_t> state;
  FUZZ_CHECK(instance.GetState(state));
  FUZZ_CHECK(state.size() == 8 * kStripParams + 4);
  IEditController* controller = instance.Controller();
  for (int i = 0; i < kStripParams && state.size() == 8 * kStripParams + 4; ++i) {
    double v = 0.0;
    std::memcpy(&v, state.data() + 8 * i, sizeof v);
    FUZZ_CHECK(std::isfinite(v) && v >= kParamMin[i] && v <= kParamMax[i]);
    const ParamValue normalised = controller->getParamNormalized(static_cast<ParamID>(i));
    FUZZ_CHECK(normalised >= 0.0 && normalised <= 1.0);
    String128 text{};
    FUZZ_CHECK(controller->getParamStringByValue(static_cast<ParamID>(i), normalised, text) ==
               kResultOk);
  }
  constexpr int kFrames = 113;
  std::vector<float> in(kFrames), out0(kFrames), out1(kFrames);
  for (int i = 0; i < kFrames; ++i)
    in[i] = static_cast<float>(0.9 * std::sin(0.07 * i));
  float* inPtr[2] = {in.data(), in.data()};
  float* outPtr[2] = {out0.data(), out1.data()};
  FUZZ_CHECK(instance.Process(inPtr, outPtr, kFrames) == kResultOk);
  for (int i = 0; i < kFrames; ++i)
    FUZZ_CHECK(std::isfinite(out0[i]) && std::isfinite(out1[i]));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  gModule = new Vst3Module();
  FUZZ_CHECK(gModule->Load(TOLVEN_VST3_MODULE_PATH));
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzInput input(data, size);
  const uint8_t componentMode = input.Take<uint8_t>();
  const uint8_t controllerMode = input.Take<uint8_t>();
  const uint8_t failAt = input.Take<uint8_t>();
  const std::vector<uint8_t> bytes = input.Bytes(input.Remaining());

  Vst3HostApplication host("TOLVEN fuzz host");
  Vst3Instance instance;
  FUZZ_CHECK(instance.Create(gModule->Factory(), &host));
  FUZZ_CHECK(instance.Start(2, 48000.0, 128));
  FuzzStream component(bytes, componentMode, failAt);
  instance.Component()->setState(&component);
  FuzzStream controller(bytes, controllerMode, failAt);
  instance.Controller()->setState(&controller);
  FuzzStream componentState(bytes, controllerMode, failAt);
  instance.Controller()->setComponentState(&componentState);
  CheckInstance(instance);
  instance.Stop();
  instance.Destroy();
  return 0;
}
