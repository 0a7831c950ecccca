#pragma once

// Interleaved stereo handed to a processor as a host hands it over: split
// into two input buffers of block frames, processed, the two output buffers
// gathered again. process(in, out, n) gets the buffers (the same ones every
// call, as host-owned memory) and the frames of this call.

#include <algorithm>
#include <cstddef>
#include <vector>

namespace lv2test {

template <typename Process>
std::vector<float> RenderStereoInBlocks(const std::vector<float>& interleaved, int block,
                                        Process process) {
  const auto size = static_cast<std::size_t>(block);
  std::vector<float> buffers[4] = {std::vector<float>(size), std::vector<float>(size),
                                   std::vector<float>(size), std::vector<float>(size)};
  float* in[2] = {buffers[0].data(), buffers[1].data()};
  float* out[2] = {buffers[2].data(), buffers[3].data()};
  const std::size_t frames = interleaved.size() / 2;
  std::vector<float> result(frames * 2);
  for (std::size_t start = 0; start < frames; start += size) {
    const std::size_t n = std::min(frames - start, size);
    for (std::size_t k = 0; k < n; ++k)
      for (int ch = 0; ch < 2; ++ch)
        in[ch][k] = interleaved[2 * (start + k) + ch];
    process(in, out, static_cast<int>(n));
    for (std::size_t k = 0; k < n; ++k)
      for (int ch = 0; ch < 2; ++ch)
        result[2 * (start + k) + ch] = out[ch][k];
  }
  return result;
}

} // namespace lv2test
