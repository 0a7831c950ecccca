#include "IPlugParameter.h"

#include <algorithm>
#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

void WidenText(const char* text, TChar* out, int maxUnits) {
  if (!out || maxUnits < 1) return;
  int n = 0;
  for (; text && text[n] && n < maxUnits - 1; ++n)
    out[n] = static_cast<TChar>(static_cast<unsigned char>(text[n]));
  out[n] = 0;
}

void NarrowText(const TChar* text, char* out, int outSize) {
  if (!out || outSize < 1) return;
  int n = 0;
  for (; text && text[n] && n < outSize - 1; ++n) {
    auto unit = static_cast<unsigned>(text[n]);
    out[n] = unit <= 0xFF ? static_cast<char>(unit) : '?';
  }
  out[n] = '\0';
}

namespace {
// Normalised values outside 0..1 would show absurd plain values (a huge one
// formats to hundreds of digits); NaN shows as the bottom of the range.
double DisplayableNormalized(double normalized) {
  if (std::isnan(normalized)) return 0.0;
  return std::min(1.0, std::max(0.0, normalized));
}
} // namespace

IPlugParameter::IPlugParameter(const IParameter& parameter, ParamID id, UnitID unitId)
    : mParameter(parameter) {
  info.id = id;
  info.unitId = unitId;
  WidenText(parameter.Name(), info.title, 128);
  info.shortTitle[0] = 0;
  WidenText(parameter.HostLabel(), info.units, 128);
  precision = parameter.DisplayPrecision();
  info.stepCount =
      parameter.IsDouble() ? 0 : static_cast<int32>(std::trunc(parameter.Max() - parameter.Min()));
  info.defaultNormalizedValue = parameter.NormalizedDefault();
  valueNormalized = info.defaultNormalizedValue;
  info.flags = parameter.CanAutomate() ? ParameterInfo::kCanAutomate : 0;
}

void IPlugParameter::toString(ParamValue valueNormalized, String128 string) const {
  char text[kParamTextSize];
  mParameter.FormatForHost(DisplayableNormalized(valueNormalized), true, text, true);
  WidenText(text, string, 128);
}

bool IPlugParameter::fromString(const TChar* string, ParamValue& valueNormalized) const {
  char text[256];
  NarrowText(string, text, sizeof text);
  double value = IParameter::ParseLeadingNumber(text);
  if (std::isnan(value)) value = 0.0;
  valueNormalized = toNormalized(value);
  return true;
}

ParamValue IPlugParameter::toPlain(ParamValue valueNormalized) const {
  return mParameter.FromNormalized(valueNormalized);
}

ParamValue IPlugParameter::toNormalized(ParamValue plainValue) const {
  if (std::isnan(plainValue)) plainValue = mParameter.Min();
  return mParameter.ToNormalized(plainValue);
}
