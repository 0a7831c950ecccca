#pragma once

// Shared by the fuzz targets: reading the fuzzer's bytes, the checks that
// make a wrong result a crash libFuzzer keeps, and the sanity of a plug-in
// instance after hostile input.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "VstInterface.h"

class Vst2Instance;

// A failed check aborts, so the fuzzer stores the input that caused it.
#define FUZZ_CHECK(cond) ((cond) ? (void)0 : FuzzFailure(#cond, __FILE__, __LINE__))
[[noreturn]] void FuzzFailure(const char* what, const char* file, int line);

// The fuzzer's bytes, taken from the front; past the end every value is 0.
class FuzzInput {
public:
  FuzzInput(const uint8_t* data, size_t size) : mData(data), mSize(size) {}
  template <typename T> T Take() {
    T value{};
    const size_t n = sizeof(T) < mSize - mPos ? sizeof(T) : mSize - mPos;
    if (n) std::memcpy(&value, mData + mPos, n);
    mPos += n;
    return value;
  }
  size_t Remaining() const { return mSize - mPos; }
  // Up to count bytes (all that are left when count is larger).
  std::vector<uint8_t> Bytes(size_t count) {
    const size_t n = count < Remaining() ? count : Remaining();
    if (n == 0) return {};
    std::vector<uint8_t> bytes(mData + mPos, mData + mPos + n);
    mPos += n;
    return bytes;
  }

private:
  const uint8_t* mData;
  size_t mSize;
  size_t mPos = 0;
};

// The strip's parameters, by index: the bounds every stored value keeps.
constexpr int kStripParams = 6;
extern const double kParamMin[kStripParams];
extern const double kParamMax[kStripParams];

// An opened, resumed VST2 instance after hostile input: its program chunk
// holds one finite value inside its bounds per parameter, its normalised
// values lie in 0..1, its texts fit the published sizes, and finite input
// gives finite output in every processing form.
void CheckVst2Instance(Vst2Instance& fx);

// The VST2 module's entry, from the module loaded on first use (and kept).
VstPluginMainProc Vst2Entry();
