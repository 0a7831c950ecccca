#include "WavReader.h"

#include <sndfile.h>

namespace {

bool SupportedSubtype(int subtype) {
  switch (subtype) {
  case SF_FORMAT_PCM_16:
  case SF_FORMAT_PCM_24:
  case SF_FORMAT_PCM_32:
  case SF_FORMAT_FLOAT:
  case SF_FORMAT_DOUBLE:
    return true;
  default:
    return false;
  }
}

} // namespace

WavReader::~WavReader() {
  if (mFile) sf_close(static_cast<SNDFILE*>(mFile));
}

bool WavReader::Open(const std::string& path, std::string& error) {
  SF_INFO info = {};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const int container = info.format & SF_FORMAT_TYPEMASK;
  const int subtype = info.format & SF_FORMAT_SUBMASK;
  const char* problem = nullptr;
  if (container != SF_FORMAT_WAV && container != SF_FORMAT_WAVEX)
    problem = "not a WAV file";
  else if (!SupportedSubtype(subtype))
    problem = "unsupported sample format (16/24/32-bit integer or 32/64-bit float are read)";
  else if (info.channels != 1 && info.channels != 2)
    problem = "unsupported channel count (mono or stereo are read)";
  else if (info.samplerate <= 0)
    problem = "invalid sample rate";
  if (problem) {
    sf_close(file);
    error = path + ": " + problem;
    return false;
  }
  // Integer samples are scaled here by 1 / 2^(bits - 1), the exact inverse of
  // what WavWriter does: libsndfile's own normalisation reads with 2^(bits - 1)
  // but writes with 2^(bits - 1) - 1, which would shift every loud sample of
  // a file passed straight through.
  mIntegerScale = 0.0;
  if (subtype == SF_FORMAT_PCM_16) mIntegerScale = 1.0 / 32768.0;
  if (subtype == SF_FORMAT_PCM_24) mIntegerScale = 1.0 / 8388608.0;
  if (subtype == SF_FORMAT_PCM_32) mIntegerScale = 1.0 / 2147483648.0;
  sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, mIntegerScale > 0.0 ? SF_FALSE : SF_TRUE);
  mFile = file;
  mChannels = info.channels;
  mSampleRate = info.samplerate;
  mFrames = info.frames;
  mFormat = info.format;
  return true;
}

int64_t WavReader::Read(double* interleaved, int64_t frames) {
  if (!mFile) return -1;
  const sf_count_t got = sf_readf_double(static_cast<SNDFILE*>(mFile), interleaved, frames);
  if (got < frames && sf_error(static_cast<SNDFILE*>(mFile)) != SF_ERR_NO_ERROR) return -1;
  if (mIntegerScale > 0.0) {
    for (sf_count_t i = 0; i < got * mChannels; ++i)
      interleaved[i] *= mIntegerScale;
  }
  return got;
}

const char* WavReader::SampleFormatName() const {
  switch (mFormat & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_16:
    return "16-bit integer";
  case SF_FORMAT_PCM_24:
    return "24-bit integer";
  case SF_FORMAT_PCM_32:
    return "32-bit integer";
  case SF_FORMAT_FLOAT:
    return "32-bit float";
  case SF_FORMAT_DOUBLE:
    return "64-bit float";
  default:
    return "unknown";
  }
}
