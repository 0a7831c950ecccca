#pragma once

#include <vector>

// Delays each output channel's matching input by a fixed number of frames; the
// pass-through of a plug-in with latency. Starts silent. Allocates only in the
// constructor and SetLength.
class DelayLine {
public:
  DelayLine(int numInputs, int numOutputs, int length);

  // New delay in frames (negative counts as 0); the ring is cleared. False,
  // with the old delay kept, when the memory cannot be had.
  bool SetLength(int length);
  int Length() const { return mLength; }
  void Clear();

  // outputs[i] := inputs[i] delayed, for every output with a matching input;
  // the remaining outputs are zeroed. An output may be its own input. Null
  // arrays are skipped (a null input reads as silence).
  void Process(double* const* inputs, double* const* outputs, int frames);

private:
  int mNumInputs;
  int mNumOutputs;
  int mLength = 0;
  int mPosition = 0;
  std::vector<std::vector<double>> mRings; // one per delayed channel
};
