#include "RenderJob.h"

#include "DemoSignal.h"
#include "LevelMeter.h"
#include "ProgressBar.h"
#include "WavReader.h"
#include "WavWriter.h"

#include <sndfile.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

namespace {

std::string FormatValue(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", v);
  return text;
}

const char* ChannelName(int channels) {
  return channels == 1 ? "mono" : "stereo";
}

} // namespace

RenderJob::RenderJob(const RenderOptions& options, RenderProcessor& processor, std::FILE* report)
    : mOptions(options), mProcessor(processor), mReport(report) {}

bool RenderJob::FindParam(const RenderProcessor& processor, const std::string& key, int& index) {
  const int found = FindParameterIndex(key, processor.NumParams(),
                                       [&](int i) { return processor.Param(i).name; });
  if (found < 0) return false;
  index = found;
  return true;
}

void RenderJob::ListParams(const RenderProcessor& processor, std::FILE* out) {
  std::fprintf(out, "%s parameters:\n", processor.Description().c_str());
  for (int i = 0; i < processor.NumParams(); ++i) {
    const RenderProcessor::ParamInfo p = processor.Param(i);
    std::fprintf(out, "  %d  \"%s\"  %s .. %s%s%s, default %s\n", i, p.name.c_str(),
                 FormatValue(p.min).c_str(), FormatValue(p.max).c_str(),
                 p.stepped ? " in whole steps" : "", p.label.empty() ? "" : (" " + p.label).c_str(),
                 FormatValue(p.value).c_str());
  }
}

bool RenderJob::ApplySettings(const RenderOptions& options, RenderProcessor& processor,
                              std::string& error) {
  std::vector<RenderOptions::Setting> settings = options.settings;
  if (options.bypass) {
    // The strip's switch is its last stepped 0..1 parameter named "Bypass...";
    // found by name so a processor without one is reported, not guessed.
    int index = -1;
    for (int i = 0; i < processor.NumParams(); ++i) {
      if (processor.Param(i).name.compare(0, 6, "Bypass") == 0) index = i;
    }
    if (index < 0) {
      error = "--bypass: this processor has no bypass parameter";
      return false;
    }
    settings.push_back({std::to_string(index), "1"});
  }
  for (const RenderOptions::Setting& s : settings) {
    int index = -1;
    if (!FindParam(processor, s.name, index)) {
      error = "unknown parameter \"" + s.name + "\" (--list-params shows them)";
      return false;
    }
    const RenderProcessor::ParamInfo p = processor.Param(index);
    double value = 0.0;
    if (!ParseDecimal(s.value, value)) {
      error = "parameter \"" + p.name + "\": \"" + s.value + "\" is not a number";
      return false;
    }
    if (value < p.min || value > p.max) {
      error = "parameter \"" + p.name + "\": " + s.value + " is out of range (" +
              FormatValue(p.min) + " .. " + FormatValue(p.max) + ")";
      return false;
    }
    if (p.stepped && p.step > 0.0) {
      const double steps = (value - p.min) / p.step;
      if (steps != std::floor(steps)) {
        error = "parameter \"" + p.name + "\": " + s.value + " is not one of its steps (" +
                FormatValue(p.min) + ", " + FormatValue(p.min + p.step) + ", ...)";
        return false;
      }
    }
    if (!processor.SetParam(index, value)) {
      error = "parameter \"" + p.name + "\": the value was refused";
      return false;
    }
  }
  return true;
}

int RenderJob::Run(std::string& error) {
  // Input: a file, or the demo signal.
  std::unique_ptr<SignalSource> source;
  int outputFormat = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  std::string inputDescription;
  if (!mOptions.inputPath.empty()) {
    auto reader = std::make_unique<WavReader>();
    if (!reader->Open(mOptions.inputPath, error)) return 1;
    outputFormat = reader->Format();
    inputDescription = mOptions.inputPath + " (" + reader->SampleFormatName() + ")";
    source = std::move(reader);
  } else {
    // With a single file name the demo is written there. A user who meant to
    // process that file would lose it, so an existing file is only replaced
    // on request.
    for (const std::string* path : {&mOptions.outputPath, &mOptions.demoInputPath}) {
      std::error_code ec;
      if (!mOptions.force && !path->empty() && std::filesystem::exists(*path, ec)) {
        error = *path +
                " already exists: with one file name tolven-render writes the demo "
                "signal there. To process the file, name an output too (tolven-render " +
                *path + " OUT.wav); to replace it with the demo, add --force";
        return 1;
      }
    }
    source = std::make_unique<DemoSignal>(mOptions.sampleRate);
    inputDescription = "built-in demo signal (32-bit float)";
  }
  const int channels = source->Channels();
  const double rate = source->SampleRate();
  const int block = mOptions.blockSize;

  if (!ApplySettings(mOptions, mProcessor, error)) return 1;
  if (!mProcessor.Prepare(rate, block, channels, error)) return 1;

  WavWriter output;
  if (!output.Open(mOptions.outputPath, outputFormat, channels, rate, error)) return 1;
  WavWriter demoCopy;
  if (!mOptions.demoInputPath.empty() &&
      !demoCopy.Open(mOptions.demoInputPath, SF_FORMAT_WAV | SF_FORMAT_FLOAT, channels, rate,
                     error))
    return 1;

  std::vector<double> interleavedIn(static_cast<size_t>(block) * channels);
  std::vector<double> interleavedOut(interleavedIn.size());
  std::vector<std::vector<double>> in(channels, std::vector<double>(block));
  std::vector<std::vector<double>> out(channels, std::vector<double>(block));
  const double* inPtrs[2] = {in[0].data(), channels > 1 ? in[1].data() : nullptr};
  double* outPtrs[2] = {out[0].data(), channels > 1 ? out[1].data() : nullptr};

  LevelMeter inputLevel;
  LevelMeter outputLevel;
  ProgressBar progress;
  const int64_t total = source->TotalFrames();
  int64_t done = 0;
  for (;;) {
    const int64_t got = source->Read(interleavedIn.data(), block);
    if (got < 0) {
      error = "cannot read " + mOptions.inputPath + ": the file ends early or is damaged";
      progress.Finish();
      return 1;
    }
    if (got == 0) break;
    const int frames = static_cast<int>(got);
    for (int n = 0; n < frames; ++n)
      for (int c = 0; c < channels; ++c)
        in[c][n] = interleavedIn[n * channels + c];
    mProcessor.Process(inPtrs, outPtrs, frames);
    for (int n = 0; n < frames; ++n)
      for (int c = 0; c < channels; ++c)
        interleavedOut[n * channels + c] = out[c][n];
    inputLevel.Add(interleavedIn.data(), frames, channels);
    outputLevel.Add(interleavedOut.data(), frames, channels);
    if (!output.Write(interleavedOut.data(), frames, error)) {
      progress.Finish();
      return 1;
    }
    if (!mOptions.demoInputPath.empty() && !demoCopy.Write(interleavedIn.data(), frames, error)) {
      progress.Finish();
      return 1;
    }
    done += frames;
    progress.Update(done, total);
  }
  progress.Finish();

  if (!mOptions.demoInputPath.empty() && !demoCopy.Commit(error)) return 1;
  if (!output.Commit(error)) return 1;

  const double seconds = static_cast<double>(done) / rate;
  std::fprintf(mReport, "%s: %s, %.0f Hz, %s, %.2f s, block size %d\n",
               mProcessor.Description().c_str(), inputDescription.c_str(), rate,
               ChannelName(channels), seconds, block);
  std::fprintf(mReport, "input:  peak %s, RMS %s\n",
               LevelMeter::FormatDbfs(inputLevel.Peak()).c_str(),
               LevelMeter::FormatDbfs(inputLevel.Rms()).c_str());
  std::fprintf(mReport, "output: peak %s, RMS %s\n",
               LevelMeter::FormatDbfs(outputLevel.Peak()).c_str(),
               LevelMeter::FormatDbfs(outputLevel.Rms()).c_str());
  if (output.ClippedSamples() > 0)
    std::fprintf(mReport, "note: %lld output samples were clipped at full scale\n",
                 static_cast<long long>(output.ClippedSamples()));
  if (!mOptions.demoInputPath.empty())
    std::fprintf(mReport, "demo input written to %s\n", mOptions.demoInputPath.c_str());
  std::fprintf(mReport, "output written to %s\n", mOptions.outputPath.c_str());
  return 0;
}
