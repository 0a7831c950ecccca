#include "StripSettings.h"

#include "IPlugOffline.h"

#include <cmath>
#include <cstdio>

namespace {

std::string Format(double v) {
  char text[64];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

} // namespace

int FindParameter(const IPlugOffline& strip, const std::string& key) {
  return FindParameterIndex(key, strip.NumParams(),
                            [&](int i) { return std::string(strip.GetParam(i)->Name()); });
}

bool ApplySettings(IPlugOffline& strip, const std::vector<SnapshotOptions::Setting>& settings,
                   std::string& error) {
  for (const SnapshotOptions::Setting& s : settings) {
    const int index = FindParameter(strip, s.name);
    if (index < 0) {
      error = "unknown parameter \"" + s.name + "\"";
      return false;
    }
    const IParameter& p = *strip.GetParam(index);
    double value = 0.0;
    if (!ParseDecimal(s.value, value)) {
      error = std::string("parameter \"") + p.Name() + "\": \"" + s.value + "\" is not a number";
      return false;
    }
    if (value < p.Min() || value > p.Max()) {
      error = std::string("parameter \"") + p.Name() + "\": " + s.value + " is out of range (" +
              Format(p.Min()) + " .. " + Format(p.Max()) + ")";
      return false;
    }
    if (!p.IsDouble() && p.Step() > 0.0) {
      const double steps = (value - p.Min()) / p.Step();
      if (steps != std::floor(steps)) {
        error =
            std::string("parameter \"") + p.Name() + "\": " + s.value + " is not one of its steps";
        return false;
      }
    }
    strip.SetParameterValue(index, value);
  }
  return true;
}
