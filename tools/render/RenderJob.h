#pragma once

#include "RenderOptions.h"
#include "RenderProcessor.h"

#include <cstdio>
#include <string>

// One run of tolven-render: opens the input (or the demo), applies the
// settings, streams the audio through the processor block by block into a
// temporary output, renames it into place and reports the levels.
class RenderJob {
public:
  // report: where the summary goes (stdout in the tool); errors are returned.
  RenderJob(const RenderOptions& options, RenderProcessor& processor, std::FILE* report);

  // 0 on success; non-zero with a message in error otherwise. Nothing is left
  // at the output path (or the demo-input path) unless the run succeeded.
  int Run(std::string& error);

  // Resolves every --set (and --bypass) against the processor's parameters and
  // applies them; exposed for the parameter listing and for tests.
  static bool ApplySettings(const RenderOptions& options, RenderProcessor& processor,
                            std::string& error);
  static bool FindParam(const RenderProcessor& processor, const std::string& key, int& index);
  static void ListParams(const RenderProcessor& processor, std::FILE* out);

private:
  const RenderOptions& mOptions;
  RenderProcessor& mProcessor;
  std::FILE* mReport;
};
