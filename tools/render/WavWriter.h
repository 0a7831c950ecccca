#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Writes a WAV file through a temporary file beside the target, renamed into
// place only by Commit: a failed or interrupted render never leaves a partial
// or truncated output behind, and an existing file is replaced only on success.
class WavWriter {
public:
  WavWriter() = default;
  ~WavWriter(); // removes the temporary file unless committed
  WavWriter(const WavWriter&) = delete;
  WavWriter& operator=(const WavWriter&) = delete;

  // format: libsndfile format code (SF_FORMAT_WAV | subtype).
  bool Open(const std::string& path, int format, int channels, double sampleRate,
            std::string& error);
  bool Write(const double* interleaved, int64_t frames, std::string& error);
  // Closes the temporary file and renames it to the target.
  bool Commit(std::string& error);
  // Closes and deletes the temporary file.
  void Abandon();

  const std::string& TemporaryPath() const { return mTempPath; }
  // Samples limited to full scale so far (integer formats only).
  int64_t ClippedSamples() const { return mClipped; }

private:
  void* mFile = nullptr; // SNDFILE*
  std::string mPath;
  std::string mTempPath;
  int mChannels = 0;
  double mIntegerScale = 0.0; // 0 for float files
  std::vector<double> mScaled;
  int64_t mClipped = 0;
};

// The temporary files still open for writing, removed on an interrupt signal.
void RemovePendingOutputs();
