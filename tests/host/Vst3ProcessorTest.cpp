// The audio component and processor of the VST3 module, driven as a host
// drives it.
#include "Vst3TestSupport.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <cmath>
#include <thread>

namespace vst3test {
namespace {

std::string BusName(IComponent* component, BusDirection dir, int index, BusInfo* out = nullptr) {
  BusInfo info{};
  if (component->getBusInfo(kAudio, dir, index, info) != kResultOk) return "<none>";
  if (out) *out = info;
  return Narrow(info.name);
}

// A stereo block whose outputs start as a marker value, so untouched
// buffers can be told apart from written ones.
struct Block {
  explicit Block(int frames, int channels = 2, float marker = 7.0f)
      : in(TestSignal(channels, frames)),
        out(static_cast<size_t>(channels), std::vector<float>(static_cast<size_t>(frames), marker)),
        inP(Pointers(in)), outP(Pointers(out)) {}
  std::vector<std::vector<float>> in;
  std::vector<std::vector<float>> out;
  std::vector<float*> inP;
  std::vector<float*> outP;
  bool OutputUntouched(float marker = 7.0f) const {
    for (const auto& plane : out)
      for (float v : plane)
        if (v != marker) return false;
    return true;
  }
};

ProcessData MakeData(AudioBusBuffers* in, AudioBusBuffers* out, int frames,
                     IParameterChanges* changes = nullptr, int32 sampleSize = kSample32) {
  ProcessData data;
  data.processMode = kRealtime;
  data.symbolicSampleSize = sampleSize;
  data.numSamples = frames;
  data.numInputs = in ? 1 : 0;
  data.numOutputs = out ? 1 : 0;
  data.inputs = in;
  data.outputs = out;
  data.inputParameterChanges = changes;
  return data;
}

TEST(Vst3Processor, InitializeReadsTheHostNameAndReleasesTheContextAtTerminate) {
  Vst3HostApplication host("Some DAW 1.0");
  void* object = nullptr;
  PClassInfo ci;
  ASSERT_EQ(kResultOk, Module().Factory()->getClassInfo(0, &ci));
  ASSERT_EQ(kResultOk, Module().Factory()->createInstance(ci.cid, IComponent::iid, &object));
  Held<IComponent> component(static_cast<IComponent*>(object));
  ASSERT_EQ(kResultOk, component->initialize(&host));
  EXPECT_EQ(1, host.NameRequests());
  EXPECT_EQ(1, host.References()); // the stored context, and nothing else
  EXPECT_EQ(1, component->getBusCount(kAudio, kInput));
  EXPECT_EQ(kResultOk, component->terminate());
  EXPECT_EQ(0, host.References());
  EXPECT_EQ(0, component->getBusCount(kAudio, kInput));
  Held<IEditController> controller(Query<IEditController>(component.get()));
  EXPECT_EQ(0, controller->getParameterCount());
  // A terminated object can be initialised again and declares everything anew.
  ASSERT_EQ(kResultOk, component->initialize(&host));
  EXPECT_EQ(8, controller->getParameterCount());
  EXPECT_EQ(1, component->getBusCount(kAudio, kOutput));
  component->terminate();
}

TEST(Vst3Processor, InitializeWorksWithoutHostApplication) {
  Vst3BareContext bare;
  void* object = nullptr;
  PClassInfo ci;
  ASSERT_EQ(kResultOk, Module().Factory()->getClassInfo(0, &ci));
  ASSERT_EQ(kResultOk, Module().Factory()->createInstance(ci.cid, IComponent::iid, &object));
  Held<IComponent> component(static_cast<IComponent*>(object));
  ASSERT_EQ(kResultOk, component->initialize(&bare));
  EXPECT_GE(bare.HostApplicationQueries(), 1);
  EXPECT_EQ(1, bare.References());
  Held<IEditController> controller(Query<IEditController>(component.get()));
  EXPECT_EQ(8, controller->getParameterCount());
  EXPECT_EQ(1, component->getBusCount(kAudio, kInput));
  component->terminate();
  EXPECT_EQ(0, bare.References());
}

TEST(Vst3Processor, SecondInitializeIsRefusedAndDeclaresNothingTwice) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  Vst3HostApplication other("Other");
  EXPECT_EQ(kResultFalse, p.Component()->initialize(&other));
  EXPECT_EQ(8, p.Controller()->getParameterCount());
  EXPECT_EQ(1, p.Component()->getBusCount(kAudio, kInput));
  EXPECT_EQ(1, p.Component()->getBusCount(kAudio, kOutput));
  EXPECT_EQ(0, other.References());
}

TEST(Vst3Processor, InitializeWithNullContextStillCountsAsInitialised) {
  void* object = nullptr;
  PClassInfo ci;
  ASSERT_EQ(kResultOk, Module().Factory()->getClassInfo(0, &ci));
  ASSERT_EQ(kResultOk, Module().Factory()->createInstance(ci.cid, IComponent::iid, &object));
  Held<IComponent> component(static_cast<IComponent*>(object));
  ASSERT_EQ(kResultOk, component->initialize(nullptr));
  Vst3HostApplication host;
  EXPECT_EQ(kResultFalse, component->initialize(&host));
  Held<IEditController> controller(Query<IEditController>(component.get()));
  EXPECT_EQ(8, controller->getParameterCount());
  EXPECT_EQ(1, component->getBusCount(kAudio, kInput));
  component->terminate();
  EXPECT_EQ(0, host.References());
}

TEST(Vst3Processor, DeclaresOneStereoBusEachWayAndNoEvents) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IComponent* c = p.Component();
  EXPECT_EQ(1, c->getBusCount(kAudio, kInput));
  EXPECT_EQ(1, c->getBusCount(kAudio, kOutput));
  EXPECT_EQ(0, c->getBusCount(kEvent, kInput));
  EXPECT_EQ(0, c->getBusCount(kEvent, kOutput));
  BusInfo info{};
  EXPECT_EQ("Main Input", BusName(c, kInput, 0, &info));
  EXPECT_EQ(2, info.channelCount);
  EXPECT_EQ(kMain, info.busType);
  EXPECT_EQ(static_cast<uint32>(BusInfo::kDefaultActive), info.flags);
  EXPECT_EQ(kAudio, info.mediaType);
  EXPECT_EQ(kInput, info.direction);
  EXPECT_EQ("Output", BusName(c, kOutput, 0, &info));
  EXPECT_EQ(2, info.channelCount);
  EXPECT_EQ(kOutput, info.direction);
  EXPECT_NE(kResultOk, c->getBusInfo(kAudio, kInput, 1, info));
  EXPECT_NE(kResultOk, c->getBusInfo(kAudio, kInput, -1, info));
  EXPECT_NE(kResultOk, c->getBusInfo(kEvent, kInput, 0, info));
  EXPECT_NE(kResultOk, c->getBusInfo(7, kInput, 0, info));
  SpeakerArrangement arr = 0;
  ASSERT_EQ(kResultTrue, p.Processor()->getBusArrangement(kInput, 0, arr));
  EXPECT_EQ(SpeakerArr::kStereo, arr);
  ASSERT_EQ(kResultTrue, p.Processor()->getBusArrangement(kOutput, 0, arr));
  EXPECT_EQ(SpeakerArr::kStereo, arr);
  EXPECT_NE(kResultTrue, p.Processor()->getBusArrangement(kOutput, 1, arr));
  EXPECT_NE(kResultTrue, p.Processor()->getBusArrangement(kInput, -3, arr));
  EXPECT_NE(kResultOk, c->activateBus(kAudio, kOutput, 5, true));
  EXPECT_NE(kResultOk, c->activateBus(kAudio, kOutput, -1, true));
}

TEST(Vst3Processor, BusArrangementsFollowTheDeclaredChannelConfigurations) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  SpeakerArrangement mono = SpeakerArr::kMono, stereo = SpeakerArr::kStereo;
  IAudioProcessor* ap = p.Processor();
  ASSERT_EQ(kResultTrue, ap->setBusArrangements(&mono, 1, &mono, 1));
  BusInfo info{};
  EXPECT_EQ("Input", BusName(p.Component(), kInput, 0, &info));
  EXPECT_EQ(1, info.channelCount);
  EXPECT_EQ("Output", BusName(p.Component(), kOutput, 0, &info));
  EXPECT_EQ(1, info.channelCount);
  SpeakerArrangement arr = 0;
  ap->getBusArrangement(kOutput, 0, arr);
  EXPECT_EQ(SpeakerArr::kMono, arr);

  ASSERT_EQ(kResultTrue, ap->setBusArrangements(&stereo, 1, &stereo, 1));
  EXPECT_EQ("Input", BusName(p.Component(), kInput, 0, &info));
  EXPECT_EQ(2, info.channelCount);
  EXPECT_EQ(1, p.Component()->getBusCount(kAudio, kInput));
  ap->getBusArrangement(kInput, 0, arr);
  EXPECT_EQ(SpeakerArr::kStereo, arr);

  EXPECT_EQ(kResultFalse, ap->setBusArrangements(&mono, 1, &stereo, 1));
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(&stereo, 1, &mono, 1));
  SpeakerArrangement surround = SpeakerArr::k51;
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(&surround, 1, &surround, 1));
  // Missing arrays are refused, not read.
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(nullptr, 0, &stereo, 1));
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(nullptr, 1, nullptr, 1));
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(&stereo, 1, nullptr, 0));
  // Two input buses: the first pair is applied, the call still reports false.
  SpeakerArrangement twoMono[2] = {SpeakerArr::kMono, SpeakerArr::kMono};
  EXPECT_EQ(kResultFalse, ap->setBusArrangements(twoMono, 2, &mono, 1));
  EXPECT_EQ(1, p.Component()->getBusCount(kAudio, kInput));
  ap->getBusArrangement(kInput, 0, arr);
  EXPECT_EQ(SpeakerArr::kMono, arr);
}

TEST(Vst3Processor, SampleSizesAndProcessSetup) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IAudioProcessor* ap = p.Processor();
  EXPECT_EQ(kResultTrue, ap->canProcessSampleSize(kSample32));
  EXPECT_EQ(kResultTrue, ap->canProcessSampleSize(kSample64));
  EXPECT_EQ(kResultFalse, ap->canProcessSampleSize(2));
  EXPECT_EQ(kResultFalse, ap->canProcessSampleSize(-1));

  ProcessSetup setup{kRealtime, kSample32, 256, 48000.0};
  EXPECT_EQ(kResultOk, ap->setupProcessing(setup));
  setup.symbolicSampleSize = kSample64;
  EXPECT_EQ(kResultOk, ap->setupProcessing(setup));
  // Rates that are no positive number and blocks of no frames are refused.
  for (double rate : {0.0, -44100.0, std::nan(""), HUGE_VAL}) {
    ProcessSetup bad{kRealtime, kSample64, 256, rate};
    EXPECT_EQ(kResultFalse, ap->setupProcessing(bad)) << rate;
  }
  ProcessSetup noFrames{kRealtime, kSample64, 0, 48000.0};
  EXPECT_EQ(kResultFalse, ap->setupProcessing(noFrames));
  // An invalid size is refused and the 64-bit set-up stays in force: double
  // buffers are still processed.
  setup.symbolicSampleSize = 7;
  EXPECT_EQ(kResultFalse, ap->setupProcessing(setup));
  p.Component()->activateBus(kAudio, kInput, 0, true);
  p.Component()->activateBus(kAudio, kOutput, 0, true);
  auto in = ToDouble(TestSignal(2, 64));
  std::vector<std::vector<double>> out(2, std::vector<double>(64, 7.0));
  auto inP = Pointers(in);
  auto outP = Pointers(out);
  AudioBusBuffers inBus, outBus;
  inBus.numChannels = outBus.numChannels = 2;
  inBus.channelBuffers64 = inP.data();
  outBus.channelBuffers64 = outP.data();
  ProcessData data = MakeData(&inBus, &outBus, 64, nullptr, kSample64);
  ASSERT_EQ(kResultOk, ap->process(data));
  EXPECT_NE(7.0, out[0][10]);
  EXPECT_TRUE(std::isfinite(out[1][63]));
  // Buffers whose declared size differs from the set-up are left alone (32-bit
  // buffers written as doubles would overflow).
  std::vector<std::vector<float>> in32(2, std::vector<float>(64, 0.5f)), out32 = in32;
  for (auto& plane : out32)
    std::fill(plane.begin(), plane.end(), 7.0f);
  auto in32P = Pointers(in32);
  auto out32P = Pointers(out32);
  inBus.channelBuffers32 = in32P.data();
  outBus.channelBuffers32 = out32P.data();
  data = MakeData(&inBus, &outBus, 64, nullptr, kSample32);
  ASSERT_EQ(kResultOk, ap->process(data));
  for (auto& plane : out32)
    for (float v : plane)
      ASSERT_EQ(7.0f, v);
}

TEST(Vst3Processor, OnlyTheLastPointOfAQueueCountsForTheWholeBlock) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  ASSERT_TRUE(a.instance.Start(2, 48000, 512));
  ASSERT_TRUE(b.instance.Start(2, 48000, 512));
  Vst3ParameterChanges several, last;
  several.AddPoint(3, 0, 0.25);
  several.AddPoint(3, 100, 0.1);
  several.AddPoint(3, 255, 0.75);
  several.AddPoint(4, 0, 0.6);
  last.AddPoint(3, 0, 0.75);
  last.AddPoint(4, 0, 0.6);
  Block ba(512), bb(512);
  ASSERT_EQ(kResultOk, a.instance.Process(ba.inP.data(), ba.outP.data(), 512, &several));
  ASSERT_EQ(kResultOk, b.instance.Process(bb.inP.data(), bb.outP.data(), 512, &last));
  EXPECT_DOUBLE_EQ(0.75, a.Controller()->getParamNormalized(3));
  EXPECT_DOUBLE_EQ(0.6, a.Controller()->getParamNormalized(4));
  // The value took effect from the first sample, whatever its offset said.
  EXPECT_EQ(bb.out, ba.out);
  auto state = ControllerState(a.Controller());
  EXPECT_DOUBLE_EQ(12.0, StateValue(state, 3));
}

TEST(Vst3Processor, HostBypassAboveOneHalfPassesTheInputThrough) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 256));
  Vst3ParameterChanges half;
  half.AddPoint(kBypassId, 0, 0.5);
  Block b1(256);
  ASSERT_EQ(kResultOk, p.instance.Process(b1.inP.data(), b1.outP.data(), 256, &half));
  EXPECT_EQ(0.0, p.Controller()->getParamNormalized(kBypassId));
  EXPECT_NE(b1.in, b1.out);

  Vst3ParameterChanges on;
  on.AddPoint(kBypassId, 0, 0.51);
  Block b2(256);
  ASSERT_EQ(kResultOk, p.instance.Process(b2.inP.data(), b2.outP.data(), 256, &on));
  EXPECT_EQ(1.0, p.Controller()->getParamNormalized(kBypassId));
  EXPECT_EQ(b2.in, b2.out);
  // It stays on without further changes.
  Block b3(256);
  ASSERT_EQ(kResultOk, p.instance.Process(b3.inP.data(), b3.outP.data(), 256));
  EXPECT_EQ(b3.in, b3.out);

  Vst3ParameterChanges off;
  off.AddPoint(kBypassId, 0, 0.0);
  Block b4(256);
  ASSERT_EQ(kResultOk, p.instance.Process(b4.inP.data(), b4.outP.data(), 256, &off));
  EXPECT_NE(b4.in, b4.out);
}

TEST(Vst3Processor, HostBypassAlsoPassesThroughIn64Bit) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 44100, 128, kSample64));
  Vst3ParameterChanges on;
  on.AddPoint(kBypassId, 0, 1.0);
  auto in = ToDouble(TestSignal(2, 128));
  in[0][5] = 1e-300; // not float-representable: proves no float round trip
  std::vector<std::vector<double>> out(2, std::vector<double>(128, 3.0));
  auto inP = Pointers(in);
  auto outP = Pointers(out);
  ASSERT_EQ(kResultOk, p.instance.Process(inP.data(), outP.data(), 128, &on));
  EXPECT_EQ(in, out);
}

TEST(Vst3Processor, SetupProcessingClearsTheHostBypass) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  Vst3ParameterChanges on;
  on.AddPoint(kBypassId, 0, 0.9);
  Block b(64);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64, &on));
  ASSERT_EQ(1.0, p.Controller()->getParamNormalized(kBypassId));
  p.instance.Stop();
  ProcessSetup setup{kRealtime, kSample32, 64, 48000.0};
  ASSERT_EQ(kResultOk, p.Processor()->setupProcessing(setup));
  EXPECT_EQ(0.0, p.Controller()->getParamNormalized(kBypassId));
}

TEST(Vst3Processor, PresetParameterRecallsTheOnlySlotAndRefusesTheNext) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  Vst3ParameterChanges change;
  change.AddPoint(0, 0, 0.9);
  change.AddPoint(3, 0, 0.25);
  Block b(64);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64, &change));
  ASSERT_DOUBLE_EQ(0.9, p.Controller()->getParamNormalized(0));

  Vst3ParameterChanges missing;
  missing.AddPoint(kPresetId, 0, 1.0);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64, &missing));
  EXPECT_DOUBLE_EQ(0.9, p.Controller()->getParamNormalized(0));
  EXPECT_DOUBLE_EQ(0.25, p.Controller()->getParamNormalized(3));

  Vst3ParameterChanges recall;
  recall.AddPoint(kPresetId, 0, 0.99);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64, &recall));
  EXPECT_DOUBLE_EQ(0.5, p.Controller()->getParamNormalized(0));
  EXPECT_DOUBLE_EQ(0.5, p.Controller()->getParamNormalized(3));
}

TEST(Vst3Processor, ParameterFlushesWithoutAudio) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  // No buses at all, null arrays, zero frames: changes still apply.
  Vst3ParameterChanges change;
  change.AddPoint(1, 0, 0.2);
  ProcessData data = MakeData(nullptr, nullptr, 0, &change);
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_DOUBLE_EQ(0.2, p.Controller()->getParamNormalized(1));

  // Buses present but zero frames: nothing is written.
  Block b(64);
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 2;
  in.channelBuffers32 = b.inP.data();
  out.channelBuffers32 = b.outP.data();
  change.Clear();
  change.AddPoint(2, 0, 0.3);
  data = MakeData(&in, &out, 0, &change);
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_DOUBLE_EQ(0.3, p.Controller()->getParamNormalized(2));
  EXPECT_TRUE(b.OutputUntouched());

  // Counts of zero with non-null arrays, and a negative frame count.
  data = MakeData(&in, &out, 64);
  data.numInputs = data.numOutputs = 0;
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_TRUE(b.OutputUntouched());
  data = MakeData(&in, &out, -5);
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_TRUE(b.OutputUntouched());
}

TEST(Vst3Processor, NullChannelArraysAreNeverDereferenced) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  Block b(64);
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 2;
  in.channelBuffers32 = nullptr;
  out.channelBuffers32 = b.outP.data();
  ProcessData data = MakeData(&in, &out, 64);
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
  for (auto& plane : b.out)
    for (float v : plane)
      ASSERT_TRUE(std::isfinite(v));
  in.channelBuffers32 = b.inP.data();
  out.channelBuffers32 = nullptr;
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
  // A null channel inside an array is no better than a null array.
  float* holes[2] = {b.outP[0], nullptr};
  out.channelBuffers32 = holes;
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
  // The 64-bit path has the same guards.
  p.instance.Stop();
  ASSERT_TRUE(p.instance.Start(2, 48000, 64, kSample64));
  in.channelBuffers64 = nullptr;
  out.channelBuffers64 = nullptr;
  data = MakeData(&in, &out, 64, nullptr, kSample64);
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
}

TEST(Vst3Processor, FewerHostChannelsThanTheBusDeclaresAreServedAlone) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  // Exactly one channel of memory each way: any touch of a second channel
  // is out of bounds (the sanitizer build reports it).
  std::vector<float> inL = TestSignal(1, 64)[0];
  std::vector<float> outL(64, 7.0f);
  float* inArr[1] = {inL.data()};
  float* outArr[1] = {outL.data()};
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 1;
  in.channelBuffers32 = inArr;
  out.channelBuffers32 = outArr;
  ProcessData data = MakeData(&in, &out, 64);
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_NE(7.0f, outL[20]);
  // Negative and absurd channel counts are treated as none or as the pins.
  in.numChannels = -3;
  out.numChannels = 1;
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
}

TEST(Vst3Processor, MoreChannelsThanPinsAreNeitherReadNorWritten) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  Block b(64, 4);
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 4;
  in.channelBuffers32 = b.inP.data();
  out.channelBuffers32 = b.outP.data();
  ProcessData data = MakeData(&in, &out, 64);
  ASSERT_EQ(kResultOk, p.Processor()->process(data));
  EXPECT_NE(7.0f, b.out[1][3]);
  for (int c = 2; c < 4; ++c)
    for (float v : b.out[static_cast<size_t>(c)])
      ASSERT_EQ(7.0f, v);
}

TEST(Vst3Processor, InactiveOutputBusLeavesHostBuffersUntouched) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  ASSERT_TRUE(p.instance.Start(2, 48000, 64));
  p.Component()->activateBus(kAudio, kOutput, 0, false);
  Block b(64);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64));
  EXPECT_TRUE(b.OutputUntouched());
  p.Component()->activateBus(kAudio, kOutput, 0, true);
  ASSERT_EQ(kResultOk, p.instance.Process(b.inP.data(), b.outP.data(), 64));
  EXPECT_FALSE(b.OutputUntouched());
}

TEST(Vst3Processor, BlocksLongerThanAnnouncedLoseNothingAndWriteNothingBeyond) {
  Plugin big, small;
  ASSERT_TRUE(big.Create());
  ASSERT_TRUE(small.Create());
  ASSERT_TRUE(big.instance.Start(2, 48000, 64, kSample64));
  ASSERT_TRUE(small.instance.Start(2, 48000, 64, kSample64));
  auto in = ToDouble(TestSignal(2, 1000));
  auto outBig = Render64(big.instance, in, {1000});
  auto outSmall = Render64(small.instance, in, {64});
  EXPECT_EQ(outSmall, outBig);

  // The same for the float path, whose scratch buffers hold 64 frames.
  Plugin big32, small32;
  ASSERT_TRUE(big32.Create());
  ASSERT_TRUE(small32.Create());
  ASSERT_TRUE(big32.instance.Start(2, 48000, 64));
  ASSERT_TRUE(small32.instance.Start(2, 48000, 64));
  auto in32 = TestSignal(2, 1000);
  EXPECT_EQ(Render32(small32.instance, in32, {64}), Render32(big32.instance, in32, {1000}));
}

TEST(Vst3Processor, VariableBlockSizesGiveTheSameAudioAsOneBlock) {
  Plugin whole, pieces;
  ASSERT_TRUE(whole.Create());
  ASSERT_TRUE(pieces.Create());
  ASSERT_TRUE(whole.instance.Start(2, 48000, 512, kSample64));
  ASSERT_TRUE(pieces.instance.Start(2, 48000, 512, kSample64));
  auto in = ToDouble(TestSignal(2, 4096, 3));
  auto a = Render64(whole.instance, in, {512});
  auto b = Render64(pieces.instance, in, {1, 7, 512, 3, 256, 0, 100, 511, 2});
  EXPECT_EQ(a, b);
}

TEST(Vst3Processor, ThirtyTwoBitOutputIsTheRoundedSixtyFourBitOutput) {
  Plugin p32, p64;
  ASSERT_TRUE(p32.Create());
  ASSERT_TRUE(p64.Create());
  ASSERT_TRUE(p32.instance.Start(2, 44100, 256, kSample32));
  ASSERT_TRUE(p64.instance.Start(2, 44100, 256, kSample64));
  auto in = TestSignal(2, 2048, 1);
  auto out32 = Render32(p32.instance, in, {256});
  auto out64 = Render64(p64.instance, ToDouble(in), {256});
  for (size_t c = 0; c < 2; ++c)
    for (size_t n = 0; n < 2048; ++n)
      ASSERT_EQ(static_cast<float>(out64[c][n]), out32[c][n]) << c << "," << n;
}

TEST(Vst3Processor, InPlaceBuffersAreProcessedLikeSeparateOnes) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  ASSERT_TRUE(a.instance.Start(2, 48000, 256, kSample64));
  ASSERT_TRUE(b.instance.Start(2, 48000, 256, kSample64));
  auto in = ToDouble(TestSignal(2, 256));
  auto expected = Render64(a.instance, in, {256});
  auto inPlace = in;
  auto ptr = Pointers(inPlace);
  ASSERT_EQ(kResultOk, b.instance.Process(ptr.data(), ptr.data(), 256));
  EXPECT_EQ(expected, inPlace);
}

TEST(Vst3Processor, SilenceFlagsFromTheHostChangeNothing) {
  Plugin a, b;
  ASSERT_TRUE(a.Create());
  ASSERT_TRUE(b.Create());
  ASSERT_TRUE(a.instance.Start(2, 48000, 128));
  ASSERT_TRUE(b.instance.Start(2, 48000, 128));
  std::vector<std::vector<float>> silence(2, std::vector<float>(128, 0.0f));
  auto inP = Pointers(silence);
  std::vector<std::vector<float>> outA(2, std::vector<float>(128, 7.0f)), outB = outA;
  auto outPA = Pointers(outA);
  auto outPB = Pointers(outB);
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 2;
  in.silenceFlags = 3;
  out.silenceFlags = 0x5A;
  in.channelBuffers32 = inP.data();
  out.channelBuffers32 = outPA.data();
  ProcessData data = MakeData(&in, &out, 128);
  ASSERT_EQ(kResultOk, a.Processor()->process(data));
  EXPECT_EQ(0x5Au, out.silenceFlags); // the plug-in never writes them
  ASSERT_EQ(kResultOk, b.instance.Process(inP.data(), outPB.data(), 128));
  EXPECT_EQ(outB, outA);
  EXPECT_NE(7.0f, outA[0][0]);
}

TEST(Vst3Processor, ProcessingOnAnotherThreadMatchesTheCreatingThread) {
  Plugin here, there;
  ASSERT_TRUE(here.Create());
  ASSERT_TRUE(there.Create());
  ASSERT_TRUE(here.instance.Start(2, 48000, 256, kSample64));
  ASSERT_TRUE(there.instance.Start(2, 48000, 256, kSample64));
  auto in = ToDouble(TestSignal(2, 2048));
  auto expected = Render64(here.instance, in, {256});
  std::vector<std::vector<double>> got;
  std::thread audio([&] { got = Render64(there.instance, in, {256}); });
  // The controller side stays usable meanwhile.
  for (int i = 0; i < 100; ++i)
    there.Controller()->getParamNormalized(3);
  audio.join();
  EXPECT_EQ(expected, got);
}

TEST(Vst3Processor, EveryLegalCallOrderRepeated) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  IComponent* c = p.Component();
  IAudioProcessor* ap = p.Processor();
  Block b(128);
  for (int round = 0; round < 3; ++round) {
    SpeakerArrangement arr = round == 1 ? SpeakerArr::kMono : SpeakerArr::kStereo;
    int channels = round == 1 ? 1 : 2;
    ASSERT_EQ(kResultTrue, ap->setBusArrangements(&arr, 1, &arr, 1));
    ProcessSetup setup{round == 2 ? kOffline : kRealtime, round == 2 ? kSample64 : kSample32, 128,
                       round == 0 ? 44100.0 : 96000.0};
    ASSERT_EQ(kResultOk, ap->setupProcessing(setup));
    c->activateBus(kAudio, kInput, 0, true);
    c->activateBus(kAudio, kOutput, 0, true);
    ASSERT_EQ(kResultOk, c->setActive(true));
    for (int cycle = 0; cycle < 2; ++cycle) {
      ap->setProcessing(true);
      AudioBusBuffers in, out;
      in.numChannels = out.numChannels = channels;
      std::vector<std::vector<double>> in64 = ToDouble(b.in), out64(2, std::vector<double>(128));
      auto in64P = Pointers(in64);
      auto out64P = Pointers(out64);
      if (setup.symbolicSampleSize == kSample64) {
        in.channelBuffers64 = in64P.data();
        out.channelBuffers64 = out64P.data();
      } else {
        in.channelBuffers32 = b.inP.data();
        out.channelBuffers32 = b.outP.data();
      }
      ProcessData data = MakeData(&in, &out, 128, nullptr, setup.symbolicSampleSize);
      for (int block = 0; block < 4; ++block)
        ASSERT_EQ(kResultOk, ap->process(data));
      for (int ch = 0; ch < channels; ++ch) {
        double probe = setup.symbolicSampleSize == kSample64 ? out64[static_cast<size_t>(ch)][100]
                                                             : b.out[static_cast<size_t>(ch)][100];
        ASSERT_TRUE(std::isfinite(probe));
      }
      ap->setProcessing(false);
    }
    ASSERT_EQ(kResultOk, c->setActive(false));
    if (round == 1) {
      // terminate and initialise again in the middle of the sequence
      ASSERT_EQ(kResultOk, c->terminate());
      ASSERT_EQ(kResultOk, c->initialize(&p.host));
      EXPECT_EQ(8, p.Controller()->getParameterCount());
    }
  }
}

TEST(Vst3Processor, ProcessBeforeAnySetupIsHarmless) {
  Plugin p;
  ASSERT_TRUE(p.Create());
  // The host skipped setupProcessing: the default set-up (1024 frames,
  // 32-bit) must not let a larger block write anywhere it should not.
  p.Component()->activateBus(kAudio, kInput, 0, true);
  p.Component()->activateBus(kAudio, kOutput, 0, true);
  Block b(2000);
  AudioBusBuffers in, out;
  in.numChannels = out.numChannels = 2;
  in.channelBuffers32 = b.inP.data();
  out.channelBuffers32 = b.outP.data();
  ProcessData data = MakeData(&in, &out, 2000);
  EXPECT_EQ(kResultOk, p.Processor()->process(data));
  for (auto& plane : b.out)
    for (float v : plane)
      ASSERT_TRUE(std::isfinite(v));
}

} // namespace
} // namespace vst3test
