// The edit-controller side of the VST3 module: parameters, texts, units and
// the program list.
#include "Vst3TestSupport.h"

#include "pluginterfaces/gui/iplugview.h"

#include <cmath>
#include <limits>

namespace vst3test {
namespace {

struct Expected {
  ParamID id;
  const char* title;
  const char* units;
  int32 steps;
  double defaultValue;
  int32 flags;
};

const Expected kTable[8] = {
    {kPresetId, "Preset", "", 1, 0.0, ParameterInfo::kIsProgramChange},
    {kBypassId, "Bypass", "", 1, 0.0, 0x10009},
    {0, "High Gain 1", "%", 0, 0.5, ParameterInfo::kCanAutomate},
    {1, "Mid Gain 1", "%", 0, 0.5, ParameterInfo::kCanAutomate},
    {2, "Low Gain 1", "%", 0, 0.5, ParameterInfo::kCanAutomate},
    {3, "Input 1", "%", 0, 0.5, ParameterInfo::kCanAutomate},
    {4, "Output 1", "%", 0, 0.5, ParameterInfo::kCanAutomate},
    {5, "Bypass 1", "", 1, 0.0, ParameterInfo::kCanAutomate},
};

std::string ValueText(IEditController* c, ParamID id, double normalized,
                      tresult* result = nullptr) {
  String128 text;
  for (auto& unit : text)
    unit = 'x';
  tresult r = c->getParamStringByValue(id, normalized, text);
  if (result) *result = r;
  if (r != kResultOk) return "<refused>";
  return Narrow(text);
}

TEST(Vst3Controller, EightParametersAsTabled) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  ASSERT_EQ(8, c->getParameterCount());
  for (int i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    ParameterInfo info{};
    ASSERT_EQ(kResultOk, c->getParameterInfo(i, info));
    EXPECT_EQ(kTable[i].id, info.id);
    EXPECT_EQ(kTable[i].title, Narrow(info.title));
    EXPECT_EQ("", Narrow(info.shortTitle));
    EXPECT_EQ(kTable[i].units, Narrow(info.units));
    EXPECT_EQ(kTable[i].steps, info.stepCount);
    EXPECT_DOUBLE_EQ(kTable[i].defaultValue, info.defaultNormalizedValue);
    EXPECT_EQ(kTable[i].flags, info.flags);
    EXPECT_EQ(kRootUnitId, info.unitId);
  }
  ParameterInfo info{};
  EXPECT_NE(kResultOk, c->getParameterInfo(8, info));
  EXPECT_NE(kResultOk, c->getParameterInfo(-1, info));
}

TEST(Vst3Controller, ValueTextsComeFromTheParameterModel) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  EXPECT_EQ("0.00", ValueText(c, 3, 0.5));
  EXPECT_EQ("-12.00", ValueText(c, 3, 0.25));
  EXPECT_EQ("24.00", ValueText(c, 4, 1.0));
  EXPECT_EQ("0.25", ValueText(c, 0, 0.25));
  EXPECT_EQ("1", ValueText(c, 5, 1.0));
  EXPECT_EQ("0", ValueText(c, 5, 0.4));
  tresult r = kResultOk;
  ValueText(c, kBypassId, 1.0, &r);
  EXPECT_EQ(kResultFalse, r);
  ValueText(c, kPresetId, 0.0, &r);
  EXPECT_EQ(kResultFalse, r);
  ValueText(c, 6, 0.0, &r);
  EXPECT_EQ(kResultFalse, r);
  // Values a host should not send are shown as the nearest bound (a huge
  // value would otherwise format to hundreds of digits).
  EXPECT_EQ("24.00", ValueText(c, 3, 1e300));
  EXPECT_EQ("-24.00", ValueText(c, 3, -1e300));
  EXPECT_EQ("-24.00", ValueText(c, 3, std::numeric_limits<double>::quiet_NaN()));
}

TEST(Vst3Controller, TextsAreReadAsLeadingNumbersInPlainUnits) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  ParamValue v = -1;
  EXPECT_NE(kResultOk, c->getParamValueByString(3, nullptr, v));
  EXPECT_NE(kResultOk, c->getParamValueByString(kBypassId, nullptr, v));
  auto text = Widen("on");
  ASSERT_EQ(kResultOk, c->getParamValueByString(kBypassId, text.data(), v));
  EXPECT_EQ(1.0, v);
  text = Widen("-12 dB");
  ASSERT_EQ(kResultOk, c->getParamValueByString(3, text.data(), v));
  EXPECT_DOUBLE_EQ(0.25, v);
  text = Widen("  6.5");
  ASSERT_EQ(kResultOk, c->getParamValueByString(4, text.data(), v));
  EXPECT_DOUBLE_EQ(30.5 / 48.0, v);
  text = Widen("100");
  ASSERT_EQ(kResultOk, c->getParamValueByString(3, text.data(), v));
  EXPECT_DOUBLE_EQ(1.0, v);
  text = Widen("loud");
  ASSERT_EQ(kResultOk, c->getParamValueByString(3, text.data(), v));
  EXPECT_DOUBLE_EQ(0.5, v); // no number reads as 0 dB
  text = Widen("0.3");
  ASSERT_EQ(kResultOk, c->getParamValueByString(1, text.data(), v));
  EXPECT_DOUBLE_EQ(0.3, v);
  text = Widen("nan");
  ASSERT_EQ(kResultOk, c->getParamValueByString(3, text.data(), v));
  EXPECT_TRUE(std::isfinite(v));
  EXPECT_GE(v, 0.0);
  EXPECT_LE(v, 1.0);
  text = Widen("1");
  EXPECT_NE(kResultOk, c->getParamValueByString(99, text.data(), v));
}

TEST(Vst3Controller, PlainAndNormalisedConversions) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  EXPECT_DOUBLE_EQ(0.75, c->plainParamToNormalized(3, 12.0));
  EXPECT_DOUBLE_EQ(1.0, c->plainParamToNormalized(3, 100.0));
  EXPECT_DOUBLE_EQ(0.0, c->plainParamToNormalized(3, -100.0));
  EXPECT_DOUBLE_EQ(0.3, c->plainParamToNormalized(kBypassId, 0.3));
  EXPECT_DOUBLE_EQ(0.3, c->plainParamToNormalized(42, 0.3));
  EXPECT_DOUBLE_EQ(-12.0, c->normalizedParamToPlain(3, 0.25));
  EXPECT_DOUBLE_EQ(0.25, c->normalizedParamToPlain(0, 0.25));
  // No rounding to the step on the way out.
  EXPECT_DOUBLE_EQ(0.4, c->normalizedParamToPlain(5, 0.4));
  EXPECT_DOUBLE_EQ(0.6, c->normalizedParamToPlain(777, 0.6));
}

TEST(Vst3Controller, SetAndGetNormalisedValues) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  EXPECT_EQ(kResultOk, c->setParamNormalized(5, 0.5));
  EXPECT_DOUBLE_EQ(1.0, c->getParamNormalized(5)); // rounded to the step
  EXPECT_EQ(kResultFalse, c->setParamNormalized(kBypassId, 1.0));
  EXPECT_DOUBLE_EQ(0.0, c->getParamNormalized(kBypassId));
  EXPECT_EQ(kResultFalse, c->setParamNormalized(kPresetId, 1.0));
  EXPECT_EQ(kResultFalse, c->setParamNormalized(6, 0.5));
  EXPECT_DOUBLE_EQ(0.0, c->getParamNormalized(kPresetId));
  EXPECT_DOUBLE_EQ(0.0, c->getParamNormalized(6));
  EXPECT_EQ(kResultOk, c->setParamNormalized(3, 0.625));
  EXPECT_DOUBLE_EQ(0.625, c->getParamNormalized(3));
  auto state = ControllerState(c);
  EXPECT_DOUBLE_EQ(6.0, StateValue(state, 3));
  EXPECT_DOUBLE_EQ(1.0, StateValue(state, 5));
}

TEST(Vst3Controller, OutOfRangeAndNonFiniteHostValuesNeverBecomeParameterValues) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IEditController* c = p.Controller();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ASSERT_EQ(kResultOk, c->setParamNormalized(3, 0.75));
  c->setParamNormalized(3, nan);
  EXPECT_DOUBLE_EQ(0.75, c->getParamNormalized(3));
  c->setParamNormalized(3, -0.5);
  auto state = ControllerState(c);
  EXPECT_DOUBLE_EQ(-24.0, StateValue(state, 3)); // not -48
  c->setParamNormalized(4, inf);
  state = ControllerState(c);
  EXPECT_DOUBLE_EQ(24.0, StateValue(state, 4));
  c->setParamNormalized(0, -inf);
  state = ControllerState(c);
  EXPECT_DOUBLE_EQ(0.0, StateValue(state, 0));

  // The same through the processing queues, with audio that stays finite.
  ASSERT_TRUE(p.instance.Start(2, 48000, 256));
  Vst3ParameterChanges bad;
  bad.AddPoint(0, 0, nan);
  bad.AddPoint(1, 0, 7.5);
  bad.AddPoint(3, 0, -3.0);
  bad.AddPoint(4, 0, inf);
  bad.AddPoint(5, 0, -1.0);
  bad.AddPoint(kPresetId, 0, nan);
  bad.AddPoint(kBypassId, 0, nan);
  auto in = TestSignal(2, 256);
  std::vector<std::vector<float>> out(2, std::vector<float>(256));
  auto inP = Pointers(in);
  auto outP = Pointers(out);
  for (int i = 0; i < 20; ++i)
    ASSERT_EQ(kResultOk, p.instance.Process(inP.data(), outP.data(), 256, &bad));
  for (auto& plane : out)
    for (float v : plane)
      ASSERT_TRUE(std::isfinite(v));
  state = ControllerState(c);
  const double lo[6] = {0, 0, 0, -24, -24, 0}, hi[6] = {1, 1, 1, 24, 24, 1};
  for (int i = 0; i < 6; ++i) {
    EXPECT_TRUE(std::isfinite(StateValue(state, i))) << i;
    EXPECT_GE(StateValue(state, i), lo[i]) << i;
    EXPECT_LE(StateValue(state, i), hi[i]) << i;
  }
  EXPECT_DOUBLE_EQ(1.0, StateValue(state, 1));
  EXPECT_DOUBLE_EQ(-24.0, StateValue(state, 3));
  EXPECT_EQ(0.0, c->getParamNormalized(kBypassId));

  // Preset requests outside 0..1 are the nearest end: far above asks for the
  // slot after the last (refused), below zero for the first (recalled).
  Vst3ParameterChanges presets;
  presets.AddPoint(kPresetId, 0, 1e300);
  ASSERT_EQ(kResultOk, p.instance.Process(inP.data(), outP.data(), 256, &presets));
  EXPECT_DOUBLE_EQ(1.0, c->getParamNormalized(1));
  presets.Clear();
  presets.AddPoint(kPresetId, 0, -0.5);
  ASSERT_EQ(kResultOk, p.instance.Process(inP.data(), outP.data(), 256, &presets));
  EXPECT_DOUBLE_EQ(0.5, c->getParamNormalized(1));
}

TEST(Vst3Controller, UnitsAndProgramList) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  Held<IUnitInfo> units(Query<IUnitInfo>(p.Component()));
  ASSERT_TRUE(units);
  EXPECT_EQ(1, units->getUnitCount());
  UnitInfo unit{};
  ASSERT_EQ(kResultOk, units->getUnitInfo(0, unit));
  EXPECT_EQ(0, unit.id);
  EXPECT_EQ(-1, unit.parentUnitId);
  EXPECT_EQ("Root Unit", Narrow(unit.name));
  EXPECT_EQ(-1, unit.programListId);
  EXPECT_EQ(kResultFalse, units->getUnitInfo(1, unit));
  EXPECT_EQ(kResultFalse, units->getUnitInfo(-1, unit));

  EXPECT_EQ(0, units->getProgramListCount());
  ProgramListInfo list{};
  ASSERT_EQ(kResultOk, units->getProgramListInfo(0, list));
  EXPECT_EQ(static_cast<ProgramListID>(kPresetId), list.id);
  EXPECT_EQ("Factory Presets", Narrow(list.name));
  EXPECT_EQ(1, list.programCount);
  EXPECT_EQ(kResultFalse, units->getProgramListInfo(1, list));

  String128 name;
  ASSERT_EQ(kResultOk, units->getProgramName(kPresetId, 0, name));
  EXPECT_EQ("-", Narrow(name));
  for (auto& u : name)
    u = 'x';
  ASSERT_EQ(kResultOk, units->getProgramName(kPresetId, 5, name));
  EXPECT_EQ("", Narrow(name));
  ASSERT_EQ(kResultOk, units->getProgramName(kPresetId, -1, name));
  EXPECT_EQ("", Narrow(name));
  EXPECT_EQ(kResultFalse, units->getProgramName(1234, 0, name));

  EXPECT_EQ(0, units->getSelectedUnit());
  EXPECT_EQ(kNotImplemented, units->getProgramInfo(kPresetId, 0, "name", name));
  EXPECT_EQ(kNotImplemented, units->hasProgramPitchNames(kPresetId, 0));
  EXPECT_EQ(kNotImplemented, units->getProgramPitchName(kPresetId, 0, 60, name));
  EXPECT_EQ(kNotImplemented, units->selectUnit(0));
  UnitID byBus = 0;
  EXPECT_EQ(kNotImplemented, units->getUnitByBus(kAudio, kInput, 0, 0, byBus));
  EXPECT_EQ(kNotImplemented, units->setUnitProgramData(kPresetId, 0, nullptr));
}

TEST(Vst3Controller, SecondaryControllerCalls) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  Held<IEditController2> c2(Query<IEditController2>(p.Component()));
  ASSERT_TRUE(c2);
  EXPECT_EQ(kResultOk, c2->setKnobMode(kLinearMode));
  EXPECT_EQ(kResultFalse, c2->openHelp(false));
  EXPECT_EQ(kResultFalse, c2->openAboutBox(true));
  TestStream stream(std::vector<std::uint8_t>(52, 0));
  EXPECT_EQ(kNotImplemented, p.Controller()->setComponentState(&stream));
  EXPECT_EQ(0, stream.Reads());
  // An editor view for "editor" and for nothing else.
  IPlugView* view = p.Controller()->createView(ViewType::kEditor);
  ASSERT_NE(nullptr, view);
  ViewRect size;
  EXPECT_EQ(kResultTrue, view->getSize(&size));
  EXPECT_EQ(135, size.getWidth());
  EXPECT_EQ(662, size.getHeight());
  view->release();
  EXPECT_EQ(nullptr, p.Controller()->createView("Editor"));
  EXPECT_EQ(nullptr, p.Controller()->createView("editor2"));
  EXPECT_EQ(nullptr, p.Controller()->createView(nullptr));
  EXPECT_EQ(kResultTrue, p.Controller()->setComponentHandler(nullptr));
}

} // namespace
} // namespace vst3test
