#pragma once

#include <cstdint>

// Where the renderer's input comes from: a file or the generated demo signal.
// Samples are interleaved doubles, full scale +-1.
class SignalSource {
public:
  virtual ~SignalSource() = default;
  virtual int Channels() const = 0;
  virtual double SampleRate() const = 0;
  virtual int64_t TotalFrames() const = 0;
  // Reads up to frames frames into interleaved; returns the number read, 0 at
  // the end, -1 on a read error.
  virtual int64_t Read(double* interleaved, int64_t frames) = 0;
};
