#include "DelayLine.h"

#include <algorithm>
#include <cstring>
#include <exception>

DelayLine::DelayLine(int numInputs, int numOutputs, int length)
    : mNumInputs(std::max(numInputs, 0)), mNumOutputs(std::max(numOutputs, 0)) {
  mRings.resize(static_cast<std::size_t>(std::min(mNumInputs, mNumOutputs)));
  SetLength(length);
}

bool DelayLine::SetLength(int length) {
  length = std::max(length, 0);
  try {
    std::vector<std::vector<double>> rings(mRings.size(),
                                           std::vector<double>(static_cast<std::size_t>(length)));
    mRings.swap(rings);
  } catch (const std::exception&) {
    return false;
  }
  mLength = length;
  mPosition = 0;
  return true;
}

void DelayLine::Clear() {
  for (std::vector<double>& ring : mRings)
    std::fill(ring.begin(), ring.end(), 0.0);
  mPosition = 0;
}

void DelayLine::Process(double* const* inputs, double* const* outputs, int frames) {
  if (!outputs || frames <= 0) return;
  const int delayed = static_cast<int>(mRings.size());
  for (int c = 0; c < mNumOutputs; ++c) {
    double* out = outputs[c];
    if (!out) continue;
    const double* in = (c < delayed && inputs) ? inputs[c] : nullptr;
    if (c >= delayed || !in) {
      if (c < delayed && mLength > 0) {
        // Silence still enters the ring, so the channel stays in step.
        std::vector<double>& ring = mRings[static_cast<std::size_t>(c)];
        int p = mPosition;
        for (int s = 0; s < frames; ++s) {
          out[s] = ring[static_cast<std::size_t>(p)];
          ring[static_cast<std::size_t>(p)] = 0.0;
          if (++p == mLength) p = 0;
        }
      } else {
        std::memset(out, 0, sizeof(double) * static_cast<std::size_t>(frames));
      }
      continue;
    }
    if (mLength == 0) {
      if (out != in) std::memmove(out, in, sizeof(double) * static_cast<std::size_t>(frames));
      continue;
    }
    std::vector<double>& ring = mRings[static_cast<std::size_t>(c)];
    int p = mPosition;
    for (int s = 0; s < frames; ++s) {
      const double x = in[s]; // read first: out may be in
      out[s] = ring[static_cast<std::size_t>(p)];
      ring[static_cast<std::size_t>(p)] = x;
      if (++p == mLength) p = 0;
    }
  }
  if (mLength > 0)
    mPosition = static_cast<int>((mPosition + static_cast<long long>(frames)) % mLength);
}
