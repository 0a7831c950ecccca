// Processes a given number of stereo frames at 48 kHz (after the same
// settling as the benchmark) so that callgrind.sh can count instructions per
// frame from two runs of different lengths: the difference excludes start-up.
#include "TOLVEN.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 48000;
  constexpr int kBlock = 512;
  IPlugInstanceInfo info;
  info.hostName = "tolven-bench";
  TOLVEN strip(info);
  strip.Prepare(48000.0, kBlock);
  std::vector<double> left(kBlock);
  std::vector<double> right(kBlock);
  std::vector<double> outLeft(kBlock);
  std::vector<double> outRight(kBlock);
  double* in[2] = {left.data(), right.data()};
  double* out[2] = {outLeft.data(), outRight.data()};
  unsigned x = 1;
  double sum = 0.0;
  for (long done = 0; done < frames; done += kBlock) {
    for (int n = 0; n < kBlock; ++n) {
      x = x * 1664525u + 1013904223u;
      left[n] = 0.25 * (static_cast<double>(x >> 8) / 8388608.0 - 1.0);
      right[n] = -left[n];
    }
    strip.ProcessBlock(in, out, kBlock);
    sum += outLeft[0];
  }
  std::printf("%ld frames, checksum %.17g\n", frames, sum);
  return 0;
}
