#pragma once

#include "ParameterSetting.h"

#include <string>
#include <vector>

// What the command line asked for. Parameter settings stay as text until the
// processor is known, since names and bounds belong to it.
struct RenderOptions {
  using Setting = ParameterSetting;

  std::string inputPath; // empty: render the built-in demo signal
  std::string outputPath;
  std::string demoInputPath; // where to save the generated demo input, if wanted
  std::vector<Setting> settings;
  double sampleRate = 48000.0; // of the demo signal
  bool sampleRateGiven = false;
  int blockSize = 512;
  bool bypass = false;
  bool force = false; // the demo may replace an existing file
  bool showHelp = false;
  bool listParams = false;
};

// Parses argv[1..argc-1]. False with a message in error when the line is not
// usable; with -h/--help or --list-params no file names are needed.
bool ParseRenderOptions(int argc, const char* const* argv, RenderOptions& options,
                        std::string& error);

// The usage text, for --help and after a command-line error.
std::string RenderUsage();
