#include "BuiltInReference.h"

#include "StereoBlocks.h"

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
  return RenderStereoInBlocks(interleaved, block, [this](float** in, float** out, int n) {
    const float* inputs[2] = {in[0], in[1]};
    mStrip->Process(inputs, out, n);
  });
}

} // namespace lv2test
