// IPlugVST3 seen from inside the module: what a host cannot observe through
// the channel strip (transport queries, edit notifications, latency, units,
// instrument buses, MIDI), checked on a small test plug-in.
#include "Vst3TestPlug.h"

#include "Vst3HostApplication.h"
#include "Vst3ParameterChanges.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/common/memorystream.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

const std::vector<Vst3TestPlug::Param> kTwoParams = {
    {"Gain", false, 0.0, -10.0, 10.0, "", 1.0, true},
    {"Mode", true, 1.0, 0.0, 4.0, "", 1.0, true},
};

std::string Narrow(const TChar* text) {
  std::string s;
  for (int i = 0; i < 128 && text[i]; ++i)
    s.push_back(static_cast<char>(text[i]));
  return s;
}

Vst3TestPlug* MakePlug(const PluginIdentity& id,
                       const std::vector<Vst3TestPlug::Param>& params = kTwoParams) {
  return new Vst3TestPlug(id, params);
}

// A minimal event list for the MIDI path.
class EventList : public IEventList {
public:
  std::vector<Event> events;
  int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
  tresult PLUGIN_API getEvent(int32 index, Event& e) override {
    if (index < 0 || index >= getEventCount()) return kResultFalse;
    e = events[static_cast<size_t>(index)];
    return kResultOk;
  }
  tresult PLUGIN_API addEvent(Event& e) override {
    events.push_back(e);
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID, void** obj) override {
    *obj = nullptr;
    return kNoInterface;
  }
  uint32 PLUGIN_API addRef() override { return 1; }
  uint32 PLUGIN_API release() override { return 1; }
};

struct StereoBlock {
  explicit StereoBlock(int frames, int channels = 2)
      : in(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames), 0.0)),
        out(static_cast<size_t>(channels), std::vector<double>(static_cast<size_t>(frames), -1.0)) {
    for (auto& p : in)
      inP.push_back(p.data());
    for (auto& p : out)
      outP.push_back(p.data());
    inBus.numChannels = outBus.numChannels = channels;
    inBus.channelBuffers64 = inP.data();
    outBus.channelBuffers64 = outP.data();
    data.symbolicSampleSize = kSample64;
    data.numSamples = frames;
    data.numInputs = data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
  }
  std::vector<std::vector<double>> in, out;
  std::vector<double*> inP, outP;
  AudioBusBuffers inBus, outBus;
  ProcessData data;
};

void Start(Vst3TestPlug* plug, int maxBlock, int32 mode = kRealtime) {
  ProcessSetup setup{mode, kSample64, maxBlock, 48000.0};
  ASSERT_EQ(kResultOk, plug->setupProcessing(setup));
  plug->activateBus(kAudio, kInput, 0, true);
  plug->activateBus(kAudio, kOutput, 0, true);
  ASSERT_EQ(kResultOk, plug->setActive(true));
}

TEST(Vst3Binding, ClassIdentityChains) {
  PlugRef p(MakePlug(TestIdentity(2)));
  EXPECT_STREQ("IPlugVST3", p->isA());
  for (const char* name : {"IPlugVST3", "SingleComponentEffect", "EditControllerEx1",
                           "EditController", "ComponentBase", "FObject"})
    EXPECT_TRUE(p->isTypeOf(name)) << name;
  EXPECT_FALSE(p->isTypeOf("Parameter"));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  Parameter* param = p->getParameterObject(1);
  ASSERT_NE(nullptr, param);
  EXPECT_STREQ("IPlugParameter", param->isA());
  EXPECT_TRUE(param->isTypeOf("Parameter"));
  EXPECT_TRUE(param->isTypeOf("FObject"));
  EXPECT_STREQ("StringListParameter", p->getParameterObject(IPlugVST3::kBypassParamId)->isA());
  p->terminate();
}

TEST(Vst3Binding, TransportQueriesReadTheLastProcessContext) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  TimeInfo info;
  info.tempo = 99.0;
  p->HostTimeInfo(&info);
  EXPECT_EQ(0.0, info.tempo); // nothing arrived yet: all zero
  EXPECT_EQ(0, p->HostSamplePosition());
  EXPECT_FALSE(info.transportIsRunning);

  ProcessContext context{};
  context.state = ProcessContext::kPlaying | ProcessContext::kCycleActive;
  context.tempo = 128.0;
  context.projectTimeSamples = (int64(1) << 32) + 5;
  context.projectTimeMusic = 16.5;
  context.barPositionMusic = 16.0;
  context.cycleStartMusic = 8.0;
  context.cycleEndMusic = 24.0;
  context.timeSigNumerator = 7;
  context.timeSigDenominator = 8;
  ProcessData data;
  data.processContext = &context;
  ASSERT_EQ(kResultOk, p->process(data));
  context.tempo = 1.0; // the plug-in keeps its own copy

  EXPECT_EQ(5, p->HostSamplePosition());
  EXPECT_EQ(128.0, p->HostTempo());
  int num = 0, den = 0;
  p->HostTimeSignature(&num, &den);
  EXPECT_EQ(7, num);
  EXPECT_EQ(8, den);
  p->HostTimeInfo(&info);
  EXPECT_EQ(128.0, info.tempo);
  EXPECT_EQ(4294967301.0, info.samplePos);
  EXPECT_EQ(16.5, info.ppqPos);
  EXPECT_EQ(16.0, info.lastBar);
  EXPECT_EQ(8.0, info.cycleStart);
  EXPECT_EQ(24.0, info.cycleEnd);
  EXPECT_EQ(7, info.numerator);
  EXPECT_EQ(8, info.denominator);
  EXPECT_TRUE(info.transportIsRunning);
  EXPECT_TRUE(info.transportLoopEnabled);

  // A call without a context keeps the previous copy.
  ProcessData bare;
  ASSERT_EQ(kResultOk, p->process(bare));
  EXPECT_EQ(128.0, p->HostTempo());
  context.projectTimeSamples = -3;
  context.state = 0;
  ASSERT_EQ(kResultOk, p->process(data));
  EXPECT_EQ(-3, p->HostSamplePosition());
  p->HostTimeInfo(&info);
  EXPECT_FALSE(info.transportIsRunning);
  EXPECT_FALSE(info.transportLoopEnabled);
  p->terminate();
}

TEST(Vst3Binding, OfflineRenderFollowsTheProcessMode) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  EXPECT_FALSE(p->IsOfflineRender());
  Start(p.plug, 64, kOffline);
  EXPECT_TRUE(p->IsOfflineRender());
  Start(p.plug, 64, kPrefetch);
  EXPECT_FALSE(p->IsOfflineRender());
  p->terminate();
}

TEST(Vst3Binding, InitializeIdentifiesTheHostAndRecallsTheFirstPreset) {
  PlugRef p(MakePlug(TestIdentity(2)));
  EXPECT_EQ(-1, p->GetHost());
  Vst3HostApplication host("REAPER");
  ASSERT_EQ(kResultOk, p->initialize(&host));
  EXPECT_EQ(1, p->GetHost());
  EXPECT_EQ(1, p->identified);
  EXPECT_EQ((std::vector<int>{0, 1}), p->changed); // the preset recall announced both
  p->terminate();

  PlugRef q(MakePlug(TestIdentity(2)));
  Vst3BareContext bare;
  ASSERT_EQ(kResultOk, q->initialize(&bare));
  EXPECT_EQ(-1, q->GetHost()); // not identified
  EXPECT_EQ(1, q->identified);
  q->terminate();

  // A long name is cut to 127 characters before the lookup; a keyword
  // beyond that point is not seen.
  PlugRef r(MakePlug(TestIdentity(2)));
  Vst3HostApplication longName(std::string(127, 'x') + "cubase");
  ASSERT_EQ(kResultOk, r->initialize(&longName));
  EXPECT_EQ(0, r->GetHost());
  r->terminate();
}

TEST(Vst3Binding, SetupAndActivationReachThePlugin) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  ProcessSetup setup{kRealtime, kSample32, 333, 96000.0};
  ASSERT_EQ(kResultOk, p->setupProcessing(setup));
  EXPECT_EQ(96000.0, p->GetSampleRate());
  EXPECT_EQ(333, p->GetBlockSize());
  EXPECT_EQ(1, p->resets);
  ASSERT_EQ(kResultOk, p->setActive(true));
  ASSERT_EQ(kResultOk, p->setActive(false));
  EXPECT_EQ((std::vector<bool>{true, false}), p->activations);
  p->terminate();
}

TEST(Vst3Binding, EditGesturesGoToTheComponentHandler) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  // Without a handler nothing happens (and nothing breaks).
  p->BeginParamEdit(0);
  p->NotifyHostParamChange(0, 0.5);
  p->EndParamEdit(0);
  p->HostParamContextMenu(0, 10, 10);

  RecordingHandler handler(true);
  ASSERT_EQ(kResultTrue, p->setComponentHandler(&handler));
  p->changed.clear();
  p->BeginParamEdit(1);
  p->SetParameterFromEditor(1, 0.75);
  p->EndParamEdit(1);
  EXPECT_EQ((std::vector<std::string>{"begin 1", "perform 1 0.75", "end 1"}), handler.calls);
  EXPECT_EQ((std::vector<int>{1}), p->changed);
  EXPECT_EQ(3.0, p->GetParam(1)->Value());
  // No view open: the context menu is not even asked for.
  p->HostParamContextMenu(1, 5, 5);
  EXPECT_EQ(3u, handler.calls.size());
  // terminate lets go of the handler.
  EXPECT_GT(handler.refs.load(), 0);
  p->terminate();
  EXPECT_EQ(0, handler.refs.load());
}

TEST(Vst3Binding, LatencyIsAnnouncedAndDelaysTheBypassedSignal) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  RecordingHandler handler;
  p->setComponentHandler(&handler);
  p->SetLatencySamples(32);
  EXPECT_EQ(32u, p->getLatencySamples());
  EXPECT_EQ((std::vector<std::string>{"restart 8"}), handler.calls);

  Start(p.plug, 128);
  Vst3ParameterChanges bypass;
  bypass.AddPoint(IPlugVST3::kBypassParamId, 0, 1.0);
  StereoBlock block(128);
  block.in[0][3] = 1.0;
  block.in[1][10] = -0.5;
  block.data.inputParameterChanges = &bypass;
  ASSERT_EQ(kResultOk, p->process(block.data));
  EXPECT_TRUE(p->blockFrames.empty()); // the plug-in's processing did not run
  for (int n = 0; n < 128; ++n) {
    EXPECT_EQ(n == 35 ? 1.0 : 0.0, block.out[0][static_cast<size_t>(n)]) << n;
    EXPECT_EQ(n == 42 ? -0.5 : 0.0, block.out[1][static_cast<size_t>(n)]) << n;
  }
  p->terminate();
}

TEST(Vst3Binding, GroupsBecomeUnitsInOrderOfAppearance) {
  const std::vector<Vst3TestPlug::Param> params = {
      {"A", false, 0.5, 0.0, 1.0, "EQ", 1.0, true},   {"B", false, 0.5, 0.0, 1.0, "", 1.0, true},
      {"C", false, 0.5, 0.0, 1.0, "Dyn", 1.0, true},  {"D", false, 0.5, 0.0, 1.0, "EQ", 1.0, true},
      {"E", false, 0.5, 0.0, 1.0, "Dyn", 1.0, false},
  };
  PlugRef p(MakePlug(TestIdentity(5), params));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  ASSERT_EQ(3, p->getUnitCount());
  UnitInfo unit{};
  ASSERT_EQ(kResultOk, p->getUnitInfo(1, unit));
  EXPECT_EQ(1, unit.id);
  EXPECT_EQ(0, unit.parentUnitId);
  EXPECT_EQ("EQ", Narrow(unit.name));
  EXPECT_EQ(-1, unit.programListId);
  ASSERT_EQ(kResultOk, p->getUnitInfo(2, unit));
  EXPECT_EQ("Dyn", Narrow(unit.name));
  EXPECT_EQ(kResultFalse, p->getUnitInfo(3, unit));
  const UnitID expectedUnits[5] = {1, 0, 2, 1, 2};
  for (int i = 0; i < 5; ++i) {
    ParameterInfo info{};
    ASSERT_EQ(kResultOk, p->getParameterInfo(2 + i, info)); // after preset and bypass
    EXPECT_EQ(static_cast<ParamID>(i), info.id);
    EXPECT_EQ(expectedUnits[i], info.unitId) << i;
    EXPECT_EQ(i == 4 ? 0 : ParameterInfo::kCanAutomate, info.flags) << i;
  }
  // A new initialize after terminate does not grow the unit list.
  p->terminate();
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  EXPECT_EQ(3, p->getUnitCount());
  p->terminate();
}

TEST(Vst3Binding, SteppedAndShapedParametersConvertThroughTheModel) {
  const std::vector<Vst3TestPlug::Param> params = {
      {"Steps", true, 1.0, 0.0, 4.0, "", 1.0, true},
      {"Curve", false, 1.0, 0.0, 16.0, "", 2.0, true},
  };
  PlugRef p(MakePlug(TestIdentity(2, 0), params));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  // No preset slots: no preset parameter; the bypass comes first.
  ASSERT_EQ(3, p->getParameterCount());
  ParameterInfo info{};
  ASSERT_EQ(kResultOk, p->getParameterInfo(0, info));
  EXPECT_EQ(IPlugVST3::kBypassParamId, info.id);
  ASSERT_EQ(kResultOk, p->getParameterInfo(1, info));
  EXPECT_EQ(4, info.stepCount);
  EXPECT_DOUBLE_EQ(0.25, info.defaultNormalizedValue);
  ASSERT_EQ(kResultOk, p->getParameterInfo(2, info));
  EXPECT_EQ(0, info.stepCount);
  EXPECT_DOUBLE_EQ(0.25, info.defaultNormalizedValue);      // (1/16)^(1/2)
  EXPECT_DOUBLE_EQ(4.0, p->normalizedParamToPlain(1, 0.5)); // 0.5^2 * 16
  EXPECT_DOUBLE_EQ(0.5, p->plainParamToNormalized(1, 4.0));
  ParamValue v = 0;
  auto text = std::vector<TChar>{'9', 0};
  ASSERT_EQ(kResultOk, p->getParamValueByString(1, text.data(), v));
  EXPECT_DOUBLE_EQ(0.75, v);
  String128 shown;
  ASSERT_EQ(kResultOk, p->getParamStringByValue(0, 0.6, shown));
  EXPECT_EQ("2", Narrow(shown)); // 0.6 * 4 = 2.4, shown truncated
  EXPECT_EQ(kResultOk, p->setParamNormalized(0, 0.6));
  EXPECT_EQ(2.0, p->GetParam(0)->Value()); // rounded to the step
  p->terminate();
}

TEST(Vst3Binding, InstrumentOutputsAndMidiInput) {
  PlugRef p(MakePlug(TestIdentity(2, 1, "0-4", 0, true, true)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  EXPECT_EQ(0, p->getBusCount(kAudio, kInput));
  ASSERT_EQ(2, p->getBusCount(kAudio, kOutput));
  BusInfo bus{};
  ASSERT_EQ(kResultOk, p->getBusInfo(kAudio, kOutput, 0, bus));
  EXPECT_EQ("Output 1", Narrow(bus.name));
  EXPECT_EQ(2, bus.channelCount);
  ASSERT_EQ(kResultOk, p->getBusInfo(kAudio, kOutput, 1, bus));
  EXPECT_EQ("Output 2", Narrow(bus.name));
  ASSERT_EQ(1, p->getBusCount(kEvent, kInput));
  ASSERT_EQ(kResultOk, p->getBusInfo(kEvent, kInput, 0, bus));
  EXPECT_EQ("MIDI Input", Narrow(bus.name));
  EXPECT_EQ(1, bus.channelCount);
  // An instrument has no host bypass parameter: preset, then its own two.
  ASSERT_EQ(3, p->getParameterCount());
  ParameterInfo info{};
  p->getParameterInfo(1, info);
  EXPECT_EQ(0u, info.id);

  ProcessSetup setup{kRealtime, kSample64, 64, 48000.0};
  ASSERT_EQ(kResultOk, p->setupProcessing(setup));
  p->activateBus(kAudio, kOutput, 0, true); // the second output bus stays off
  EventList events;
  Event on{};
  on.type = Event::kNoteOnEvent;
  on.sampleOffset = 12;
  on.noteOn.channel = 3;
  on.noteOn.pitch = 60;
  on.noteOn.velocity = 0.5f;
  Event off{};
  off.type = Event::kNoteOffEvent;
  off.sampleOffset = 40;
  off.noteOff.channel = 3;
  off.noteOff.pitch = 60;
  off.noteOff.velocity = 1.0f;
  Event other{};
  other.type = Event::kDataEvent;
  events.events = {on, other, off};

  std::vector<std::vector<double>> out(4, std::vector<double>(64, -1.0));
  double* bus0[2] = {out[0].data(), out[1].data()};
  double* bus1[2] = {out[2].data(), out[3].data()};
  AudioBusBuffers outs[2];
  outs[0].numChannels = outs[1].numChannels = 2;
  outs[0].channelBuffers64 = bus0;
  outs[1].channelBuffers64 = bus1;
  ProcessData data;
  data.symbolicSampleSize = kSample64;
  data.numSamples = 64;
  data.numOutputs = 2;
  data.outputs = outs;
  data.inputEvents = &events;
  ASSERT_EQ(kResultOk, p->process(data));
  ASSERT_EQ(2u, p->midi.size());
  EXPECT_EQ(12, p->midi[0].offset);
  EXPECT_EQ(0x93, p->midi[0].status);
  EXPECT_EQ(60, p->midi[0].data1);
  EXPECT_EQ(63, p->midi[0].data2);
  EXPECT_EQ(40, p->midi[1].offset);
  EXPECT_EQ(0x83, p->midi[1].status);
  EXPECT_EQ(0, p->midi[1].data2);
  // The active bus got the plug-in's output (silence: no inputs), the
  // inactive one was not touched.
  EXPECT_EQ(0.0, out[0][5]);
  EXPECT_EQ(0.0, out[1][5]);
  EXPECT_EQ(-1.0, out[2][5]);
  EXPECT_EQ(-1.0, out[3][5]);
  p->terminate();
}

TEST(Vst3Binding, HostChangesReachTheEditorAndStateLoadsRefreshIt) {
  PlugRef p(MakePlug(TestIdentity(2)));
  auto* editor = new RecordingEditor;
  p->AttachEditor(editor);
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  Start(p.plug, 64);
  editor->updates.clear();
  Vst3ParameterChanges change;
  change.AddPoint(0, 0, 0.25);
  StereoBlock block(64);
  block.data.inputParameterChanges = &change;
  ASSERT_EQ(kResultOk, p->process(block.data));
  ASSERT_EQ(1u, editor->updates.size());
  EXPECT_EQ(0, editor->updates[0].param);
  EXPECT_EQ(0.25, editor->updates[0].value);
  EXPECT_TRUE(editor->updates[0].normalized);

  // setParamNormalized leaves the editor (and ParameterChanged) alone.
  editor->updates.clear();
  p->changed.clear();
  ASSERT_EQ(kResultOk, p->setParamNormalized(1, 1.0));
  EXPECT_TRUE(editor->updates.empty());
  EXPECT_TRUE(p->changed.empty());

  // A complete state load refreshes every control with real values; a
  // failed one does not.
  Steinberg::MemoryStream stream;
  ASSERT_EQ(kResultOk, p->getState(&stream));
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  editor->updates.clear();
  ASSERT_EQ(kResultOk, p->setState(&stream));
  ASSERT_EQ(2u, editor->updates.size());
  EXPECT_EQ(1, editor->updates[1].param);
  EXPECT_EQ(4.0, editor->updates[1].value);
  EXPECT_FALSE(editor->updates[1].normalized);
  EXPECT_EQ((std::vector<int>{0, 1}), p->changed);
  stream.seek(8, IBStream::kIBSeekSet, nullptr);
  stream.truncateToCursor();
  stream.seek(0, IBStream::kIBSeekSet, nullptr);
  editor->updates.clear();
  EXPECT_EQ(kResultFalse, p->setState(&stream));
  EXPECT_TRUE(editor->updates.empty());
  p->terminate();
}

TEST(Vst3Binding, BlocksAreSlicedByTheAnnouncedMaximum) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  Start(p.plug, 100);
  StereoBlock block(250);
  for (int n = 0; n < 250; ++n)
    block.in[1][static_cast<size_t>(n)] = n;
  ASSERT_EQ(kResultOk, p->process(block.data));
  EXPECT_EQ((std::vector<int>{100, 100, 50}), p->blockFrames);
  for (int n = 0; n < 250; ++n)
    ASSERT_EQ(2.0 * n, block.out[1][static_cast<size_t>(n)]);
  p->blockFrames.clear();
  block.data.numSamples = 0;
  ASSERT_EQ(kResultOk, p->process(block.data));
  EXPECT_EQ((std::vector<int>{0}), p->blockFrames);
  p->terminate();
}

TEST(Vst3Binding, MonoHostFeedsTheFirstPinAndSilencesNothingElse) {
  PlugRef p(MakePlug(TestIdentity(2)));
  ASSERT_EQ(kResultOk, p->initialize(nullptr));
  SpeakerArrangement mono = SpeakerArr::kMono;
  ASSERT_EQ(kResultTrue, p->setBusArrangements(&mono, 1, &mono, 1));
  EXPECT_FALSE(p->IsInputConnected(0)); // until a process call reconnects
  Start(p.plug, 32);
  StereoBlock block(32, 1);
  block.in[0][0] = 0.5;
  ASSERT_EQ(kResultOk, p->process(block.data));
  EXPECT_TRUE(p->IsInputConnected(0));
  EXPECT_FALSE(p->IsInputConnected(1));
  EXPECT_TRUE(p->IsOutputConnected(0));
  EXPECT_FALSE(p->IsOutputConnected(1));
  EXPECT_EQ(1.0, block.out[0][0]);
  p->terminate();
}

} // namespace
