#include "StereoStage.h"

#include "Oversampler.h"
#include "SaturationCurve.h"

namespace {

bool CpuHasAvx() {
  // Also checks that the operating system saves the AVX registers.
  return __builtin_cpu_supports("avx");
}

} // namespace

StereoStage::ProcessFunction StereoStage::sProcess =
    CpuHasAvx() ? &StereoStage::ProcessAvx : &StereoStage::ProcessSse2;

StereoStage::StereoStage() {
  up2.SetCoefficients(Oversampler::kCoefficients12);
  up4.SetCoefficients(Oversampler::kCoefficients4);
  down4.SetCoefficients(Oversampler::kCoefficients4);
  down2.SetCoefficients(Oversampler::kCoefficients12);
}

bool StereoStage::SelectPath(Path path) {
  if (path == Path::kAvx && !CpuHasAvx()) return false;
  sProcess = path == Path::kAvx ? &StereoStage::ProcessAvx : &StereoStage::ProcessSse2;
  return true;
}

StereoStage::Path StereoStage::SelectedPath() {
  return sProcess == &StereoStage::ProcessAvx ? Path::kAvx : Path::kSse2;
}

Lanes StereoStage::ProcessSse2(StereoStage& s, Lanes in, const Lanes (&gains)[4]) {
  Lanes w[4];
  s.up2.Up(in, w[0], w[2]);
  const Lanes u1 = w[2];
  s.up4.Up(w[0], w[0], w[1]);
  s.up4.Up(u1, w[2], w[3]);
  for (int k = 0; k < 4; ++k)
    w[k] = SaturationCurve::Values(gains[k] * w[k]);
  const Lanes d0 = s.down4.Down(w[0], w[1]);
  const Lanes d1 = s.down4.Down(w[2], w[3]);
  return s.down2.Down(d0, d1);
}
