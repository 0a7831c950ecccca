#include "IParameter.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>

namespace {

const double kInf = std::numeric_limits<double>::infinity();
const double kNaN = std::numeric_limits<double>::quiet_NaN();

IParameter Define(double def, double min, double max, double step, double shape = 1.0) {
  IParameter p;
  p.DefineDouble("p", def, min, max, step, "%", "", shape);
  return p;
}

IParameter Stepped(double min, double max, double step) {
  IParameter p;
  p.DefineInteger("n", 0, 0, 1);
  p.DefineDouble("n", min, min, max, step, "%"); // the kind stays integer
  return p;
}

std::string Format(const IParameter& p, double v, bool normalized = false, bool texts = true) {
  char text[kParamTextSize];
  std::memset(text, 'x', sizeof(text));
  p.FormatForHost(v, normalized, text, texts);
  return text;
}

double FromNormalized(IParameter p, double x) {
  p.SetNormalizedValue(x);
  return p.Value();
}

} // namespace

TEST(Parameter, DefinitionWidensRangeAndDerivesPrecision) {
  EXPECT_EQ(Define(0, 0, 0, 1).Max(), 1.0);
  EXPECT_EQ(Define(0, 2, 2.005, 0.01).Max(), 2.0 + 0.01);
  EXPECT_EQ(Define(0, -1, 5, 0.5).Max(), 5.0);
  const double steps[] = {1, 0.5, 0.01, 0.001, 0.25, 1e-7, 2};
  const int precisions[] = {0, 1, 2, 3, 2, 6, 0};
  for (int i = 0; i < 7; ++i)
    EXPECT_EQ(Define(0, 0, 1, steps[i]).DisplayPrecision(), precisions[i]);

  IParameter p;
  p.SetShape(2.0);
  p.DefineDouble("p", 0, 0, 1, 0.01, "", "", 0.0); // a shape of 0 keeps the stored one
  EXPECT_EQ(p.Shape(), 2.0);
  p.DefineInteger("a name that is much longer than thirty-one characters", 0, 0, 4);
  EXPECT_TRUE(p.IsDouble()); // defined before: the kind stays
  EXPECT_EQ(std::string(p.Name()), "a name that is much longer than");
}

TEST(Parameter, NormalisedMappingRoundingAndClamps) {
  IParameter unit = Define(0.5, 0, 1, 0.01), gain = Define(0, -24, 24, 0.01);
  EXPECT_EQ(FromNormalized(unit, 0.25), 0.25);
  EXPECT_EQ(FromNormalized(unit, -0.5), 0.0); // the nearest end of 0..1
  EXPECT_EQ(FromNormalized(gain, 0.75), 12.0);
  gain.SetNormalizedValue(0.75);
  EXPECT_EQ(gain.NormalizedValue(), 0.75);
  EXPECT_EQ(gain.NormalizedDefault(), 0.5);
  unit.SetNormalizedValue(-0.5);
  EXPECT_EQ(unit.NormalizedValue(), 0.0); // reported after clamping

  IParameter bypass;
  bypass.DefineInteger("Bypass 1", 0, 0, 1);
  EXPECT_EQ(bypass.Kind(), IParameter::kKindInteger);
  EXPECT_EQ(FromNormalized(bypass, 0.49), 0.0);
  EXPECT_EQ(FromNormalized(bypass, 0.5), 1.0); // half rounds up
  EXPECT_EQ(FromNormalized(Stepped(0, 10, 3), 1.0), 9.0);
  EXPECT_EQ(FromNormalized(Stepped(0, 10, 3), 0.95), 9.0);
  EXPECT_EQ(FromNormalized(Stepped(1, 10, 4), 1.0), 10.0); // 12, clamped at max
  EXPECT_EQ(FromNormalized(Stepped(1, 10, 4), 0.0), 1.0);  // 0 (steps count from 0), clamped

  gain.SetValue(100);
  EXPECT_EQ(gain.Value(), 24.0);
  gain.SetValue(-100);
  EXPECT_EQ(gain.Value(), -24.0);

  IParameter shaped = Define(0.25, 0, 1, 0.01, 2.0);
  EXPECT_DOUBLE_EQ(shaped.NormalizedDefault(), 0.5);
  EXPECT_DOUBLE_EQ(FromNormalized(shaped, 0.5), 0.25);
  EXPECT_DOUBLE_EQ(shaped.ToNormalized(0.81), 0.9);
  EXPECT_DOUBLE_EQ(shaped.ToNormalized(4.0), 1.0);
}

TEST(Parameter, NonFiniteValuesNeverBecomeTheValue) {
  IParameter gain = Define(6, -24, 24, 0.01);
  gain.SetValue(kNaN);
  gain.SetNormalizedValue(kNaN);
  EXPECT_EQ(gain.Value(), 6.0);
  const double in[] = {kInf, -kInf, -1e308};
  const double setValue[] = {24, -24, -24}, setNormalized[] = {24, -24, -24};
  for (int i = 0; i < 3; ++i) {
    IParameter a = gain, b = gain;
    a.SetValue(in[i]);
    b.SetNormalizedValue(in[i]);
    EXPECT_EQ(a.Value(), setValue[i]);
    EXPECT_EQ(b.Value(), setNormalized[i]);
  }
  EXPECT_EQ(FromNormalized(Define(0.5, 0, 1, 0.01, 0.5), -0.25), 0.0); // no pow of a negative
  EXPECT_EQ(FromNormalized(Stepped(0, 1, 1), kInf), 1.0);
  EXPECT_EQ(gain.ToNormalized(kNaN), 0.0);
}

TEST(Parameter, DisplayFormatting) {
  IParameter gain = Define(0, -24, 24, 0.01), bypass = Stepped(0, 1, 1);
  EXPECT_EQ(Format(gain, -3.146), "-3.15");
  EXPECT_EQ(Format(gain, 0.135), "0.14"); // the exact binary value is rounded
  EXPECT_EQ(Format(gain, 0.75, true), "12.00");
  EXPECT_EQ(Format(gain, 1.5, true), "48.00"); // normalised input is not clamped
  EXPECT_EQ(Format(bypass, 1.0), "1");
  EXPECT_EQ(Format(bypass, -0.7), "0");
  EXPECT_EQ(Format(bypass, 0.6, true), "0"); // truncated, not stepped

  IParameter negated = Define(0, -10, 10, 0.5);
  negated.SetNegateDisplay(true);
  EXPECT_EQ(Format(negated, 2.0), "-2.0");
  double value = 0;
  ASSERT_TRUE(negated.ParseHostText("2.5", &value));
  EXPECT_EQ(value, -2.5);
  EXPECT_STREQ(negated.HostLabel(), "%");

  // Huge values never overrun the 32-byte field; truncation saturates.
  IParameter wide = Define(0, -1e300, 1e300, 1e-6);
  char text[kParamTextSize + 8];
  std::memset(text, '#', sizeof(text));
  wide.FormatForHost(1e300, false, text);
  EXPECT_EQ(std::strlen(text), 31u);
  EXPECT_EQ(text[kParamTextSize], '#');
  IParameter whole = Define(0, -1e12, 1e12, 1);
  EXPECT_EQ(Format(whole, 1e12), "2147483647");
  EXPECT_EQ(Format(whole, -1e12), "-2147483648");
  EXPECT_EQ(Format(whole, kNaN), "0");
}

TEST(Parameter, DisplayTextsAndHostText) {
  IParameter p = Stepped(0, 3, 1);
  p.AddDisplayText(0, "off");
  p.AddDisplayText(1, "on");
  p.AddDisplayText(2, "");
  p.AddDisplayText(1, "again");
  EXPECT_EQ(Format(p, 1.9), "on"); // truncated toward zero, first entry wins
  EXPECT_EQ(Format(p, 1.0, false, false), "1");
  EXPECT_EQ(Format(p, 2.0), "2"); // empty text: the number instead
  EXPECT_EQ(Format(p, 0.5, true), "on");
  p.SetValue(1);
  EXPECT_STREQ(p.HostLabel(), "");
  p.SetValue(2);
  EXPECT_STREQ(p.HostLabel(), "%");

  int named = -7;
  EXPECT_TRUE(p.MatchDisplayText("on", &named));
  EXPECT_EQ(named, 1);
  EXPECT_FALSE(p.MatchDisplayText("On", &named));
  EXPECT_FALSE(p.MatchDisplayText(nullptr, &named));
  double value = -1;
  EXPECT_TRUE(p.ParseHostText("off", &value));
  EXPECT_EQ(value, 0.0);
  EXPECT_FALSE(p.ParseHostText("2", &value)); // with texts, numbers are not read

  IParameter gain = Define(0, -24, 24, 0.01);
  ASSERT_TRUE(gain.ParseHostText("  -12 dB", &value));
  EXPECT_EQ(value, -12.0);
  ASSERT_TRUE(gain.ParseHostText("loud", &value));
  EXPECT_EQ(value, 0.0);
}

TEST(Parameter, LeadingNumberParsing) {
  const char* texts[] = {"12.5abc", " \t7", "+3",  ".5", "2.5e-1x", "abc",   "",
                         "--5",     "- 5",  "1,5", "1e", "1e-999",  "1e999", "-1e999"};
  const double values[] = {12.5, 7, 3, 0.5, 0.25, 0, 0, 0, 0, 1, 1, 0, kInf, -kInf};
  for (int i = 0; i < 14; ++i)
    EXPECT_EQ(IParameter::ParseLeadingNumber(texts[i]), values[i]) << texts[i];
  EXPECT_EQ(IParameter::ParseLeadingNumber(nullptr), 0.0);
  EXPECT_EQ(IParameter::ParseLeadingNumber(("1" + std::string(400, '0')).c_str()), kInf);
  EXPECT_EQ(IParameter::ParseLeadingNumber(("0." + std::string(400, '0') + "1").c_str()), 0.0);
}
