#include "FuzzSupport.h"

#include "Vst2Instance.h"
#include "Vst2Module.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

const double kParamMin[kStripParams] = {0.0, 0.0, 0.0, -24.0, -24.0, 0.0};
const double kParamMax[kStripParams] = {1.0, 1.0, 1.0, 24.0, 24.0, 1.0};

VstPluginMainProc Vst2Entry() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  FUZZ_CHECK(module.IsLoaded());
  return module.EntryPoint();
}

void FuzzFailure(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: check failed: %s\n", file, line, what);
  std::abort();
}

namespace {

constexpr int kFrames = 97;
constexpr size_t kChunkHeader = 8;

template <typename T> void CheckProcessing(Vst2Instance& fx, bool accumulate = false) {
  std::vector<std::vector<T>> in(2, std::vector<T>(kFrames)), out(2, std::vector<T>(kFrames));
  for (int i = 0; i < kFrames; ++i) {
    in[0][i] = static_cast<T>(0.8 * std::sin(0.1 * i));
    in[1][i] = static_cast<T>(i % 2 ? 1.0 : -1.0);
  }
  T* inPtr[2] = {in[0].data(), in[1].data()};
  T* outPtr[2] = {out[0].data(), out[1].data()};
  if constexpr (sizeof(T) == sizeof(double))
    fx.ProcessDouble(inPtr, outPtr, kFrames);
  else if (accumulate)
    fx.ProcessAccumulate(inPtr, outPtr, kFrames);
  else
    fx.ProcessFloat(inPtr, outPtr, kFrames);
  for (const auto& channel : out)
    for (T v : channel)
      FUZZ_CHECK(std::isfinite(v));
}

} // namespace

void CheckVst2Instance(Vst2Instance& fx) {
  FUZZ_CHECK(fx.NumParams() == kStripParams);
  const std::vector<unsigned char> program = fx.GetChunk(true);
  FUZZ_CHECK(program.size() == kChunkHeader + 8 * kStripParams);
  for (int i = 0; i < kStripParams && program.size() >= kChunkHeader + 8 * kStripParams; ++i) {
    double v = 0.0;
    std::memcpy(&v, program.data() + kChunkHeader + 8 * i, sizeof v);
    FUZZ_CHECK(std::isfinite(v) && v >= kParamMin[i] && v <= kParamMax[i]);
    const float normalised = fx.GetParameter(i);
    FUZZ_CHECK(normalised >= 0.0f && normalised <= 1.0f);
    const std::string display = fx.ParamDisplay(i);
    FUZZ_CHECK(!display.empty() && display.size() <= kVstMaxParamStrLen);
    FUZZ_CHECK(fx.ParamLabel(i).size() <= kVstMaxParamStrLen);
  }
  FUZZ_CHECK(!fx.GetChunk(false).empty());
  FUZZ_CHECK(fx.ProgramName().size() <= kVstMaxProgNameLen);
  CheckProcessing<float>(fx);
  CheckProcessing<float>(fx, true);
  CheckProcessing<double>(fx);
}
