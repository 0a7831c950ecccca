#pragma once

#include "RenderProcessor.h"

#include <memory>

class TOLVEN;

// The channel strip compiled into the tool, driven through the offline
// binding exactly as a host drives it: parameters through the host path,
// mono with one input and one output pin connected.
class BuiltInProcessor : public RenderProcessor {
public:
  BuiltInProcessor();
  ~BuiltInProcessor() override;

  std::string Description() const override;
  int NumParams() const override;
  ParamInfo Param(int index) const override;
  bool SetParam(int index, double value) override;
  bool Prepare(double sampleRate, int maxBlockSize, int channels, std::string& error) override;
  void Process(const double* const* inputs, double* const* outputs, int frames) override;

private:
  std::unique_ptr<TOLVEN> mStrip;
};
