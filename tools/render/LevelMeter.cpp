#include "LevelMeter.h"

#include <cmath>
#include <cstdio>
#include <limits>

void LevelMeter::Add(const double* interleaved, int64_t frames, int channels) {
  const int64_t count = frames * channels;
  for (int64_t i = 0; i < count; ++i) {
    const double a = std::fabs(interleaved[i]);
    if (a > mPeak) mPeak = a;
    mSumOfSquares += interleaved[i] * interleaved[i];
  }
  mSamples += count;
}

double LevelMeter::Rms() const {
  return mSamples > 0 ? std::sqrt(mSumOfSquares / static_cast<double>(mSamples)) : 0.0;
}

double LevelMeter::ToDbfs(double level) {
  if (!(level > 0.0)) return -std::numeric_limits<double>::infinity();
  return 20.0 * std::log10(level);
}

std::string LevelMeter::FormatDbfs(double level) {
  const double db = ToDbfs(level);
  if (std::isinf(db)) return "-inf dBFS";
  char text[32];
  std::snprintf(text, sizeof text, "%.2f dBFS", db);
  return text;
}
