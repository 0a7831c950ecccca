#pragma once

// Shared pieces of the tests that run tolven-render as a separate process, as
// a user runs it: where the tool and the built modules are, a scratch folder
// per test, the tool's exit status and output, and WAV files written and read
// with libsndfile.

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace rendertest {

namespace fs = std::filesystem;

// The folder of the running test executable; the tool and the modules are
// built beside it.
fs::path ExecutableDir();
// The tolven-render executable beside the tests.
fs::path ToolPath();
// A built file: an absolute path as it is, a relative one beside the tests.
fs::path BesideTests(const fs::path& path);
// The whole file as bytes; empty when it cannot be read.
std::string ReadFile(const fs::path& path);

// Interleaved samples, full scale +-1, with libsndfile's format code.
struct Audio {
  int channels = 0;
  int rate = 0;
  int format = 0;
  std::vector<double> samples;
  std::size_t Frames() const {
    return channels > 0 ? samples.size() / static_cast<std::size_t>(channels) : 0;
  }
};

// The full-scale code of an integer sample format; 0 for floating point.
double IntegerScale(int format);
// Integer samples are read and written as their exact codes over the full
// scale (no library scaling), so comparisons are about the tool alone. False
// when the file cannot be opened or not every frame is transferred.
bool ReadAudio(const fs::path& path, Audio& audio);
bool WriteAudio(const fs::path& path, const Audio& audio);

// A fresh scratch folder for every test, removed afterwards, and the tool run
// in it with stdout and stderr captured.
class RenderProcessTest : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  fs::path File(const std::string& name) const { return mDir / name; }
  // Runs the tool with args; its exit status, with out and err holding what
  // it printed.
  int Run(const std::vector<std::string>& args);
  // Renders in.wav with the same options twice: through the built-in strip
  // into builtin.wav, then through the module into plugin.wav. out and err
  // are the module run's.
  ::testing::AssertionResult RenderBothWays(const std::vector<std::string>& options,
                                            const fs::path& module);
  // Nothing in the folder but the given files: no output, no temporary left.
  void ExpectOnly(const std::vector<std::string>& names) const;

  fs::path mDir;
  std::string out;
  std::string err;

private:
  std::unique_ptr<ScratchFolder> mScratch;
  std::unique_ptr<ScratchFolder> mCapture; // beside mDir, so captures never show up in it
  fs::path mCaptureDir;
  int mRuns = 0;
};

} // namespace rendertest
