#pragma once

// The channel strip built into the test (offline binding), played the way
// the LV2 tests play the module: the reference its audio, meter and
// parameter table must equal.

#include "TOLVEN.h"

#include <memory>
#include <vector>

namespace lv2test {

// Interleaved stereo test material: two tones, a rising sweep and clicks,
// loud enough to drive the stage.
std::vector<float> TestSignal(int frames, int rate);

class BuiltInReference {
public:
  BuiltInReference(double sampleRate, int maxBlock);

  TOLVEN& Strip() { return *mStrip; }
  void Set(int paramIndex, double value) { mStrip->SetParameterValue(paramIndex, value); }
  // Interleaved stereo through the float processing path, block frames per
  // call.
  std::vector<float> Render(const std::vector<float>& interleaved, int block);

private:
  std::unique_ptr<TOLVEN> mStrip;
};

} // namespace lv2test
