#include "HostIdentification.h"
#include "TestPlug.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

namespace {

using Configs = std::vector<std::pair<int, int>>;

Configs ConfigsOf(const char* io) {
  TestPlug plug(IdentityWith(io));
  Configs configs;
  for (int i = 0; i < plug.NumIOConfigs(); ++i)
    configs.emplace_back(plug.GetIOConfig(i)->inputs, plug.GetIOConfig(i)->outputs);
  return configs;
}

Values Slice(const double* samples, int n) {
  return Values(samples, samples + n);
}

} // namespace

TEST(PlugBase, IdentityTexts) {
  static_assert(FourCharCode("TLV1") == 0x544C5631 &&
                FourCharCode('p', 'r', 's', 't') == 0x70727374);
  static_assert(FourCharCode('\xFF', 0, 0, 1) == static_cast<int32_t>(0xFF000001u));
  PluginIdentity other = kStripIdentity;
  other.version = 0x00010203;
  const std::string longName(200, 'q');
  other.makerName = longName.c_str();
  TestPlug plug(other, kFormatVST3);
  EXPECT_EQ(plug.GetVersionDecimal(), 10203);
  EXPECT_EQ(std::strlen(plug.GetMakerName()), 127u); // cut to its field
  EXPECT_EQ(plug.PluginFormat(), kFormatVST3);
  EXPECT_EQ(plug.IdentifyHost(), kHostUninit);
}

TEST(PlugBase, IOStringParsingAndLegalIO) {
  EXPECT_EQ(ConfigsOf("1-1 2-2"), (Configs{{1, 1}, {2, 2}}));
  EXPECT_EQ(ConfigsOf("1-1 "), (Configs{{1, 1}, {0, 0}}));
  EXPECT_EQ(ConfigsOf("1-1  2-2"), (Configs{{1, 1}, {2, 2}, {2, 2}}));
  EXPECT_EQ(ConfigsOf("x-y 3 4-z  -1-2"), (Configs{{0, 0}, {3, 0}, {4, 0}, {-1, 2}, {-1, 2}}));
  EXPECT_EQ(ConfigsOf(nullptr), (Configs{{0, 0}}));
  EXPECT_EQ(ConfigsOf("99999999999-1"), (Configs{{INT_MAX, 1}})); // saturates
  EXPECT_EQ(TestPlug(IdentityWith("99999999999-1")).NumInputs(), IPlugBase::kMaxPins);
  TestPlug wide(IdentityWith("1-2 4-3"));
  EXPECT_EQ(wide.NumInputs(), 4);
  EXPECT_EQ(wide.NumOutputs(), 3);

  TestPlug strip;
  EXPECT_EQ(strip.NumInputs(), 2);
  EXPECT_EQ(strip.NumOutputs(), 2);
  EXPECT_FALSE(strip.IsInputConnected(0));
  EXPECT_TRUE(strip.LegalIO(1, -1));
  EXPECT_TRUE(strip.LegalIO(2, 2));
  EXPECT_TRUE(strip.LegalIO(-1, -1));
  EXPECT_FALSE(strip.LegalIO(1, 2));
  EXPECT_FALSE(strip.LegalIO(3, -1));
  TestPlug stereo(IdentityWith("2-2"));
  EXPECT_EQ(stereo.NumInputs(), 2);
  EXPECT_FALSE(stereo.LegalIO(1, -1));
}

TEST(PlugBase, ConnectionsAndStereoRestriction) {
  TestPlug plug(IdentityWith("4-4"));
  plug.SetInputConnections(-3, 100, true);     // clipped to the pins that exist
  plug.SetInputConnections(3, INT_MAX, false); // first + count must not overflow
  EXPECT_TRUE(plug.IsInputConnected(0) && plug.IsInputConnected(2) && !plug.IsInputConnected(3));
  plug.RestrictToStereo(); // inputs from 2 off, outputs from 2 on
  EXPECT_TRUE(plug.IsInputConnected(1) && !plug.IsInputConnected(2));
  EXPECT_TRUE(!plug.IsOutputConnected(1) && plug.IsOutputConnected(2) && plug.IsOutputConnected(3));
}

TEST(PlugBase, BlockSizeKeepsOrZeroesScratch) {
  TestPlug plug;
  plug.SetInputConnections(0, 2, true);
  ASSERT_TRUE(plug.SetBlockSize(4));
  const float a[] = {1, 2, 3, 4}, b[] = {5, 6, 7, 8};
  const float* host[] = {a, b};
  plug.AttachInputs(0, 2, host, 2, 4); // converted into the scratch buffers
  ASSERT_TRUE(plug.SetBlockSize(4));
  EXPECT_EQ(Slice(plug.InputPointers()[1], 4), (Values{5, 6, 7, 8}));
  ASSERT_TRUE(plug.SetBlockSize(6));
  EXPECT_EQ(Slice(plug.InputPointers()[0], 6), Values(6, 0.0));
  EXPECT_EQ(Slice(plug.InputPointers()[1], 6), Values(6, 0.0));
  plug.ClearScratchBuffers();
  EXPECT_FALSE(plug.SetBlockSize(-5));
  EXPECT_EQ(plug.GetBlockSize(), 6);
  ASSERT_TRUE(plug.SetBlockSize(INT_MAX));
  EXPECT_EQ(plug.GetBlockSize(), IPlugBase::kMaxBlockSize);
}

TEST(PlugBase, DisconnectedInputReadsSilenceNotItsLastBlock) {
  TestPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputConnections(0, 2, true);
  const float a[] = {1, 2, 3, 4}, b[] = {5, 6, 7, 8};
  const float* host[] = {a, b};
  plug.AttachInputs(0, 2, host, 2, 4);
  plug.SetInputConnections(1, 1, false); // a mono track from now on
  plug.AttachInputs(0, 2, host, 1, 4);
  EXPECT_EQ(Slice(plug.InputPointers()[0], 4), (Values{1, 2, 3, 4}));
  EXPECT_EQ(Slice(plug.InputPointers()[1], 4), Values(4, 0.0));
}

TEST(PlugBase, FloatAttachWithDisconnectedPins) {
  TestPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputConnections(0, 1, true);  // input pin 1 disconnected
  plug.SetOutputConnections(1, 1, true); // output pin 0 disconnected
  const float in[] = {0.5f, -0.25f, 1, 2}, longIn[8] = {};
  const float* inputs[] = {in};
  float out[] = {9, 9, 9, 9}, spare[] = {7, 7, 7, 7};
  float* outputs[] = {out, spare};
  plug.AttachInputs(0, 2, inputs, 1, 4);
  plug.AttachOutputs(0, 2, outputs, 2);
  EXPECT_EQ(Slice(plug.InputPointers()[0], 4), (Values{0.5, -0.25, 1, 2}));
  EXPECT_EQ(Slice(plug.InputPointers()[1], 4), Values(4, 0.0)); // its own scratch
  for (int s = 0; s < 4; ++s) {
    plug.OutputPointers()[0][s] = 100;
    plug.OutputPointers()[1][s] = 0.5 * s;
  }
  // The first host output array belongs to the first connected pin (1).
  plug.CopyOutputsReplacing(4);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0, 0.5f, 1, 1.5f}));
  plug.CopyOutputsAccumulating(4);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0, 1, 2, 3}));
  EXPECT_EQ(spare[0], 7.0f);
  // Frames beyond the block size stay inside the scratch buffers (the
  // sanitizer build watches the bounds): only the first four are taken.
  const float* longInputs[] = {longIn};
  plug.AttachInputs(0, 2, longInputs, 1, 8);
  EXPECT_EQ(Slice(plug.InputPointers()[0], 4), Values(4, 0.0));
  plug.CopyOutputsReplacing(8);
  EXPECT_EQ(std::vector<float>(out, out + 4), (std::vector<float>{0, 0.5f, 1, 1.5f}));
}

TEST(PlugBase, DoubleAttachWithDisconnectedAndMissingArrays) {
  TestPlug plug;
  ASSERT_TRUE(plug.SetBlockSize(4));
  plug.SetInputConnections(1, 1, true);
  plug.SetOutputConnections(0, 2, true);
  double in[4] = {1, 2, 3, 4}, out0[4] = {9, 9, 9, 9}, out1[4] = {};
  const double* inputs[] = {in};
  double* outputs[] = {out0, out1};
  plug.AttachInputs(0, 2, inputs, 1, 2);
  plug.AttachOutputs(0, 2, outputs, 2, 1);
  EXPECT_EQ(plug.InputPointers()[1], in + 2); // no copy, at the offset
  EXPECT_EQ(plug.OutputPointers()[1], out1 + 1);
  // Null or missing host arrays: silence in, results dropped.
  plug.SetInputConnections(0, 2, true);
  const double* none[] = {nullptr};
  plug.AttachInputs(0, 2, none, 1);
  plug.AttachOutputs(0, 2, static_cast<double* const*>(nullptr), 0);
  plug.ProcessBlock(plug.InputPointers(), plug.OutputPointers(), 4);
  EXPECT_EQ(Slice(plug.InputPointers()[1], 4), Values(4, 0.0));
  EXPECT_EQ(out0[1], 9.0); // the earlier attachment is gone
}

TEST(PlugBase, DefaultProcessBlockAndPassThroughWithLatency) {
  TestPlug widening(IdentityWith("1-2"));
  double a[3] = {1, 2, 3}, z[3] = {9, 9, 9}, w[3] = {9, 9, 9};
  double* one[] = {a};
  double* two[] = {z, w};
  widening.ProcessBlock(one, two, 3);
  EXPECT_EQ(Slice(z, 3), (Values{1, 2, 3}));
  EXPECT_EQ(Slice(w, 3), (Values{0, 0, 0}));

  TestPlug plug;
  plug.SetInputConnections(0, 2, true);
  plug.SetOutputConnections(0, 2, true);
  double l[4] = {1, 2, 3, 4}, ol[4] = {};
  const double* ins[] = {l, l};
  double* outs[] = {ol, l}; // the second output is its own input
  plug.AttachInputs(0, 2, ins, 2);
  plug.AttachOutputs(0, 2, outs, 2);
  plug.SetLatencySamples(3);
  plug.CreateDelayLine();
  plug.PassThrough(4);
  EXPECT_EQ(Slice(ol, 4), (Values{0, 0, 0, 1}));
  EXPECT_EQ(Slice(l, 4), (Values{0, 0, 0, 1}));
  plug.SetLatencySamples(1); // resized and cleared
  plug.PassThrough(4);
  EXPECT_EQ(Slice(ol, 4), (Values{0, 0, 0, 0}));
}

TEST(PlugBase, StateMatchesWithinFloatTolerance) {
  TestPlug plug;
  Values stored = {123.0, 0.5, 0.5, 0.5, 0, 0, 0};
  EXPECT_TRUE(plug.StateMatches(stored.data(), 56, 1));
  EXPECT_FALSE(plug.StateMatches(stored.data(), 56, 0));
  EXPECT_FALSE(plug.StateMatches(stored.data(), 55, 1)); // one byte short
  stored[2] = 0.500001;
  EXPECT_TRUE(plug.StateMatches(stored.data(), 56, 1));
  stored[2] = 0.5001;
  EXPECT_FALSE(plug.StateMatches(stored.data(), 56, 1));
}

TEST(PlugBase, EditorAttachRefreshAndOwnership) {
  EditorLog first, second;
  {
    TestPlug plug;
    plug.GetParam(3)->SetValue(12.0);
    plug.AttachEditor(new FakeEditor(first));
    EXPECT_EQ(first.normalized, (Pairs{{0, 0.5}, {1, 0.5}, {2, 0.5}, {3, 0.75}, {4, 0.5}, {5, 0}}));
    EXPECT_EQ(first.preparedSurfaces, 1);
    plug.RefreshEditorControls();
    EXPECT_EQ(first.real, (Pairs{{0, 0.5}, {1, 0.5}, {2, 0.5}, {3, 12}, {4, 0}, {5, 0}}));
    plug.AttachEditor(nullptr);
    EXPECT_FALSE(first.deleted);
    plug.AttachEditor(new FakeEditor(second)); // replaces and frees the first
    EXPECT_TRUE(first.deleted);
    plug.AttachEditor(plug.GetEditor()); // the same one again: kept
    EXPECT_FALSE(second.deleted);
  }
  EXPECT_TRUE(second.deleted); // dies with the plug-in
}

TEST(PlugBase, ParameterFromEditorAndDefaultHooks) {
  TestPlug plug;
  plug.SetParameterFromEditor(3, 0.25);
  plug.SetParameterFromEditor(5, 0.6);
  plug.SetParameterFromEditor(6, 0.5);
  EXPECT_EQ(plug.Get(), (Values{0.5, 0.5, 0.5, -12, 0, 1}));
  EXPECT_EQ(plug.notified, (Pairs{{3, 0.25}, {5, 0.6}}));
  EXPECT_EQ(plug.changed, (std::vector<int>{3, 5}));
  // A drag that overshoots the control ends at the parameter's bounds.
  plug.SetParameterFromEditor(4, -0.3);
  plug.SetParameterFromEditor(0, 1.7);
  EXPECT_EQ(plug.Get(), (Values{1, 0.5, 0.5, -12, -24, 1}));
  MidiMessage note;
  note.data1 = 60;
  plug.HandleMidiMessage(note); // sent straight back
  ASSERT_EQ(plug.midiSent.size(), 1u);
  EXPECT_EQ(plug.midiSent[0].data1, 60);
  plug.SetHostInfo("REAPER", 0x00050014);
  EXPECT_EQ(plug.IdentifyHost(), kHostReaper);
  EXPECT_EQ(plug.GetHostVersion(), 0x00050014);
}
