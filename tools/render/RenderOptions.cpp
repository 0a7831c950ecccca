#include "RenderOptions.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 768000.0;
constexpr int kMaxBlockSize = 1 << 20;

// Splits "--name=value" into name and value; otherwise takes the value from the
// next argument.
bool TakeValue(int argc, const char* const* argv, int& i, const std::string& arg,
               const char* option, std::string& value, std::string& error) {
  const std::string prefix = std::string(option) + "=";
  if (arg.compare(0, prefix.size(), prefix) == 0) {
    value = arg.substr(prefix.size());
    return true;
  }
  if (i + 1 >= argc) {
    error = std::string(option) + " needs a value";
    return false;
  }
  value = argv[++i];
  return true;
}

bool Matches(const std::string& arg, const char* option) {
  const size_t n = std::strlen(option);
  return arg.compare(0, n, option) == 0 && (arg.size() == n || arg[n] == '=');
}

} // namespace

std::string RenderUsage() {
  return "usage: tolven-render [options] [IN.wav] OUT.wav\n"
         "\n"
         "Runs a WAV file (16/24/32-bit integer or 32/64-bit float, mono or stereo)\n"
         "through the TOLVEN channel strip and writes the result in the input's\n"
         "format. Without IN.wav a built-in demo signal (drums, a bass line and a\n"
         "sweep) is rendered and written as 32-bit float.\n"
         "\n"
         "options:\n"
         "  --set NAME=VALUE    set a parameter by name or index, in its own unit,\n"
         "                      e.g. --set \"Input 1=6\" or --set 3=6 (repeatable)\n"
         "  --bypass            switch the strip to bypass (same as --set \"Bypass 1=1\")\n"
         "  --sample-rate HZ    sample rate of the demo signal (default 48000)\n"
         "  --block-size N      frames per processing call (default 512)\n"
         "  --demo-input PATH   also save the generated demo input to PATH\n"
         "  --force             let the demo replace an existing OUT.wav\n"
         "  --list-params       print the parameters with their ranges and exit\n"
         "  -h, --help          show this text\n";
}

bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error) {
  std::vector<std::string> positional;
  bool optionsEnded = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    if (optionsEnded || arg.empty() || arg[0] != '-' || arg == "-") {
      positional.push_back(arg);
      continue;
    }
    std::string value;
    if (arg == "--") {
      optionsEnded = true;
    } else if (arg == "-h" || arg == "--help") {
      options.showHelp = true;
    } else if (arg == "--bypass") {
      options.bypass = true;
    } else if (arg == "--force") {
      options.force = true;
    } else if (arg == "--list-params") {
      options.listParams = true;
    } else if (Matches(arg, "--set")) {
      if (!TakeValue(argc, argv, i, arg, "--set", value, error)) return false;
      ParameterSetting setting;
      if (!ParseParameterSetting(value, setting, error)) return false;
      options.settings.push_back(setting);
    } else if (Matches(arg, "--sample-rate")) {
      if (!TakeValue(argc, argv, i, arg, "--sample-rate", value, error)) return false;
      double rate = 0.0;
      if (!ParseDecimal(value, rate)) {
        error = "--sample-rate: \"" + value + "\" is not a number";
        return false;
      }
      if (rate < kMinSampleRate || rate > kMaxSampleRate || rate != std::floor(rate)) {
        error = "--sample-rate: " + value +
                " is out of range (a whole number of Hz from 8000 to 768000)";
        return false;
      }
      options.sampleRate = rate;
      options.sampleRateGiven = true;
    } else if (Matches(arg, "--block-size")) {
      if (!TakeValue(argc, argv, i, arg, "--block-size", value, error)) return false;
      double frames = 0.0;
      if (!ParseDecimal(value, frames)) {
        error = "--block-size: \"" + value + "\" is not a number";
        return false;
      }
      if (frames < 1.0 || frames > kMaxBlockSize || frames != std::floor(frames)) {
        error = "--block-size: " + value + " is out of range (a whole number from 1 to " +
                std::to_string(kMaxBlockSize) + ")";
        return false;
      }
      options.blockSize = static_cast<int>(frames);
    } else if (Matches(arg, "--demo-input")) {
      if (!TakeValue(argc, argv, i, arg, "--demo-input", value, error)) return false;
      if (value.empty()) {
        error = "--demo-input needs a file name";
        return false;
      }
      options.demoInputPath = value;
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.showHelp || options.listParams) return true;

  if (positional.empty()) {
    error = "no output file given";
    return false;
  }
  if (positional.size() > 2) {
    error = "too many file names (expected [IN.wav] OUT.wav)";
    return false;
  }
  options.outputPath = positional.back();
  if (positional.size() == 2) options.inputPath = positional.front();
  if (options.outputPath.empty() || options.outputPath == "-") {
    error = "the output must be a file name";
    return false;
  }
  if (!options.inputPath.empty() && options.sampleRateGiven) {
    error = "--sample-rate applies to the demo signal only; a file keeps its own rate";
    return false;
  }
  if (!options.inputPath.empty() && !options.demoInputPath.empty()) {
    error = "--demo-input applies to the demo signal only";
    return false;
  }
  return true;
}
