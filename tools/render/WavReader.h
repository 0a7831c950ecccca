#pragma once

#include "SignalSource.h"

#include <string>

// A WAV file opened for reading: 16/24/32-bit integer or 32/64-bit float,
// mono or stereo. Anything else is refused at Open with a message.
class WavReader : public SignalSource {
public:
  WavReader() = default;
  ~WavReader() override;
  WavReader(const WavReader&) = delete;
  WavReader& operator=(const WavReader&) = delete;

  bool Open(const std::string& path, std::string& error);

  int Channels() const override { return mChannels; }
  double SampleRate() const override { return mSampleRate; }
  int64_t TotalFrames() const override { return mFrames; }
  int64_t Read(double* interleaved, int64_t frames) override;

  // libsndfile's format code (container | sample format), for writing the
  // output in the same format.
  int Format() const { return mFormat; }
  // "16-bit integer", "32-bit float", ...
  const char* SampleFormatName() const;

private:
  void* mFile = nullptr; // SNDFILE*
  int mChannels = 0;
  double mSampleRate = 0.0;
  int64_t mFrames = 0;
  int mFormat = 0;
  double mIntegerScale = 0.0; // 0 for float files
};
