#include "BuiltInReference.h"

#include <algorithm>
#include <cmath>

namespace lv2test {

std::vector<float> TestSignal(int frames, int rate) {
  std::vector<float> v(static_cast<std::size_t>(frames) * 2);
  const double pi = 3.14159265358979323846;
  for (int n = 0; n < frames; ++n) {
    const double t = static_cast<double>(n) / rate;
    const double sweep = 0.25 * std::sin(2 * pi * (200.0 + 3000.0 * t) * t);
    const double click = n % 7919 < 12 ? 0.4 : 0.0;
    v[2 * n] = static_cast<float>(0.45 * std::sin(2 * pi * 110.0 * t) + sweep + click);
    v[2 * n + 1] = static_cast<float>(0.35 * std::sin(2 * pi * 173.0 * t) - sweep);
  }
  return v;
}

BuiltInReference::BuiltInReference(double sampleRate, int maxBlock)
    : mStrip(new TOLVEN(IPlugInstanceInfo{})) {
  mStrip->SetChannels(2);
  mStrip->Prepare(sampleRate, maxBlock);
}

std::vector<float> BuiltInReference::Render(const std::vector<float>& interleaved, int block) {
  const std::size_t frames = interleaved.size() / 2;
  std::vector<float> in[2], out[2];
  for (auto* v : {&in[0], &in[1], &out[0], &out[1]})
    v->assign(static_cast<std::size_t>(block), 0.0f);
  std::vector<float> result(frames * 2);
  for (std::size_t start = 0; start < frames; start += static_cast<std::size_t>(block)) {
    const std::size_t n = std::min(frames - start, static_cast<std::size_t>(block));
    for (std::size_t k = 0; k < n; ++k) {
      in[0][k] = interleaved[2 * (start + k)];
      in[1][k] = interleaved[2 * (start + k) + 1];
    }
    const float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[2] = {out[0].data(), out[1].data()};
    mStrip->Process(inputs, outputs, static_cast<int>(n));
    for (std::size_t k = 0; k < n; ++k) {
      result[2 * (start + k)] = out[0][k];
      result[2 * (start + k) + 1] = out[1][k];
    }
  }
  return result;
}

} // namespace lv2test
