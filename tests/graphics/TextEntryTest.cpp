#include "GraphicsTestSupport.h"
#include "ITextEntry.h"

#include <gtest/gtest.h>

namespace {

// Remembers what a commit hands it.
class EntryControl : public IControl {
public:
  using IControl::IControl;
  void SetValueFromEntry(double value) override { values.push_back(value); }
  void TakeEnteredText(const char* text) override { texts.push_back(text); }
  bool Draw(IGraphics&) override { return true; }
  std::vector<double> values;
  std::vector<std::string> texts;
};

struct EntryBench {
  GraphicsTestPlug plug;
  EntryControl control{&plug, IBox(0, 0, 40, 16), 0};
  ITextEntry Open(IParameter* parameter, const char* text = "") {
    return ITextEntry(&control, parameter, control.TextStyle(), IBox(2, 3, 42, 19), text);
  }
};

void TypeAll(ITextEntry& entry, const char* text) {
  for (; *text; ++text)
    entry.Type(*text);
}

TEST(TextEntry, FiltersByParameterKindAndKeepsTheLimit) {
  EntryBench b;
  ITextEntry entry = b.Open(nullptr, "old");
  EXPECT_EQ(entry.State(), ITextEntry::EditActive);
  EXPECT_EQ(entry.Area(), IBox(2, 3, 43, 20)); // a pixel wider and taller
  TypeAll(entry, "a b.1");
  EXPECT_EQ(entry.Text(), "a b.1"); // free text takes everything
  entry.Backspace();
  EXPECT_EQ(entry.Text(), "a b.");

  IParameter stepped;
  stepped.DefineInteger("Steps", 0, -5, 5, "");
  ITextEntry integer = b.Open(&stepped, "2");
  TypeAll(integer, "-1.5x");
  EXPECT_EQ(integer.Text(), "-15");
  IParameter continuous;
  continuous.DefineDouble("Gain", 0.0, -24.0, 24.0, 0.01, "dB");
  ITextEntry decimal = b.Open(&continuous, "1.00");
  TypeAll(decimal, "abc");
  EXPECT_EQ(decimal.Text(), "1.00"); // nothing entered: still selected
  decimal.Backspace();               // clears the selection
  TypeAll(decimal, "+2.5e");
  EXPECT_EQ(decimal.Text(), "+2.5");

  b.control.SetTextEntryLimit(3);
  ITextEntry limited = b.Open(nullptr);
  TypeAll(limited, "abcdef");
  EXPECT_EQ(limited.Text(), "abc");
}

TEST(TextEntry, CommitGivesValuesOrText) {
  EntryBench b;
  IParameter gain;
  gain.DefineDouble("Gain", 0.0, -24.0, 24.0, 0.01, "dB");
  ITextEntry decimal = b.Open(&gain);
  TypeAll(decimal, "12");
  decimal.Commit();
  gain.SetNegateDisplay(true);
  decimal.Commit(); // the display shows -12 for 12
  IParameter mode;
  mode.DefineInteger("Mode", 0, 0, 2, "");
  mode.AddDisplayText(0, "Low");
  mode.AddDisplayText(1, "Mid");
  mode.AddDisplayText(2, "High");
  ITextEntry named = b.Open(&mode, "Mid"); // typing only takes digits and signs
  named.Commit();
  ITextEntry unknown = b.Open(&mode, "1");
  unknown.Commit(); // not a display text: 0
  ASSERT_EQ(b.control.values.size(), 4u);
  EXPECT_DOUBLE_EQ(b.control.values[0], 0.75);
  EXPECT_DOUBLE_EQ(b.control.values[1], 0.25);
  EXPECT_DOUBLE_EQ(b.control.values[2], 0.5);
  EXPECT_DOUBLE_EQ(b.control.values[3], 0.0);

  // Free text, read as 31 characters at most.
  b.control.SetTextEntryLimit(40);
  ITextEntry text = b.Open(nullptr);
  TypeAll(text, "0123456789012345678901234567890123456789");
  text.Commit();
  ASSERT_EQ(b.control.texts.size(), 1u);
  EXPECT_EQ(b.control.texts[0], "0123456789012345678901234567890");
  EXPECT_EQ(b.control.values.size(), 4u);
}

} // namespace
