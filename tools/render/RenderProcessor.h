#pragma once

#include <string>

// What the renderer runs the audio through. The built-in channel strip is one
// implementation (BuiltInProcessor); a plug-in module loaded the way a host
// loads it would be another, chosen in RenderJob without touching the rest.
class RenderProcessor {
public:
  struct ParamInfo {
    std::string name;
    std::string label;
    double min = 0.0;
    double max = 1.0;
    double step = 0.0;
    double value = 0.0;
    bool stepped = false; // values must be whole multiples of step
  };

  virtual ~RenderProcessor() = default;

  virtual std::string Description() const = 0;
  virtual int NumParams() const = 0;
  virtual ParamInfo Param(int index) const = 0;
  // Sets a parameter in its own unit, as a host would from automation.
  virtual bool SetParam(int index, double value) = 0;
  // Announces the stream before processing: sample rate, the largest block and
  // the channel count (1 or 2, inputs and outputs alike).
  virtual bool Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) = 0;
  // channels (as prepared) non-interleaved input and output arrays.
  virtual void Process(const double* const* inputs, double* const* outputs, int frames) = 0;
};
