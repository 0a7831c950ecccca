// What both command-line tools share about --set: splitting NAME=VALUE,
// strict decimal numbers and finding the parameter a key names.
#include "ParameterSetting.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

TEST(ParameterSetting, SplitsAtTheFirstEqualsSign) {
  ParameterSetting s;
  std::string error;
  ASSERT_TRUE(ParseParameterSetting("Input 1=6", s, error)) << error;
  EXPECT_EQ(s.name, "Input 1");
  EXPECT_EQ(s.value, "6");
  ASSERT_TRUE(ParseParameterSetting("3=a=b", s, error)) << error;
  EXPECT_EQ(s.name, "3");
  EXPECT_EQ(s.value, "a=b");
  // No value is not a number: refused where the value is read.
  ASSERT_TRUE(ParseParameterSetting("Output 1=", s, error)) << error;
  EXPECT_EQ(s.value, "");
  double v = 0.0;
  EXPECT_FALSE(ParseDecimal(s.value, v));

  for (const char* bad : {"Input 1", "=3", ""}) {
    error.clear();
    EXPECT_FALSE(ParseParameterSetting(bad, s, error)) << bad;
    EXPECT_NE(error.find("NAME=VALUE"), std::string::npos) << error;
  }
}

TEST(ParameterSetting, DecimalsAllowBlanksAroundAndNothingElse) {
  double v = 0.0;
  ASSERT_TRUE(ParseDecimal("\t0.25\r\n", v));
  EXPECT_EQ(v, 0.25);
  ASSERT_TRUE(ParseDecimal("+1e2", v));
  EXPECT_EQ(v, 100.0);
  v = 7.0;
  for (const char* text : {"1 2", "1e", ".", "-", "INF", "0x1p3", "\v1"})
    EXPECT_FALSE(ParseDecimal(text, v)) << text;
  EXPECT_EQ(v, 7.0); // a refused text leaves the value alone
}

TEST(ParameterSetting, FindsByIndexThenExactNameThenAnyCase) {
  const std::vector<std::string> names = {"Gain", "gain", "Mix 2", "12"};
  auto find = [&](const std::string& key) {
    return FindParameterIndex(key, static_cast<int>(names.size()),
                              [&](int i) { return names[static_cast<std::size_t>(i)]; });
  };
  EXPECT_EQ(find("0"), 0);
  EXPECT_EQ(find("3"), 3);
  EXPECT_EQ(find("4"), -1);
  EXPECT_EQ(find("12"), -1);      // digits are an index, never a name
  EXPECT_EQ(find("0000003"), -1); // more than six digits
  EXPECT_EQ(find("gain"), 1);     // the exact name wins over case
  EXPECT_EQ(find("GAIN"), 0);     // then the first in any case
  EXPECT_EQ(find("mix 2"), 2);
  EXPECT_EQ(find("Mix"), -1);
  EXPECT_EQ(find(""), -1);
  EXPECT_EQ(find("-1"), -1);
}

} // namespace
