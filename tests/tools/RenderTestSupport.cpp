#include "RenderTestSupport.h"

#include "RunCapturing.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <system_error>

#ifdef _WIN32
#include <stdlib.h>
#endif

namespace rendertest {

fs::path ExecutableDir() {
#ifdef _WIN32
  // The C runtime's full path of this executable.
  return fs::path(_pgmptr).parent_path();
#else
  return fs::read_symlink("/proc/self/exe").parent_path();
#endif
}

fs::path ToolPath() {
#ifdef _WIN32
  return ExecutableDir() / "tolven-render.exe";
#else
  return ExecutableDir() / "tolven-render";
#endif
}

fs::path BesideTests(const fs::path& path) {
  return path.is_absolute() ? path : ExecutableDir() / path;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

double IntegerScale(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
  case SF_FORMAT_PCM_16:
    return 32768.0;
  case SF_FORMAT_PCM_24:
    return 8388608.0;
  case SF_FORMAT_PCM_32:
    return 2147483648.0;
  default:
    return 0.0;
  }
}

bool ReadAudio(const fs::path& path, Audio& audio) {
  SF_INFO info = {};
  SNDFILE* f = sf_open(path.string().c_str(), SFM_READ, &info);
  if (!f) return false;
  audio.channels = info.channels;
  audio.rate = info.samplerate;
  audio.format = info.format;
  audio.samples.assign(static_cast<std::size_t>(info.frames) * info.channels, 0.0);
  const double scale = IntegerScale(info.format);
  if (scale > 0.0) sf_command(f, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
  const bool complete = sf_readf_double(f, audio.samples.data(), info.frames) == info.frames;
  sf_close(f);
  if (scale > 0.0)
    for (double& v : audio.samples)
      v /= scale;
  return complete;
}

bool WriteAudio(const fs::path& path, const Audio& audio) {
  SF_INFO info = {};
  info.channels = audio.channels;
  info.samplerate = audio.rate;
  info.format = audio.format;
  SNDFILE* f = sf_open(path.string().c_str(), SFM_WRITE, &info);
  if (!f) return false;
  const double scale = IntegerScale(audio.format);
  std::vector<double> data = audio.samples;
  if (scale > 0.0) {
    sf_command(f, SFC_SET_NORM_DOUBLE, nullptr, SF_FALSE);
    for (double& v : data)
      v = std::round(v * scale);
  }
  const sf_count_t frames = static_cast<sf_count_t>(audio.Frames());
  const bool complete = sf_writef_double(f, data.data(), frames) == frames;
  sf_close(f);
  return complete;
}

void RenderProcessTest::SetUp() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string name = std::string("tolven-render-") + info->test_suite_name();
  mScratch = std::make_unique<ScratchFolder>(name);
  mCapture = std::make_unique<ScratchFolder>(name + "-output");
  mDir = mScratch->Path();
  mCaptureDir = mCapture->Path();
  ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath();
}

void RenderProcessTest::TearDown() {
  mScratch.reset();
  mCapture.reset();
}

int RenderProcessTest::Run(const std::vector<std::string>& args) {
  // Every run captures into files of its own: under Wine the console the
  // first command of a process gets can hold the previous run's capture open
  // for a moment after the command has returned.
  const std::string run = std::to_string(++mRuns);
  const fs::path stdoutFile = mCaptureDir / ("stdout-" + run + ".txt");
  const fs::path stderrFile = mCaptureDir / ("stderr-" + run + ".txt");
  const int status = RunCapturing(ToolPath(), args, stdoutFile, stderrFile);
  out = ReadFile(stdoutFile);
  err = ReadFile(stderrFile);
  std::error_code ec;
  fs::remove(stdoutFile, ec);
  fs::remove(stderrFile, ec);
  return status;
}

::testing::AssertionResult
RenderProcessTest::RenderBothWays(const std::vector<std::string>& options, const fs::path& module) {
  std::vector<std::string> builtIn = options, plugin = options;
  builtIn.insert(builtIn.end(), {File("in.wav").string(), File("builtin.wav").string()});
  plugin.insert(plugin.begin(), {"--plugin", module.string()});
  plugin.insert(plugin.end(), {File("in.wav").string(), File("plugin.wav").string()});
  if (const int status = Run(builtIn); status != 0)
    return ::testing::AssertionFailure()
           << "the built-in strip's render exited with " << status << ": " << err;
  if (const int status = Run(plugin); status != 0)
    return ::testing::AssertionFailure()
           << "the render through " << module << " exited with " << status << ": " << err;
  return ::testing::AssertionSuccess();
}

void RenderProcessTest::ExpectOnly(const std::vector<std::string>& names) const {
  std::vector<std::string> found;
  for (const auto& e : fs::directory_iterator(mDir))
    found.push_back(e.path().filename().string());
  std::sort(found.begin(), found.end());
  std::vector<std::string> expected = names;
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(found, expected);
}

} // namespace rendertest
