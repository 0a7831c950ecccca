#include "Vst3TestSupport.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace vst3test {

Vst3Module& Module() {
  static Vst3Module module(TOLVEN_VST3_MODULE_PATH);
  return module;
}

std::vector<TChar> Widen(const std::string& text) {
  std::vector<TChar> wide;
  for (char c : text)
    wide.push_back(static_cast<TChar>(static_cast<unsigned char>(c)));
  wide.push_back(0);
  return wide;
}

std::string Narrow(const TChar* text, size_t maxUnits) {
  std::string result;
  for (size_t i = 0; text && i < maxUnits && text[i]; ++i) {
    EXPECT_LT(static_cast<unsigned>(text[i]), 0x80u) << "non-ASCII unit at " << i;
    result.push_back(static_cast<char>(text[i]));
  }
  return result;
}

tresult PLUGIN_API TestStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  ++mReads;
  if (numBytesRead) *numBytesRead = 0;
  if (mMode == Mode::FailReads) return kResultFalse;
  if (!buffer || numBytes < 0) return kInvalidArgument;
  size_t n = std::min(static_cast<size_t>(numBytes), mBytes.size() - mCursor);
  if (n) std::memcpy(buffer, mBytes.data() + mCursor, n);
  mCursor += n;
  if (numBytesRead) *numBytesRead = mMode == Mode::LyingReads ? 4096 : static_cast<int32>(n);
  if (mMode == Mode::FailShortReads && n < static_cast<size_t>(numBytes)) return kResultFalse;
  return kResultOk;
}

tresult PLUGIN_API TestStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (mMode == Mode::FailWrites) return kResultFalse;
  if (!buffer || numBytes < 0) return kInvalidArgument;
  size_t n = static_cast<size_t>(numBytes);
  if (mMode == Mode::ShortWrites) n /= 2;
  if (mCursor + n > mBytes.size()) mBytes.resize(mCursor + n);
  if (n) std::memcpy(mBytes.data() + mCursor, buffer, n);
  mCursor += n;
  if (numBytesWritten) *numBytesWritten = static_cast<int32>(n);
  return kResultOk;
}

tresult PLUGIN_API TestStream::seek(int64 pos, int32 mode, int64* result) {
  int64 base = mode == kIBSeekCur   ? static_cast<int64>(mCursor)
               : mode == kIBSeekEnd ? static_cast<int64>(mBytes.size())
                                    : 0;
  int64 target = base + pos;
  if (target < 0 || target > static_cast<int64>(mBytes.size())) return kResultFalse;
  mCursor = static_cast<size_t>(target);
  if (result) *result = target;
  return kResultOk;
}

tresult PLUGIN_API TestStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = static_cast<int64>(mCursor);
  return kResultOk;
}

tresult PLUGIN_API TestStream::queryInterface(const TUID iid, void** obj) {
  if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
      FUnknownPrivate::iidEqual(iid, IBStream::iid)) {
    *obj = static_cast<IBStream*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

double StateValue(const std::vector<std::uint8_t>& state, int index) {
  std::uint64_t bits = 0;
  for (int b = 7; b >= 0; --b)
    bits = (bits << 8) | state.at(static_cast<size_t>(index * 8 + b));
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void SetStateValue(std::vector<std::uint8_t>& state, int index, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int b = 0; b < 8; ++b)
    state.at(static_cast<size_t>(index * 8 + b)) = static_cast<std::uint8_t>(bits >> (8 * b));
}

std::int32_t StateFlag(const std::vector<std::uint8_t>& state) {
  std::uint32_t bits = 0;
  for (int b = 3; b >= 0; --b)
    bits = (bits << 8) | state.at(static_cast<size_t>(48 + b));
  return static_cast<std::int32_t>(bits);
}

void SetStateFlag(std::vector<std::uint8_t>& state, std::int32_t flag) {
  for (int b = 0; b < 4; ++b)
    state.at(static_cast<size_t>(48 + b)) =
        static_cast<std::uint8_t>(static_cast<std::uint32_t>(flag) >> (8 * b));
}

std::vector<std::uint8_t> ControllerState(IEditController* controller) {
  TestStream stream;
  if (!controller || controller->getState(&stream) != kResultOk) return {};
  return stream.Bytes();
}

tresult SetControllerState(IEditController* controller, const std::vector<std::uint8_t>& bytes) {
  TestStream stream(bytes);
  return controller->setState(&stream);
}

bool Plugin::Create() {
  if (!Module().IsLoaded()) {
    ADD_FAILURE() << "module not loaded: " << Module().Error();
    return false;
  }
  if (!instance.Create(Module().Factory(), &host)) {
    ADD_FAILURE() << instance.Error();
    return false;
  }
  return true;
}

std::vector<std::vector<float>> TestSignal(int channels, int frames, int seed) {
  std::vector<std::vector<float>> planes(static_cast<size_t>(channels));
  for (int c = 0; c < channels; ++c) {
    auto& plane = planes[static_cast<size_t>(c)];
    plane.resize(static_cast<size_t>(frames));
    for (int n = 0; n < frames; ++n) {
      double t = n / 48000.0;
      double v = 0.4 * std::sin(2 * M_PI * (110.0 + 30 * c + seed) * t) +
                 0.2 * std::sin(2 * M_PI * 3150.0 * t + c) + (n % 4800 == 17 ? 0.25 : 0.0);
      plane[static_cast<size_t>(n)] = static_cast<float>(v);
    }
  }
  return planes;
}

std::vector<std::vector<double>> ToDouble(const std::vector<std::vector<float>>& in) {
  std::vector<std::vector<double>> out;
  for (const auto& plane : in)
    out.emplace_back(plane.begin(), plane.end());
  return out;
}

std::vector<float*> Pointers(std::vector<std::vector<float>>& planes) {
  std::vector<float*> pointers;
  for (auto& plane : planes)
    pointers.push_back(plane.data());
  return pointers;
}

std::vector<double*> Pointers(std::vector<std::vector<double>>& planes) {
  std::vector<double*> pointers;
  for (auto& plane : planes)
    pointers.push_back(plane.data());
  return pointers;
}

template <class T>
static std::vector<std::vector<T>> Render(Vst3Instance& instance,
                                          const std::vector<std::vector<T>>& in,
                                          const std::vector<int>& blockSizes) {
  size_t channels = in.size();
  size_t frames = channels ? in[0].size() : 0;
  std::vector<std::vector<T>> out(channels, std::vector<T>(frames, T(0)));
  size_t pos = 0;
  size_t next = 0;
  std::vector<T*> inPointers(channels);
  std::vector<T*> outPointers(channels);
  while (pos < frames) {
    size_t block =
        std::min(static_cast<size_t>(blockSizes[next++ % blockSizes.size()]), frames - pos);
    for (size_t c = 0; c < channels; ++c) {
      inPointers[c] = const_cast<T*>(in[c].data()) + pos;
      outPointers[c] = out[c].data() + pos;
    }
    EXPECT_EQ(kResultOk,
              instance.Process(inPointers.data(), outPointers.data(), static_cast<int>(block)));
    pos += block;
  }
  return out;
}

std::vector<std::vector<double>> Render64(Vst3Instance& instance,
                                          const std::vector<std::vector<double>>& in,
                                          const std::vector<int>& blockSizes) {
  return Render(instance, in, blockSizes);
}

std::vector<std::vector<float>> Render32(Vst3Instance& instance,
                                         const std::vector<std::vector<float>>& in,
                                         const std::vector<int>& blockSizes) {
  return Render(instance, in, blockSizes);
}

} // namespace vst3test
