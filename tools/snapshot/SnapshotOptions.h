#pragma once

#include "ParameterSetting.h"

#include <string>
#include <vector>

// What the snapshot command line asked for. Parameter settings stay as text
// until the strip is there to resolve names and bounds.
struct SnapshotOptions {
  enum EMode { EditorPicture, ResponsePicture };
  using Setting = ParameterSetting;

  EMode mode = EditorPicture;
  std::string outputPath;
  std::vector<Setting> settings;
  double meterLevel = 0.0; // the needle's level, 0 (rest) .. 1 (full right)
  double sampleRate = 48000.0;
  bool showHelp = false;
};

// Parses argv[1..argc-1]. False with a message in error when the line is not
// usable.
bool ParseSnapshotOptions(int argc, const char* const* argv, SnapshotOptions& options,
                          std::string& error);

std::string SnapshotUsage();
