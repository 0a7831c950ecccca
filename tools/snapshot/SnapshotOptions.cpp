#include "SnapshotOptions.h"

namespace {

constexpr double kMinSampleRate = 8000.0;
constexpr double kMaxSampleRate = 384000.0;

} // namespace

bool ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                          std::string& error) {
  options = SnapshotOptions();
  bool meterGiven = false, rateGiven = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i] ? argv[i] : "";
    auto next = [&](const char* what, std::string& out) {
      if (i + 1 >= argc || !argv[i + 1]) {
        error = arg + ": " + what + " expected";
        return false;
      }
      out = argv[++i];
      return true;
    };
    if (arg == "-h" || arg == "--help") {
      options.showHelp = true;
      return true;
    }
    if (arg == "--response") {
      options.mode = SnapshotOptions::ResponsePicture;
    } else if (arg == "--set") {
      std::string text;
      if (!next("NAME=VALUE", text)) return false;
      ParameterSetting setting;
      if (!ParseParameterSetting(text, setting, error)) return false;
      options.settings.push_back(setting);
    } else if (arg == "--meter") {
      std::string text;
      if (!next("LEVEL", text)) return false;
      if (!ParseDecimal(text, options.meterLevel) || options.meterLevel < 0.0 ||
          options.meterLevel > 1.0) {
        error = "--meter " + text + ": a level from 0 to 1 expected";
        return false;
      }
      meterGiven = true;
    } else if (arg == "--sample-rate") {
      std::string text;
      if (!next("HZ", text)) return false;
      if (!ParseDecimal(text, options.sampleRate) || options.sampleRate < kMinSampleRate ||
          options.sampleRate > kMaxSampleRate) {
        error = "--sample-rate " + text + ": a rate from 8000 to 384000 Hz expected";
        return false;
      }
      rateGiven = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      error = "unknown option " + arg;
      return false;
    } else if (options.outputPath.empty()) {
      options.outputPath = arg;
    } else {
      error = "more than one output file: " + options.outputPath + ", " + arg;
      return false;
    }
  }
  if (options.outputPath.empty()) {
    error = "no output file given";
    return false;
  }
  if (meterGiven && options.mode == SnapshotOptions::ResponsePicture) {
    error = "--meter belongs to the editor picture, not to --response";
    return false;
  }
  if (rateGiven && options.mode == SnapshotOptions::EditorPicture) {
    error = "--sample-rate belongs to --response";
    return false;
  }
  return true;
}

std::string SnapshotUsage() {
  return "usage: tolven-snapshot OUT.png [--set NAME=VALUE]... [--meter LEVEL]\n"
         "       tolven-snapshot --response OUT.png [--set NAME=VALUE]... [--sample-rate HZ]\n"
         "\n"
         "Draws the channel strip's editor, or the magnitude response of its equaliser,\n"
         "into a PNG file. No window or display is needed.\n"
         "\n"
         "  --set NAME=VALUE   a parameter by name (\"Output 1\", any letter case) or index,\n"
         "                     in its own unit: the band gains 0..1 (0.5 is flat), Input 1\n"
         "                     and Output 1 in dB (-24..24), Bypass 1 0 or 1; repeatable\n"
         "  --meter LEVEL      the VU needle's level, 0 (rest) to 1 (full right); default 0\n"
         "  --response         draw the equaliser response (20 Hz to 20 kHz) instead,\n"
         "                     measured by running the strip's own processing\n"
         "  --sample-rate HZ   the rate the response is measured at (default 48000)\n"
         "  -h, --help         this text\n";
}
