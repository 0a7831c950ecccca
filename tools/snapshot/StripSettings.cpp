#include "StripSettings.h"

#include "IPlugOffline.h"

#include <cctype>
#include <cmath>
#include <cstdio>

namespace {

bool EqualsIgnoringCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

std::string Format(double v) {
  char text[64];
  std::snprintf(text, sizeof(text), "%g", v);
  return text;
}

} // namespace

int FindParameter(const IPlugOffline& strip, const std::string& key) {
  const int count = strip.NumParams();
  bool digits = !key.empty() && key.size() <= 6;
  for (char c : key)
    digits = digits && std::isdigit(static_cast<unsigned char>(c));
  if (digits) {
    const int index = std::stoi(key);
    return index < count ? index : -1;
  }
  for (int i = 0; i < count; ++i)
    if (key == strip.GetParam(i)->Name()) return i;
  for (int i = 0; i < count; ++i)
    if (EqualsIgnoringCase(key, strip.GetParam(i)->Name())) return i;
  return -1;
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
