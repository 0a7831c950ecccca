#include "IParameter.h"

#include "FixedText.h"
#include "Trace.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// x^e; a linear shape skips the library call so the linear mapping is exact on
// every platform's math library.
double ShapePow(double x, double e) {
  return e == 1.0 ? x : std::pow(x, e);
}

// Truncation toward zero that is defined for every double (a plain cast is not
// outside the int range): NaN gives 0, out-of-range values saturate.
int TruncToInt(double v) {
  if (std::isnan(v)) return 0;
  if (!(v < 2147483648.0)) return std::numeric_limits<int>::max();
  if (!(v > -2147483649.0)) return std::numeric_limits<int>::min();
  return static_cast<int>(v);
}

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// For a decimal number that does not fit a double: true when it is too large,
// false when it is too small (it then reads as zero). Compares the position of
// the first significant digit plus the exponent against the decimal point.
bool DecimalOverflows(const char* p, const char* end) {
  long magnitude = 0;
  bool seenSignificant = false;
  bool afterPoint = false;
  for (; p < end && (IsDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      afterPoint = true;
    } else if (!seenSignificant) {
      if (*p != '0') {
        seenSignificant = true;
        if (!afterPoint) magnitude = 1;
      } else if (afterPoint) {
        --magnitude;
      }
    } else if (!afterPoint && magnitude < 100000) {
      ++magnitude;
    }
  }
  if (p < end && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    long exponent = 0;
    for (; p < end && IsDigit(*p); ++p)
      if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
    magnitude += negative ? -exponent : exponent;
  }
  return seenSignificant && magnitude > 0;
}

} // namespace

IParameter::IParameter() = default;

void IParameter::DefineDouble(const char* name, double defaultValue, double minValue,
                              double maxValue, double step, const char* label, const char* group,
                              double shape) {
  TRACE_OP("%s", name ? name : "");
  if (mKind == kKindUndefined) mKind = kKindDouble;
  CopyFixedText(mName, name);
  CopyFixedText(mLabel, label);
  CopyFixedText(mGroup, group);
  mMin = minValue;
  mValue = defaultValue;
  mStep = step;
  mDefault = defaultValue;
  mDisplayPrecision = 0;
  mMax = std::max(maxValue, minValue + step);
  // One decimal per factor of ten until the step is whole, at most six.
  double s = step;
  while (s != std::floor(s) && mDisplayPrecision < 6) {
    ++mDisplayPrecision;
    s = s * 10.0;
  }
  if (shape != 0.0) mShape = shape;
}

void IParameter::DefineInteger(const char* name, int defaultValue, int minValue, int maxValue,
                               const char* label) {
  if (mKind == kKindUndefined) mKind = kKindInteger;
  DefineDouble(name, defaultValue, minValue, maxValue, 1.0, label, "", 1.0);
}

void IParameter::SetValue(double value) {
  if (std::isnan(value)) return;
  if (value < mMin)
    value = mMin;
  else if (value > mMax)
    value = mMax;
  mValue = value;
}

void IParameter::SetNormalizedValue(double normalized) {
  if (std::isnan(normalized)) return;
  // Whatever a host, the editor or a preset hands in ends inside the bounds,
  // so that the value shown, the value saved and the value heard agree: x is
  // taken as the nearest end of 0..1, and the stepped result (steps count from
  // 0, not from min) is limited to both bounds.
  normalized = std::clamp(normalized, 0.0, 1.0);
  double real = mMin + ShapePow(normalized, mShape) * (mMax - mMin);
  if (mKind != kKindDouble) real = std::floor(real / mStep + 0.5) * mStep;
  if (std::isnan(real)) return;
  mValue = std::clamp(real, mMin, mMax);
}

double IParameter::NormalizedDefault() const {
  return ShapePow((mDefault - mMin) / (mMax - mMin), 1.0 / mShape);
}

double IParameter::FromNormalized(double normalized) const {
  return mMin + ShapePow(normalized, mShape) * (mMax - mMin);
}

double IParameter::ToNormalized(double value) const {
  double v = value;
  if (!(v >= mMin))
    v = mMin; // also NaN
  else if (v > mMax)
    v = mMax;
  return ShapePow((v - mMin) / (mMax - mMin), 1.0 / mShape);
}

void IParameter::FormatForHost(double value, bool isNormalized, char* out,
                               bool useDisplayTexts) const {
  if (!out) return;
  double v = isNormalized ? FromNormalized(value) : value;
  if (useDisplayTexts && !mDisplayTexts.empty()) {
    const int key = TruncToInt(v);
    for (const DisplayTextEntry& entry : mDisplayTexts) {
      if (entry.value != key) continue;
      if (entry.text[0] != '\0') {
        CopyFixedText(out, kParamTextSize, entry.text);
        return;
      }
      break;
    }
  }
  if (mNegateDisplay) v = -v;
  // to_chars formats like "%d" / "%.*f" in the C locale whatever locale the
  // host process runs in. The buffer holds any double in fixed notation.
  char buffer[400];
  std::to_chars_result result;
  if (mDisplayPrecision == 0)
    result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, TruncToInt(v));
  else
    result = std::to_chars(buffer, buffer + sizeof(buffer) - 1, v, std::chars_format::fixed,
                           mDisplayPrecision);
  *(result.ec == std::errc() ? result.ptr : buffer) = '\0';
  CopyFixedText(out, kParamTextSize, buffer);
}

const char* IParameter::HostLabel() const {
  const int key = TruncToInt(mValue);
  for (const DisplayTextEntry& entry : mDisplayTexts) {
    if (entry.value == key) return entry.text[0] != '\0' ? "" : mLabel;
  }
  return mLabel;
}

bool IParameter::MatchDisplayText(const char* text, int* value) const {
  if (!text) return false;
  for (const DisplayTextEntry& entry : mDisplayTexts) {
    if (std::strcmp(entry.text, text) == 0) {
      if (value) *value = entry.value;
      return true;
    }
  }
  return false;
}

bool IParameter::ParseHostText(const char* text, double* value) const {
  double v = 0.0;
  if (!mDisplayTexts.empty()) {
    int named = 0;
    if (!MatchDisplayText(text, &named)) return false;
    v = named;
  } else {
    v = ParseLeadingNumber(text);
    if (mNegateDisplay) v = -v;
  }
  if (value) *value = v;
  return true;
}

double IParameter::ParseLeadingNumber(const char* text) {
  if (!text) return 0.0;
  const char* p = text;
  while (IsSpace(*p))
    ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  const char* end = p + std::strlen(p);
  double v = 0.0;
  if (p < end && *p != '+' && *p != '-') {
    const std::from_chars_result r = std::from_chars(p, end, v, std::chars_format::general);
    if (r.ec == std::errc::invalid_argument)
      v = 0.0;
    else if (r.ec == std::errc::result_out_of_range)
      v = DecimalOverflows(p, r.ptr) ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -v : v;
}

void IParameter::AddDisplayText(int value, const char* text) {
  DisplayTextEntry entry{};
  entry.value = value;
  CopyFixedText(entry.text, text);
  mDisplayTexts.push_back(entry);
}

const DisplayTextEntry* IParameter::GetDisplayText(int index) const {
  if (index < 0 || index >= NumDisplayTexts()) return nullptr;
  return &mDisplayTexts[static_cast<std::size_t>(index)];
}

void IParameter::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}
