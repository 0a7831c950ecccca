// Processes a given number of stereo frames at 48 kHz in one of the bench
// scenarios (after the same preparation as the benchmark) so that
// callgrind.sh can count instructions per frame from two runs of different
// lengths: the difference excludes start-up and preparation.
//   tolven_frame_count FRAMES [settled|moving|subnormal|silence|quiet] [sse2]
#include "BenchScenario.h"
#include "StereoStage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
  const long frames = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 48000;
  const char* mode = argc > 2 ? argv[2] : "settled";
  // The stage path the CPU would not choose by itself, for comparison.
  if (argc > 3 && std::strcmp(argv[3], "sse2") == 0)
    StereoStage::SelectPath(StereoStage::Path::kSse2);
  static const struct {
    const char* name;
    Scenario scenario;
  } kModes[] = {{"settled", Scenario::kSettled},
                {"moving", Scenario::kMoving},
                {"subnormal", Scenario::kSubnormalBands},
                {"silence", Scenario::kSilenceAfterLoud},
                {"quiet", Scenario::kQuiet}};
  for (const auto& m : kModes) {
    if (std::strcmp(m.name, mode) != 0) continue;
    constexpr int kBlock = 512;
    BenchScenario bench(m.scenario, kBlock);
    double sum = 0.0;
    for (long done = 0; done < frames; done += kBlock) {
      bench.RunBlock();
      sum += bench.Output()[0];
    }
    std::printf("%ld frames, checksum %.17g\n", frames, sum);
    return 0;
  }
  std::fprintf(stderr, "tolven_frame_count: unknown scenario %s\n", mode);
  return 2;
}
