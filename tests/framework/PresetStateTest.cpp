#include "TestPlug.h"
#include "VSTChunkHeader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

namespace {

using Bytes = std::vector<uint8_t>;

Bytes BytesOf(const StateChunk& chunk) {
  return Bytes(chunk.Bytes(), chunk.Bytes() + chunk.Size());
}

StateChunk StateOf(const Values& values) {
  StateChunk chunk;
  for (double v : values)
    chunk.PutDouble(v);
  return chunk;
}

const Values kDefaults = {0.5, 0.5, 0.5, 0, 0, 0};

} // namespace

TEST(ParamState, DefaultStateAndVst2ChunksAreByteExact) {
  TestPlug plug;
  plug.FillUninitializedPresets("-", 1);
  Bytes state(48, 0); // 0.5 three times (00 00 00 00 00 00 E0 3F), then 24 zeros
  for (int i = 0; i < 3; ++i) {
    state[i * 8 + 6] = 0xE0;
    state[i * 8 + 7] = 0x3F;
  }
  StateChunk chunk;
  ASSERT_TRUE(plug.WriteState(chunk));
  EXPECT_EQ(BytesOf(chunk), state);

  StateChunk program;
  VSTChunkHeader::Write(program);
  ASSERT_TRUE(plug.SerializeParams(program)); // appends
  EXPECT_EQ(program.Size(), 56);
  StateChunk bank;
  VSTChunkHeader::Write(bank);
  ASSERT_TRUE(plug.SerializePresets(bank));
  Bytes expected = {0x74, 0x66, 0x66, 0x70, 0, 0, 1, 0, 1, 0, 0, 0, '-', 1};
  expected.insert(expected.end(), state.begin(), state.end());
  EXPECT_EQ(BytesOf(bank), expected); // 62 bytes
}

TEST(ParamState, ReadingFullShortLongAndBadStates) {
  TestPlug plug;
  const Values values = {0.1, 0.25, 0.9, -12.5, 7.75, 1};
  EXPECT_EQ(plug.ReadState(StateOf(values), 0), 48);
  EXPECT_EQ(plug.Get(), values);
  EXPECT_EQ(plug.changed, (std::vector<int>{0, 1, 2, 3, 4, 5}));

  // 40 bytes: parameter 5 gets its clamped 0.0; every parameter is notified.
  plug.changed.clear();
  EXPECT_EQ(plug.ReadState(StateOf({0.2, 0.2, 0.2, 2, 2}), 0), -1);
  EXPECT_EQ(plug.Get(), (Values{0.2, 0.2, 0.2, 2, 2, 0}));
  EXPECT_EQ(plug.changed.size(), 6u);
  // Half a double for parameter 3: it gets 0.0 and the later ones are kept.
  plug.Set({0.7, 0.7, 0.7, 3, 3, 1});
  StateChunk half = StateOf({0.1, 0.2, 0.3});
  half.PutInt32(0x7FF00000);
  EXPECT_EQ(plug.ReadState(half, 0), -1);
  EXPECT_EQ(plug.Get(), (Values{0.1, 0.2, 0.3, 0, 3, 1}));
  // 56 bytes from position 4: 48 read, the rest ignored.
  StateChunk longer;
  longer.PutInt32(-1);
  longer.PutChunk(StateOf({0.6, 0.6, 0.6, 6, 6, 1, 0.9}));
  EXPECT_EQ(plug.ReadState(longer, 4), 52);
  EXPECT_EQ(plug.Get(), (Values{0.6, 0.6, 0.6, 6, 6, 1}));
  // Out of range, non-finite, negative start.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  EXPECT_EQ(plug.ReadState(StateOf({nan, -inf, 2.0, 99, inf, 0.4}), 0), 48);
  EXPECT_EQ(plug.Get(), (Values{0.6, 0.0, 1.0, 24, 24, 0.4}));
  plug.changed.clear();
  EXPECT_EQ(plug.ReadState(longer, -1), -1);
  EXPECT_EQ(plug.Get(), (Values{0.6, 0.0, 1.0, 24, 24, 0.4}));
  EXPECT_EQ(plug.changed.size(), 6u);
  // A range that excludes 0: the missing value is clamped to the bound.
  plug.GetParam(0)->DefineDouble("Shifted", 5.0, 2.0, 8.0, 0.01);
  EXPECT_EQ(plug.ReadState(StateChunk(), 0), -1);
  EXPECT_EQ(plug.GetParam(0)->Value(), 2.0);
}

TEST(PresetBank, RoundTripAcrossSeveralSlots) {
  TestPlug source(IdentityWith("1-1 2-2", 3));
  source.FillUninitializedPresets("first", 1);
  source.Set({0.9, 0.8, 0.7, -3, 4, 1});
  source.FillUninitializedPresets("second", 1);
  StateChunk bank;
  ASSERT_TRUE(source.SerializePresets(bank));
  EXPECT_EQ(bank.Size(), (4 + 5 + 1 + 48) + (4 + 6 + 1 + 48) + (4 + 5 + 1)); // slot 2: no state

  TestPlug target(IdentityWith("1-1 2-2", 3));
  target.FillUninitializedPresets("x", 3);
  EXPECT_EQ(target.UnserializePresets(bank, 0), bank.Size());
  EXPECT_STREQ(target.GetPresetName(1), "second");
  EXPECT_STREQ(target.GetPresetName(2), "empty");
  EXPECT_FALSE(target.GetPreset(2)->initialized);
  EXPECT_EQ(target.Get(), kDefaults); // the current slot is recalled last
  ASSERT_TRUE(target.RecallPreset(1));
  EXPECT_EQ(target.Get(), (Values{0.9, 0.8, 0.7, -3, 4, 1}));
  StateChunk again;
  ASSERT_TRUE(target.SerializePresets(again));
  EXPECT_EQ(BytesOf(again), BytesOf(bank));
}

TEST(PresetBank, NameLengthsFlagBytesAndLongNames) {
  // Length -1: empty name, position back to 3, so the flag is the length's
  // own 0xFF byte: initialised, and the state follows at 4.
  TestPlug plug;
  StateChunk bank;
  bank.PutInt32(-1);
  bank.PutChunk(StateOf({0.1, 0.2, 0.3, 4, 5, 1}));
  EXPECT_EQ(plug.UnserializePresets(bank, 0), 52);
  EXPECT_STREQ(plug.GetPresetName(0), "");
  EXPECT_EQ(plug.Get(), (Values{0.1, 0.2, 0.3, 4, 5, 1}));

  StateChunk named;
  named.PutString(std::string(300, 'n').c_str());
  named.PutBool(true);
  named.PutChunk(StateOf(kDefaults));
  EXPECT_EQ(plug.UnserializePresets(named, 0), named.Size());
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(255, 'n'));
  plug.ModifyCurrentPreset(std::string(1000, 'm').c_str());
  EXPECT_EQ(std::string(plug.GetPresetName(0)), std::string(255, 'm'));
}

TEST(PresetBank, FailedLoadsAreReportedAndNotRolledBack) {
  TestPlug plug(IdentityWith("1-1 2-2", 2));
  plug.FillUninitializedPresets("a", 2);
  StateChunk bank;
  bank.PutString("renamed");
  bank.PutBool(true);
  bank.PutChunk(StateOf({0.1, 0.1, 0.1, 1, 1, 1}));
  bank.PutString("second"); // no flag follows
  EXPECT_EQ(plug.UnserializePresets(bank, 0), -1);
  EXPECT_STREQ(plug.GetPresetName(0), "renamed");
  EXPECT_STREQ(plug.GetPresetName(1), "second");
  EXPECT_TRUE(plug.GetPreset(1)->initialized);
  EXPECT_EQ(plug.Get(), (Values{0.1, 0.1, 0.1, 1, 1, 1}));

  // A name running past the end: the slot gets the previous slot's name.
  TestPlug other(IdentityWith("1-1 2-2", 2));
  StateChunk broken;
  broken.PutString("one");
  broken.PutBool(false);
  broken.PutInt32(1000);
  EXPECT_EQ(other.UnserializePresets(broken, 0), -1);
  EXPECT_STREQ(other.GetPresetName(1), "one");
  EXPECT_STREQ(other.GetPresetName(0), "user preset 1"); // empty current slot, recalled
}

TEST(PresetBank, GarbledBanksStayInBoundsAndKeepValuesValid) {
  std::mt19937 random(777);
  for (int round = 0; round < 400; ++round) {
    TestPlug plug(IdentityWith("1-1 2-2", 3));
    plug.FillUninitializedPresets("p", 3);
    StateChunk bank;
    for (int i = static_cast<int>(random() % 200); i > 0; --i) {
      const uint8_t byte = static_cast<uint8_t>(random() % 4 == 0 ? 0xFF : random() % 8);
      bank.PutBytes(&byte, 1);
    }
    const int end = plug.UnserializePresets(bank, static_cast<int>(random() % 6) - 1);
    EXPECT_GE(end, -1);
    EXPECT_LE(end, bank.Size());
    for (int i = 0; i < plug.NumParams(); ++i) {
      const IParameter* p = plug.GetParam(i);
      EXPECT_TRUE(p->Value() >= p->Min() && p->Value() <= p->Max()) << p->Value();
    }
  }
}

TEST(Presets, RecallFillModifyAndNaming) {
  TestPlug plug(IdentityWith("1-1 2-2", 3));
  EditorLog log;
  plug.AttachEditor(new FakeEditor(log));
  plug.FillUninitializedPresets("-", 1);
  plug.Set({0.2, 0.3, 0.4, 5, 6, 1});
  // An empty slot takes the live state and the next user preset name.
  ASSERT_TRUE(plug.RecallPreset(2));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 1");
  EXPECT_EQ(plug.GetPreset(2)->state.Size(), 48);
  EXPECT_EQ(plug.presetChanges, 1);
  EXPECT_EQ(log.real, (Pairs{{0, 0.2}, {1, 0.3}, {2, 0.4}, {3, 5}, {4, 6}, {5, 1}}));
  // An initialised slot loads its values.
  ASSERT_TRUE(plug.RecallPreset(0));
  EXPECT_EQ(plug.Get(), kDefaults);
  ASSERT_TRUE(plug.RecallPreset(2));
  EXPECT_EQ(plug.Get(), (Values{0.2, 0.3, 0.4, 5, 6, 1}));
  // Outside the list: refused, nothing changes.
  EXPECT_FALSE(plug.RecallPreset(3));
  EXPECT_FALSE(plug.RecallPreset(-1));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 2);
  EXPECT_EQ(plug.presetChanges, 3);
  EXPECT_FALSE(plug.GetPreset(1)->initialized);

  plug.GetPreset(0)->SetName("my user preset");
  EXPECT_EQ(plug.NextUserPresetName(), "user preset 3");
  plug.FillUninitializedPresets(nullptr, 5);
  EXPECT_STREQ(plug.GetPresetName(1), "Empty");
  plug.Set({0.1, 0.1, 0.1, 1, 1, 1});
  plug.ModifyCurrentPreset("");
  EXPECT_STREQ(plug.GetPresetName(2), "user preset 1");
  EXPECT_EQ(plug.GetPreset(2)->state.Size(), 48); // replaced, not appended
  plug.ModifyCurrentPreset("mine");
  EXPECT_STREQ(plug.GetPresetName(2), "mine");
  plug.Set(kDefaults);
  ASSERT_TRUE(plug.RecallPreset(2));
  EXPECT_EQ(plug.Get(), (Values{0.1, 0.1, 0.1, 1, 1, 1}));
}

TEST(Presets, SlotMarkedEmptyByABankGetsOnlyTheLiveState) {
  // Recalling a slot that a bank marked empty must not keep its old bytes
  // ahead of the new state: a later recall would read the old values.
  TestPlug plug(IdentityWith("1-1 2-2", 2));
  plug.FillUninitializedPresets("full", 2);
  StateChunk bank;
  bank.PutString("a");
  bank.PutBool(true);
  bank.PutChunk(StateOf(kDefaults));
  bank.PutString("b");
  bank.PutBool(false);
  ASSERT_EQ(plug.UnserializePresets(bank, 0), bank.Size());
  plug.Set({0.9, 0.9, 0.9, 9, 9, 1});
  ASSERT_TRUE(plug.RecallPreset(1));
  ASSERT_TRUE(plug.RecallPreset(0));
  ASSERT_TRUE(plug.RecallPreset(1));
  EXPECT_EQ(plug.Get(), (Values{0.9, 0.9, 0.9, 9, 9, 1}));
}
