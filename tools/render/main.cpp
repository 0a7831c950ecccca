// tolven-render: runs a WAV file (or the built-in demo signal) through the
// TOLVEN channel strip and writes the result.
#include "BuiltInProcessor.h"
#include "PluginArgument.h"
#include "RenderJob.h"
#include "RenderOptions.h"
#include "Vst2Processor.h"
#include "Vst3Processor.h"
#include "WavWriter.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

namespace {

extern "C" void OnInterrupt(int sig) {
  // Leave no half-written output behind when the user stops a long render.
  RemovePendingOutputs();
  std::signal(sig, SIG_DFL);
  std::raise(sig);
}

// The seam for other processors: only this function decides what the audio
// runs through, the built-in strip or the module named with --plugin.
std::unique_ptr<RenderProcessor> CreateProcessor(const RenderOptions& /*options*/,
                                                 const std::string& pluginPath,
                                                 std::string& error) {
  if (pluginPath.empty()) return std::make_unique<BuiltInProcessor>();
  if (Vst3Processor::IsVst3Path(pluginPath)) return Vst3Processor::Load(pluginPath, error);
  return Vst2Processor::Load(pluginPath, error);
}

int Main(int argc, char** argv) {
  RenderOptions options;
  std::string error;
  std::string pluginPath;
  const std::string usage = RenderUsage() + PluginUsage() + Vst3PluginUsage();
  if (!TakePluginArgument(argc, argv, pluginPath, error) ||
      !ParseRenderOptions(argc, argv, options, error)) {
    std::fprintf(stderr, "tolven-render: %s\n\n%s", error.c_str(), usage.c_str());
    return 2;
  }
  if (options.showHelp) {
    std::fputs(usage.c_str(), stdout);
    return 0;
  }
  std::unique_ptr<RenderProcessor> processor = CreateProcessor(options, pluginPath, error);
  if (!processor) {
    std::fprintf(stderr, "tolven-render: %s\n", error.c_str());
    return 1;
  }
  if (options.listParams) {
    RenderJob::ListParams(*processor, stdout);
    return 0;
  }
  std::signal(SIGINT, OnInterrupt);
  std::signal(SIGTERM, OnInterrupt);
  RenderJob job(options, *processor, stdout);
  const int status = job.Run(error);
  if (status != 0) std::fprintf(stderr, "tolven-render: %s\n", error.c_str());
  return status;
}

} // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    RemovePendingOutputs();
    std::fprintf(stderr, "tolven-render: %s\n", e.what());
  } catch (...) {
    RemovePendingOutputs();
    std::fprintf(stderr, "tolven-render: unexpected failure\n");
  }
  return 1;
}
