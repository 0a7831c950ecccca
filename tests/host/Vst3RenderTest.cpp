// tolven-render --plugin with the VST3 module: run as a separate process, as
// a user runs it, against the built-in channel strip.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifdef _WIN32
#include <process.h>
#include <stdlib.h>
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

#ifndef TOLVEN_VST3_MODULE_PATH
#error "TOLVEN_VST3_MODULE_PATH must name the built VST3 module"
#endif

namespace fs = std::filesystem;

namespace {

fs::path ExecutableDir() {
#ifdef _WIN32
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

// The module file, and the bundle folder around it on Linux.
fs::path ModuleFile() {
  fs::path p(TOLVEN_VST3_MODULE_PATH);
  return p.is_absolute() ? p : ExecutableDir() / p;
}
fs::path ModuleBundle() {
#ifdef _WIN32
  return ModuleFile();
#else
  return ModuleFile().parent_path().parent_path().parent_path();
#endif
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A 64-bit float WAV file: what keeps every bit of the processing visible.
void WriteWav64(const fs::path& p, int channels, int rate, const std::vector<double>& samples) {
  auto u32 = [](std::string& s, std::uint32_t v) {
    for (int b = 0; b < 4; ++b)
      s.push_back(static_cast<char>(v >> (8 * b)));
  };
  auto u16 = [](std::string& s, std::uint16_t v) {
    s.push_back(static_cast<char>(v & 0xFF));
    s.push_back(static_cast<char>(v >> 8));
  };
  std::string fmt, data;
  u16(fmt, 3); // IEEE float
  u16(fmt, static_cast<std::uint16_t>(channels));
  u32(fmt, static_cast<std::uint32_t>(rate));
  u32(fmt, static_cast<std::uint32_t>(rate * channels * 8));
  u16(fmt, static_cast<std::uint16_t>(channels * 8));
  u16(fmt, 64);
  for (double v : samples) {
    std::uint64_t bits;
    std::memcpy(&bits, &v, sizeof bits);
    for (int b = 0; b < 8; ++b)
      data.push_back(static_cast<char>(bits >> (8 * b)));
  }
  std::string body = "WAVEfmt ";
  u32(body, static_cast<std::uint32_t>(fmt.size()));
  body += fmt + "data";
  u32(body, static_cast<std::uint32_t>(data.size()));
  body += data;
  std::string file = "RIFF";
  u32(file, static_cast<std::uint32_t>(body.size()));
  std::ofstream(p, std::ios::binary) << file << body;
}

std::vector<double> Music(int channels, int frames, int rate) {
  std::vector<double> v;
  for (int n = 0; n < frames; ++n)
    for (int c = 0; c < channels; ++c) {
      double t = static_cast<double>(n) / rate;
      v.push_back(0.5 * std::sin(2 * M_PI * (80.0 + 40 * c) * t) +
                  0.2 * std::sin(2 * M_PI * 2500.0 * t * (1 + t)) + (n % 9000 < 30 ? 0.3 : 0.0));
    }
  return v;
}

class Vst3Render : public ::testing::Test {
protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    mDir = fs::temp_directory_path() /
           (std::string("tolven-vst3-render-") + info->name() + "-" + std::to_string(Pid()));
    fs::remove_all(mDir);
    fs::create_directories(mDir);
    ASSERT_TRUE(fs::exists(ToolPath())) << ToolPath();
    ASSERT_TRUE(fs::exists(ModuleFile())) << ModuleFile();
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(mDir, ec);
  }
  static int Pid() {
#ifdef _WIN32
    return _getpid();
#else
    return static_cast<int>(getpid());
#endif
  }
  fs::path File(const std::string& name) const {
    return mDir / name;
  }

  int Run(const std::vector<std::string>& args) {
    std::string command = "\"" + ToolPath().string() + "\"";
    for (const std::string& a : args)
      command += " \"" + a + "\"";
    command +=
        " >\"" + File("stdout.txt").string() + "\" 2>\"" + File("stderr.txt").string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\""; // cmd.exe drops one pair of outer quotes
    const int status = std::system(command.c_str());
#else
    const int raw = std::system(command.c_str());
    const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
#endif
    out = ReadFile(File("stdout.txt"));
    err = ReadFile(File("stderr.txt"));
    fs::remove(File("stdout.txt"));
    fs::remove(File("stderr.txt"));
    return status;
  }

  fs::path mDir;
  std::string out;
  std::string err;
};

TEST_F(Vst3Render, SixtyFourBitOutputIsBitIdenticalToTheBuiltInStrip) {
  WriteWav64(File("in.wav"), 2, 48000, Music(2, 48000, 48000));
  const std::vector<std::string> settings = {"--set", "Input 1=7.3",   "--set", "High Gain 1=0.37",
                                             "--set", "Output 1=-3.1", "--set", "Mid Gain 1=0.81",
                                             "--set", "2=0.123"};
  std::vector<std::string> builtIn = settings, plugin = settings;
  builtIn.insert(builtIn.end(), {File("in.wav").string(), File("builtin.wav").string()});
  plugin.insert(plugin.begin(), {"--plugin", ModuleBundle().string()});
  plugin.insert(plugin.end(), {File("in.wav").string(), File("plugin.wav").string()});
  ASSERT_EQ(0, Run(builtIn)) << err;
  ASSERT_EQ(0, Run(plugin)) << err;
  const std::string a = ReadFile(File("builtin.wav"));
  const std::string b = ReadFile(File("plugin.wav"));
  ASSERT_GE(a.size(), 48000u * 2 * 8); // every frame is there
  EXPECT_TRUE(a == b) << "the module's output differs from the built-in strip's";
  EXPECT_NE(ReadFile(File("in.wav")), b); // it did process
}

TEST_F(Vst3Render, MonoBypassAndOddBlocksThroughTheModuleFileMatchToo) {
  WriteWav64(File("in.wav"), 1, 44100, Music(1, 30000, 44100));
  for (const char* extra : {"--bypass", "--set=Bypass 1=0"}) {
    SCOPED_TRACE(extra);
    std::vector<std::string> args = {"--block-size", "100"};
    if (std::string(extra) == "--bypass")
      args.push_back(extra);
    else
      args.insert(args.end(), {"--set", "Bypass 1=0"});
    std::vector<std::string> builtIn = args, plugin = args;
    builtIn.insert(builtIn.end(), {File("in.wav").string(), File("builtin.wav").string()});
    plugin.insert(plugin.begin(), {"--plugin", ModuleFile().string()});
    plugin.insert(plugin.end(), {File("in.wav").string(), File("plugin.wav").string()});
    ASSERT_EQ(0, Run(builtIn)) << err;
    ASSERT_EQ(0, Run(plugin)) << err;
    EXPECT_TRUE(ReadFile(File("builtin.wav")) == ReadFile(File("plugin.wav")));
    fs::remove(File("builtin.wav"));
    fs::remove(File("plugin.wav"));
  }
}

TEST_F(Vst3Render, TheModuleOffersTheStripsParametersOnly) {
  ASSERT_EQ(0, Run({"--list-params"})) << err;
  const std::string builtIn = out.substr(out.find('\n'));
  ASSERT_EQ(0, Run({"--plugin", ModuleBundle().string(), "--list-params"})) << err;
  EXPECT_NE(std::string::npos, out.find("VST3 module"));
  EXPECT_EQ(builtIn, out.substr(out.find('\n')));
  EXPECT_EQ(std::string::npos, out.find("Preset"));
}

TEST_F(Vst3Render, AModuleThatCannotBeLoadedLeavesNoOutput) {
  WriteWav64(File("in.wav"), 2, 48000, Music(2, 1000, 48000));
  const std::string missing = File("Missing.vst3").string();
  EXPECT_NE(0, Run({"--plugin", missing, File("in.wav").string(), File("out.wav").string()}));
  EXPECT_NE(std::string::npos, err.find("Missing.vst3")) << err;
  EXPECT_FALSE(fs::exists(File("out.wav")));
  // An out-of-range value is refused before anything is written.
  EXPECT_NE(0, Run({"--plugin", ModuleBundle().string(), "--set", "Input 1=30",
                    File("in.wav").string(), File("out.wav").string()}));
  EXPECT_FALSE(fs::exists(File("out.wav")));
}

} // namespace
