// The VST3 state: 48 bytes of parameter values and the host-bypass flag.
#include "Vst3TestSupport.h"

#include <cmath>
#include <limits>

namespace vst3test {
namespace {

void BypassThroughProcess(Plugin& p, double value) {
  Vst3ParameterChanges change;
  change.AddPoint(kBypassId, 0, value);
  ProcessData data;
  data.inputParameterChanges = &change;
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
}

TEST(Vst3State, FreshInstanceStateIsFiftyTwoBytesOfDefaults) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  auto state = ControllerState(p.Controller());
  // Three times 0.5 (00 00 00 00 00 00 E0 3F), then 28 zero bytes.
  std::vector<std::uint8_t> expected(52, 0);
  for (size_t i = 0; i < 3; ++i) {
    expected[i * 8 + 6] = 0xE0;
    expected[i * 8 + 7] = 0x3F;
  }
  EXPECT_EQ(expected, state);
  // The component side offers the same bytes (one object answers both).
  std::vector<std::uint8_t> component;
  ASSERT_TRUE(p.instance.GetState(component));
  EXPECT_EQ(expected, component);
}

TEST(Vst3State, HostBypassIsTheLastFourBytes) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  BypassThroughProcess(p, 0.75);
  auto state = ControllerState(p.Controller());
  ASSERT_EQ(52u, state.size());
  EXPECT_EQ((std::vector<std::uint8_t>{1, 0, 0, 0}),
            std::vector<std::uint8_t>(state.end() - 4, state.end()));
}

TEST(Vst3State, RoundTripRestoresEveryValueAndTheFlag) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  auto state = ControllerState(a.Controller());
  const double values[6] = {0.1, 0.2, 0.3, -7.25, 13.5, 1.0};
  for (int i = 0; i < 6; ++i)
    SetStateValue(state, i, values[i]);
  SetStateFlag(state, 1);
  ASSERT_EQ(kResultOk, SetControllerState(b.Controller(), state));
  EXPECT_EQ(state, ControllerState(b.Controller()));
  EXPECT_DOUBLE_EQ((13.5 + 24.0) / 48.0, b.Controller()->getParamNormalized(4));
  EXPECT_EQ(1.0, b.Controller()->getParamNormalized(kBypassId));
}

TEST(Vst3State, AnyNonZeroFlagBypassesAndTrailingBytesAreIgnored) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  auto state = ControllerState(p.Controller());
  SetStateFlag(state, 7);
  state.insert(state.end(), {1, 2, 3, 4, 5, 6, 7, 8});
  ASSERT_EQ(kResultOk, SetControllerState(p.Controller(), state));
  EXPECT_EQ(1.0, p.Controller()->getParamNormalized(kBypassId));
  EXPECT_EQ(1, StateFlag(ControllerState(p.Controller())));
  SetStateFlag(state, 0);
  ASSERT_EQ(kResultOk, SetControllerState(p.Controller(), state));
  EXPECT_EQ(0.0, p.Controller()->getParamNormalized(kBypassId));
}

TEST(Vst3State, FortyEightBytesSetTheParametersButNotTheFlag) {
  for (double bypass : {0.0, 1.0}) {
    SCOPED_TRACE(bypass);
    Plugin p;
    ASSERT_TRUE(p.Create());
    BypassThroughProcess(p, bypass);
    auto state = ControllerState(p.Controller());
    for (int i = 0; i < 5; ++i)
      SetStateValue(state, i, 0.125 * (i + 1));
    state.resize(48);
    EXPECT_EQ(kResultFalse, SetControllerState(p.Controller(), state));
    for (int i = 0; i < 3; ++i)
      EXPECT_DOUBLE_EQ(0.125 * (i + 1),
                       p.Controller()->getParamNormalized(static_cast<ParamID>(i)));
    auto after = ControllerState(p.Controller());
    EXPECT_DOUBLE_EQ(0.5, StateValue(after, 3));
    EXPECT_DOUBLE_EQ(0.625, StateValue(after, 4));
    EXPECT_EQ(bypass, p.Controller()->getParamNormalized(kBypassId));
  }
}

TEST(Vst3State, TwentyFourBytesSetTheFirstThreeAndKeepTheRest) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_EQ(kResultOk, p.Controller()->setParamNormalized(3, 0.75));
  ASSERT_EQ(kResultOk, p.Controller()->setParamNormalized(4, 0.25));
  ASSERT_EQ(kResultOk, p.Controller()->setParamNormalized(5, 1.0));
  std::vector<std::uint8_t> state(24);
  SetStateValue(state, 0, 0.9);
  SetStateValue(state, 1, 0.8);
  SetStateValue(state, 2, 0.7);
  EXPECT_EQ(kResultFalse, SetControllerState(p.Controller(), state));
  auto after = ControllerState(p.Controller());
  EXPECT_DOUBLE_EQ(0.9, StateValue(after, 0));
  EXPECT_DOUBLE_EQ(0.8, StateValue(after, 1));
  EXPECT_DOUBLE_EQ(0.7, StateValue(after, 2));
  EXPECT_DOUBLE_EQ(12.0, StateValue(after, 3));
  EXPECT_DOUBLE_EQ(-12.0, StateValue(after, 4));
  EXPECT_DOUBLE_EQ(1.0, StateValue(after, 5));
}

TEST(Vst3State, AShortReadReportedAsFailureStillDeliversItsBytes) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  std::vector<std::uint8_t> state(24);
  SetStateValue(state, 0, 0.9);
  SetStateValue(state, 1, 0.8);
  SetStateValue(state, 2, 0.7);
  TestStream stream(state, TestStream::Mode::FailShortReads);
  EXPECT_EQ(kResultFalse, p.Controller()->setState(&stream));
  auto after = ControllerState(p.Controller());
  EXPECT_DOUBLE_EQ(0.9, StateValue(after, 0));
  EXPECT_DOUBLE_EQ(0.7, StateValue(after, 2));
  EXPECT_DOUBLE_EQ(0.0, StateValue(after, 3)); // not delivered: keeps its value
}

TEST(Vst3State, StoredValuesAreClampedAndNonFiniteOnesRejected) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_EQ(kResultOk, p.Controller()->setParamNormalized(0, 0.3));
  auto state = ControllerState(p.Controller());
  SetStateValue(state, 3, 99.0);
  SetStateValue(state, 4, -1e308);
  SetStateValue(state, 0, std::numeric_limits<double>::quiet_NaN());
  SetStateValue(state, 1, std::numeric_limits<double>::infinity());
  SetStateValue(state, 2, -std::numeric_limits<double>::infinity());
  ASSERT_EQ(kResultOk, SetControllerState(p.Controller(), state));
  auto after = ControllerState(p.Controller());
  EXPECT_DOUBLE_EQ(24.0, StateValue(after, 3));
  EXPECT_DOUBLE_EQ(-24.0, StateValue(after, 4));
  EXPECT_DOUBLE_EQ(0.3, StateValue(after, 0)); // NaN left the value alone
  EXPECT_DOUBLE_EQ(1.0, StateValue(after, 1));
  EXPECT_DOUBLE_EQ(0.0, StateValue(after, 2));
}

TEST(Vst3State, BrokenStreamsAreRefusedWithoutHarm) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_EQ(kResultOk, p.Controller()->setParamNormalized(3, 0.75));
  auto before = ControllerState(p.Controller());

  EXPECT_EQ(kResultFalse, p.Controller()->setState(nullptr));
  EXPECT_EQ(kResultFalse, p.Controller()->getState(nullptr));

  TestStream failing(std::vector<std::uint8_t>(52, 0x41), TestStream::Mode::FailReads);
  EXPECT_EQ(kResultFalse, p.Controller()->setState(&failing));
  EXPECT_EQ(before, ControllerState(p.Controller()));

  TestStream empty;
  EXPECT_EQ(kResultFalse, p.Controller()->setState(&empty));
  EXPECT_EQ(before, ControllerState(p.Controller()));

  // A stream that claims more than it delivered (and more than was asked).
  std::vector<std::uint8_t> shortState(before.begin(), before.begin() + 16);
  SetStateValue(shortState, 1, 0.2);
  TestStream lying(shortState, TestStream::Mode::LyingReads);
  EXPECT_EQ(kResultFalse, p.Controller()->setState(&lying));
  auto after = ControllerState(p.Controller());
  EXPECT_DOUBLE_EQ(0.2, StateValue(after, 1));
  EXPECT_DOUBLE_EQ(12.0, StateValue(after, 3));

  // Half a flag is no flag.
  auto full = before;
  SetStateFlag(full, 1);
  full.resize(50);
  EXPECT_EQ(kResultFalse, SetControllerState(p.Controller(), full));
  EXPECT_EQ(0.0, p.Controller()->getParamNormalized(kBypassId));
}

TEST(Vst3State, SavingToAFailingStreamIsReportedAsFailure) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  TestStream failing({}, TestStream::Mode::FailWrites);
  EXPECT_EQ(kResultFalse, p.Controller()->getState(&failing));
  TestStream shortWrites({}, TestStream::Mode::ShortWrites);
  EXPECT_EQ(kResultFalse, p.Controller()->getState(&shortWrites));
}

TEST(Vst3State, BypassPersistsThroughStateIntoANewInstance) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  BypassThroughProcess(a, 1.0);
  std::vector<std::uint8_t> saved;
  ASSERT_TRUE(a.instance.GetState(saved));
  ASSERT_TRUE(b.instance.SetState(saved));
  EXPECT_EQ(1.0, b.Controller()->getParamNormalized(kBypassId));
  // setState is not setupProcessing: start processing without losing it by
  // restoring after the set-up, as hosts do when loading a project.
  ASSERT_TRUE(b.instance.Start(2, 48000, 128));
  EXPECT_EQ(0.0, b.Controller()->getParamNormalized(kBypassId));
  ASSERT_TRUE(b.instance.SetState(saved));
  auto in = TestSignal(2, 128);
  std::vector<std::vector<float>> out(2, std::vector<float>(128, 5.0f));
  auto inP = Pointers(in);
  auto outP = Pointers(out);
  ASSERT_EQ(kResultOk, b.instance.Process(inP.data(), outP.data(), 128));
  EXPECT_EQ(in, out);
}

TEST(Vst3State, StateLoadTakesEffectInTheNextBlock) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  ASSERT_TRUE(a.instance.Start(2, 48000, 256, kSample64));
  ASSERT_TRUE(b.instance.Start(2, 48000, 256, kSample64));
  auto state = ControllerState(a.Controller());
  SetStateValue(state, 3, 9.0);
  SetStateValue(state, 0, 0.8);
  ASSERT_EQ(kResultOk, SetControllerState(a.Controller(), state));
  Vst3ParameterChanges same;
  same.AddPoint(3, 0, (9.0 + 24.0) / 48.0);
  same.AddPoint(0, 0, 0.8);
  auto in = ToDouble(TestSignal(2, 256));
  auto outA = in, outB = in;
  auto inP = Pointers(in);
  auto aP = Pointers(outA);
  auto bP = Pointers(outB);
  ASSERT_EQ(kResultOk, a.instance.Process(inP.data(), aP.data(), 256));
  ASSERT_EQ(kResultOk, b.instance.Process(inP.data(), bP.data(), 256, &same));
  EXPECT_EQ(outB, outA);
}

} // namespace
} // namespace vst3test
