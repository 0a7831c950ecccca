#pragma once

#include <cstdint>
#include <vector>

// Size of every fixed text field of a parameter (name, label, group, display
// texts) and the least size of a buffer handed to FormatForHost.
constexpr int kParamTextSize = 32;

// A named value of a parameter, e.g. the text shown for a switch position.
struct DisplayTextEntry {
  int32_t value;
  char text[kParamTextSize];
};
static_assert(sizeof(DisplayTextEntry) == 36, "display text entries are 36 bytes, packed");

// One automatable value. The plug-in works with the real value in its own unit;
// hosts and editor controls work with the normalised form in 0..1. A parameter
// has no lock of its own: callers hold the IPlugBase lock.
class IParameter {
public:
  // Only "is it double?" matters anywhere: every other kind is stepped.
  enum EKind : int32_t { kKindUndefined = 0, kKindInteger = 2, kKindDouble = 4 };

  IParameter();

  // Continuous parameter. A range narrower than one step is widened to one
  // step; the display precision follows from the step (0..6 decimals); a shape
  // of 0.0 keeps the stored shape. Texts longer than 31 characters are cut.
  void DefineDouble(const char* name, double defaultValue, double minValue, double maxValue,
                    double step, const char* label = "", const char* group = "",
                    double shape = 1.0);
  // Stepped parameter (step 1, linear); kind integer unless already defined.
  void DefineInteger(const char* name, int defaultValue, int minValue, int maxValue,
                     const char* label = "");

  // Real value, clamped into [min, max]; no step rounding. NaN is ignored (the
  // value stays), infinities clamp to the bounds.
  void SetValue(double value);
  // From a normalised x (outside 0..1: the nearest end): min + x^shape *
  // (max - min), rounded to the step unless double, then clamped into
  // [min, max]. NaN (given or resulting) is ignored.
  void SetNormalizedValue(double normalized);

  double Value() const { return mValue; }
  // Normalised form of the current value (clamped into the range first).
  double NormalizedValue() const { return ToNormalized(mValue); }
  // ((default - min) / (max - min))^(1 / shape), not clamped.
  double NormalizedDefault() const;

  // Real value for a normalised x: no rounding, no clamping.
  double FromNormalized(double normalized) const;
  // Normalised form of a real value: clamped into [min, max], then shaped.
  double ToNormalized(double value) const;

  // Writes the host's display string for value (real, or normalised when
  // isNormalized) into out, which must hold kParamTextSize bytes; never writes
  // more. Named display texts are used when useDisplayTexts is set.
  void FormatForHost(double value, bool isNormalized, char* out, bool useDisplayTexts = true) const;
  // The label, or "" when a non-empty display text names the current value.
  const char* HostLabel() const;

  // Exact, case-sensitive match of text against the display texts, first entry
  // wins. False (value untouched) when there is none.
  bool MatchDisplayText(const char* text, int* value) const;
  // A host's text as a real value (not yet applied): with display texts the
  // text must match one of them (false otherwise); without, the leading
  // decimal number (0.0 if none), negated when the display is negated.
  bool ParseHostText(const char* text, double* value) const;
  // The leading decimal number of a text: white space skipped, anything after
  // the number ignored, 0.0 when there is none. Independent of the C locale.
  static double ParseLeadingNumber(const char* text);

  // Appends a named value (text cut to 31 characters).
  void AddDisplayText(int value, const char* text);
  int NumDisplayTexts() const { return static_cast<int>(mDisplayTexts.size()); }
  // Entry by position, null outside the list.
  const DisplayTextEntry* GetDisplayText(int index) const;

  int32_t Kind() const { return mKind; }
  bool IsDouble() const { return mKind == kKindDouble; }
  double Min() const { return mMin; }
  double Max() const { return mMax; }
  double Step() const { return mStep; }
  double Shape() const { return mShape; }
  double Default() const { return mDefault; }
  int DisplayPrecision() const { return mDisplayPrecision; }
  const char* Name() const { return mName; }
  const char* Label() const { return mLabel; }
  const char* Group() const { return mGroup; }
  bool NegateDisplay() const { return mNegateDisplay; }
  bool CanAutomate() const { return mCanAutomate; }

  // Shapes other than 1.0 make the mapping exponential; 0.0 is ignored.
  void SetShape(double shape);
  void SetNegateDisplay(bool negate) { mNegateDisplay = negate; }
  void SetCanAutomate(bool canAutomate) { mCanAutomate = canAutomate; }

private:
  int32_t mKind = kKindUndefined;
  double mValue = 0.0;
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int32_t mDisplayPrecision = 0;
  char mName[kParamTextSize] = {};
  char mLabel[kParamTextSize] = {};
  char mGroup[kParamTextSize] = {};
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  std::vector<DisplayTextEntry> mDisplayTexts;
};
