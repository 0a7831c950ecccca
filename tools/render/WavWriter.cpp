#include "WavWriter.h"

#include <sndfile.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>

namespace {

// Paths of temporary files not yet committed, kept in fixed storage so that a
// signal handler can remove them without allocating.
constexpr int kMaxPending = 4;
constexpr int kMaxPathBytes = 4096;
char gPending[kMaxPending][kMaxPathBytes];

void AddPending(const std::string& path) {
  if (path.size() >= kMaxPathBytes) return;
  for (auto& slot : gPending) {
    if (slot[0] == '\0') {
      std::memcpy(slot, path.c_str(), path.size() + 1);
      return;
    }
  }
}

void DropPending(const std::string& path) {
  for (auto& slot : gPending) {
    if (path == slot) slot[0] = '\0';
  }
}

std::string TemporaryNameFor(const std::string& path) {
  std::random_device seed;
  std::mt19937 gen(seed());
  char suffix[32];
  std::snprintf(suffix, sizeof suffix, ".%08x.partial", static_cast<unsigned>(gen()));
  return path + suffix;
}

} // namespace

void RemovePendingOutputs() {
  for (auto& slot : gPending) {
    if (slot[0] != '\0') std::remove(slot);
    slot[0] = '\0';
  }
}

WavWriter::~WavWriter() {
  Abandon();
}

bool WavWriter::Open(const std::string& path, int format, int channels, double sampleRate,
                     std::string& error) {
  Abandon();
  SF_INFO info = {};
  info.channels = channels;
  info.samplerate = static_cast<int>(sampleRate);
  info.format = format;
  if (!sf_format_check(&info)) {
    error = "cannot write " + path + ": unsupported output format";
    return false;
  }
  mPath = path;
  mTempPath = TemporaryNameFor(path);
  AddPending(mTempPath);
  SNDFILE* file = sf_open(mTempPath.c_str(), SFM_WRITE, &info);
  if (!file) {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    DropPending(mTempPath);
    std::remove(mTempPath.c_str());
    mTempPath.clear();
    return false;
  }
  // No PEAK chunk: it carries a time stamp, and the same render should give
  // the same file byte for byte.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  // Integer samples are scaled and clipped here (see WavReader): full scale
  // is 2^(bits - 1), and the largest positive code is one below it.
  const int subtype = format & SF_FORMAT_SUBMASK;
  mIntegerScale = 0.0;
  if (subtype == SF_FORMAT_PCM_16) mIntegerScale = 32768.0;
  if (subtype == SF_FORMAT_PCM_24) mIntegerScale = 8388608.0;
  if (subtype == SF_FORMAT_PCM_32) mIntegerScale = 2147483648.0;
  if (mIntegerScale > 0.0) sf_command(file, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  mFile = file;
  mChannels = channels;
  return true;
}

bool WavWriter::Write(const double* interleaved, int64_t frames, std::string& error) {
  if (!mFile) {
    error = "internal error: output not open";
    return false;
  }
  const double* data = interleaved;
  if (mIntegerScale > 0.0) {
    mScaled.resize(static_cast<size_t>(frames) * mChannels);
    const double top = mIntegerScale - 1.0;
    for (size_t i = 0; i < mScaled.size(); ++i) {
      double v = interleaved[i] * mIntegerScale;
      if (v > top) {
        v = top;
        ++mClipped;
      } else if (v < -mIntegerScale) {
        v = -mIntegerScale;
        ++mClipped;
      } else if (v != v) {
        v = 0.0;
      }
      mScaled[i] = v;
    }
    data = mScaled.data();
  }
  const sf_count_t done = sf_writef_double(static_cast<SNDFILE*>(mFile), data, frames);
  if (done != frames) {
    error = "cannot write " + mPath + ": " + sf_strerror(static_cast<SNDFILE*>(mFile));
    return false;
  }
  return true;
}

bool WavWriter::Commit(std::string& error) {
  if (!mFile) {
    error = "internal error: output not open";
    return false;
  }
  SNDFILE* file = static_cast<SNDFILE*>(mFile);
  mFile = nullptr;
  if (sf_close(file) != 0) {
    error = "cannot write " + mPath + ": closing the file failed";
    Abandon();
    return false;
  }
  std::error_code ec;
  std::filesystem::rename(mTempPath, mPath, ec);
  if (ec) {
    error = "cannot write " + mPath + ": " + ec.message();
    Abandon();
    return false;
  }
  DropPending(mTempPath);
  mTempPath.clear();
  return true;
}

void WavWriter::Abandon() {
  if (mFile) {
    sf_close(static_cast<SNDFILE*>(mFile));
    mFile = nullptr;
  }
  if (!mTempPath.empty()) {
    std::remove(mTempPath.c_str());
    DropPending(mTempPath);
    mTempPath.clear();
  }
}
