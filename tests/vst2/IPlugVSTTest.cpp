// The VST2 binding from the inside: a small plug-in class on IPlugVST, a
// recording host and a stand-in editor, for the paths the channel strip's
// module never takes (time queries, MIDI and SysEx out, editor opcodes,
// other channel layouts) and for hosts that answer nonsense.
#include "IPlugVST.h"
#include "HostIdentification.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

PluginIdentity Identity(const char* io, int presets = 1, bool midi = false,
                        bool instrument = false) {
  return PluginIdentity{"Test",
                        "TestProduct",
                        "Maker",
                        0x00020103,
                        FourCharCode("Tst1"),
                        FourCharCode("Mkr1"),
                        io,
                        3,
                        presets,
                        0,
                        midi,
                        false,
                        instrument};
}

class TestPlug : public IPlugVST {
public:
  TestPlug(audioMasterCallback host, const PluginIdentity& identity)
      : IPlugVST(IPlugInstanceInfo{host}, identity) {
    for (int i = 0; i < NumParams(); ++i)
      GetParam(i)->DefineDouble("Parameter", 0.5, -1.0, 1.0, 0.01, "dB");
  }
  void HandleSysEx(const SysExMessage& message) override { sysex.push_back(message); }

  std::vector<SysExMessage> sysex;
};

// An editor that records what the binding asks of it.
class FakeEditor : public IPlugEditor {
public:
  struct Push {
    int index;
    double value;
    bool normalized;
  };
  void SetParamFromHost(int index, double value, bool normalized) override {
    pushes.push_back({index, value, normalized});
  }
  void PrepareSurfaces() override {}
  int Width() const override { return 135; }
  int Height() const override { return 662; }
  int NumControls() const override { return 0; }
  void SetControlValueFromHost(int, double) override {}
  void* OpenEditorWindow(void* parent) override {
    parentSeen = parent;
    return canOpen ? this : nullptr;
  }
  void CloseEditorWindow() override { ++closes; }
  bool IsEditorOpen() const override { return false; }
  void Idle() override { ++idles; }

  std::vector<Push> pushes;
  void* parentSeen = nullptr;
  bool canOpen = true;
  int closes = 0;
  int idles = 0;
};

// A plug-in bound to a recording host.
struct Bound {
  Vst2RecordingHost host;
  std::unique_ptr<TestPlug> plug;
  explicit Bound(const PluginIdentity& identity)
      : plug(std::make_unique<TestPlug>(&Vst2RecordingHost::Callback, identity)) {
    host.Bind(plug->Effect());
  }
  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) {
    return IPlugVST::VSTDispatcher(plug->Effect(), opcode, index, value, ptr, opt);
  }
};

// A host whose every answer is one fixed number.
VstIntPtr gFixedAnswer = 0;
VstIntPtr FixedAnswerHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) {
  return gFixedAnswer;
}

VstTimeInfo FullTime() {
  VstTimeInfo t{};
  t.samplePos = 1234.5;
  t.sampleRate = 48000.0;
  t.ppqPos = 8.25;
  t.tempo = 128.0;
  t.barStartPos = 8.0;
  t.cycleStartPos = 4.0;
  t.cycleEndPos = 12.0;
  t.timeSigNumerator = 7;
  t.timeSigDenominator = 8;
  t.flags = kVstTransportPlaying | kVstTransportCycleActive | kVstPpqPosValid | kVstTempoValid |
            kVstBarsValid | kVstCyclePosValid | kVstTimeSigValid;
  return t;
}

TimeInfo Sentinel() {
  TimeInfo info;
  info.tempo = info.samplePos = info.ppqPos = info.lastBar = -99.0;
  info.cycleStart = info.cycleEnd = -99.0;
  info.numerator = info.denominator = -99;
  info.transportIsRunning = info.transportLoopEnabled = true;
  return info;
}

} // namespace

TEST(IPlugVST, TimeQueriesReadTheHostsRecord) {
  Bound b(Identity("2-2"));
  VstTimeInfo t = FullTime();
  b.host.SetTimeInfo(&t);
  EXPECT_EQ(b.plug->HostSamplePosition(), 1235); // rounded half up
  EXPECT_EQ(b.plug->HostTempo(), 128.0);
  int num = 0, den = 0;
  b.plug->HostTimeSignature(&num, &den);
  EXPECT_EQ(num, 7);
  EXPECT_EQ(den, 8);
  TimeInfo info = Sentinel();
  b.plug->HostTimeInfo(&info);
  EXPECT_EQ(info.samplePos, 1234.5);
  EXPECT_EQ(info.ppqPos, 8.25);
  EXPECT_EQ(info.tempo, 128.0);
  EXPECT_EQ(info.lastBar, 8.0);
  EXPECT_EQ(info.cycleStart, 4.0);
  EXPECT_EQ(info.cycleEnd, 12.0);
  EXPECT_EQ(info.numerator, 7);
  EXPECT_EQ(info.denominator, 8);
  EXPECT_TRUE(info.transportIsRunning);
  EXPECT_TRUE(info.transportLoopEnabled);
  // Each query asks with its own validity flags.
  std::vector<VstIntPtr> asked;
  for (const Vst2HostCall& call : b.host.Calls())
    if (call.opcode == audioMasterGetTime) asked.push_back(call.value);
  EXPECT_EQ(asked, (std::vector<VstIntPtr>{0, kVstTempoValid, kVstTimeSigValid, 0x3E00}));
}

TEST(IPlugVST, TimeQueriesSkipWhatIsNotValid) {
  Bound b(Identity("2-2"));
  VstTimeInfo t = FullTime();
  t.flags = kVstPpqPosValid; // only the position
  t.tempo = 99.0;
  b.host.SetTimeInfo(&t);
  EXPECT_EQ(b.plug->HostTempo(), 0.0);
  int num = -1, den = -1;
  b.plug->HostTimeSignature(&num, &den);
  EXPECT_EQ(num, 0);
  EXPECT_EQ(den, 0);
  TimeInfo info = Sentinel();
  b.plug->HostTimeInfo(&info);
  EXPECT_EQ(info.ppqPos, 8.25);
  EXPECT_EQ(info.samplePos, 1234.5);
  EXPECT_EQ(info.tempo, -99.0);
  EXPECT_EQ(info.numerator, -99);
  EXPECT_FALSE(info.transportIsRunning);

  // Values that fail their tests: negative, NaN, infinite, a zero signature.
  t = FullTime();
  t.samplePos = -10.0;
  t.ppqPos = -1.0;
  t.tempo = std::nan("");
  t.barStartPos = INFINITY;
  t.cycleStartPos = -4.0;
  t.timeSigNumerator = 0;
  b.host.SetTimeInfo(&t);
  EXPECT_EQ(b.plug->HostSamplePosition(), 0);
  EXPECT_EQ(b.plug->HostTempo(), 0.0);
  info = Sentinel();
  b.plug->HostTimeInfo(&info);
  EXPECT_EQ(info.samplePos, -10.0); // copied as the host gave it
  EXPECT_EQ(info.ppqPos, -99.0);
  EXPECT_EQ(info.tempo, -99.0);
  EXPECT_EQ(info.lastBar, -99.0);
  EXPECT_EQ(info.cycleStart, -99.0);
  EXPECT_EQ(info.numerator, -99);

  // Nothing valid at all, or no record: the TimeInfo is left alone.
  t.flags = kVstTransportPlaying;
  b.host.SetTimeInfo(&t);
  info = Sentinel();
  b.plug->HostTimeInfo(&info);
  EXPECT_EQ(info.samplePos, -99.0);
  EXPECT_TRUE(info.transportIsRunning);
  b.host.SetTimeInfo(nullptr);
  b.plug->HostTimeInfo(&info);
  EXPECT_EQ(info.samplePos, -99.0);
  EXPECT_EQ(b.plug->HostSamplePosition(), 0);

  t = FullTime();
  t.samplePos = 1e300;
  b.host.SetTimeInfo(&t);
  EXPECT_EQ(b.plug->HostSamplePosition(), INT_MAX);
  b.plug->HostTimeInfo(nullptr);
  b.plug->HostTimeSignature(nullptr, nullptr);
}

TEST(IPlugVST, NonsenseAnswersAreNeverDereferenced) {
  TestPlug plug(&FixedAnswerHost, Identity("2-2"));
  // Numbers that cannot be the address of a time record.
  for (VstIntPtr answer : {VstIntPtr{1}, VstIntPtr{-1}, VstIntPtr{4096}, VstIntPtr{0x10001},
                           VstIntPtr{INT64_MIN}, VstIntPtr{1} << 50}) {
    gFixedAnswer = answer;
    EXPECT_EQ(plug.HostSamplePosition(), 0);
    EXPECT_EQ(plug.HostTempo(), 0.0);
    TimeInfo info = Sentinel();
    plug.HostTimeInfo(&info);
    EXPECT_EQ(info.tempo, -99.0);
  }
  gFixedAnswer = 0;
}

TEST(IPlugVST, NullHostCallbackAnswersZero) {
  TestPlug plug(nullptr, Identity("1-1 2-2", 1, true));
  EXPECT_EQ(plug.HostSamplePosition(), 0);
  EXPECT_EQ(plug.HostTempo(), 0.0);
  EXPECT_FALSE(plug.IsOfflineRender());
  EXPECT_FALSE(plug.SendMidiToHost(MidiMessage{}));
  plug.BeginParamEdit(0);
  plug.SetParameterFromEditor(0, 0.25);
  plug.EndParamEdit(0);
  plug.NotifyHostProgramChange();
  EXPECT_EQ(plug.IdentifyHost(), kHostUnknown);
  EXPECT_EQ(plug.GetHostVersion(), 0);
  double in[4] = {1, 2, 3, 4}, out[4] = {};
  double* ins[2] = {in, in};
  double* outs[2] = {out, out};
  IPlugVST::VSTProcessDouble(plug.Effect(), ins, outs, 4); // asks for MIDI: no host, no call
  EXPECT_EQ(out[3], 4.0);
}

TEST(IPlugVST, IdentifiesTheHostFromItsAnswers) {
  struct Case {
    const char* product;
    VstIntPtr version;
    int host;
    int32_t packed;
  } cases[] = {{"REAPER", 10203, kHostReaper, 0x00010203},
               {"Adobe Audition CS6", -5, kHostAudition, 0},
               {"Cubase", VstIntPtr{1} << 40, kHostCubase, PackHostVersion(INT_MAX)},
               {"", 10203, kHostUnknown, 0}};
  for (const Case& c : cases) {
    Bound b(Identity("2-2"));
    b.host.SetProductString(c.product);
    b.host.SetVendorVersion(c.version);
    EXPECT_EQ(b.plug->IdentifyHost(), c.host) << c.product;
    EXPECT_EQ(b.plug->GetHostVersion(), c.packed) << c.product;
    b.plug->IdentifyHost();
    EXPECT_EQ(b.host.CountOf(audioMasterGetProductString), 1u);
    EXPECT_EQ(b.host.CountOf(audioMasterGetVendorVersion), c.product[0] ? 1u : 0u);
  }
}

TEST(IPlugVST, StereoRestrictedHostsLoseTheExtraInputs) {
  Bound b(Identity("4-4"));
  b.host.SetProductString("Orion Platinum");
  b.Dispatch(effOpen);
  EXPECT_TRUE(b.plug->IsInputConnected(1));
  EXPECT_FALSE(b.plug->IsInputConnected(2));
  EXPECT_FALSE(b.plug->IsInputConnected(3));
  EXPECT_TRUE(b.plug->IsOutputConnected(3));
  EXPECT_EQ(b.plug->Effect()->numInputs, 4);

  Bound other(Identity("4-4"));
  other.host.SetProductString("REAPER");
  other.Dispatch(effOpen);
  EXPECT_TRUE(other.plug->IsInputConnected(3));
}

TEST(IPlugVST, GesturesAutomationAndProcessLevelReachTheHost) {
  Bound b(Identity("2-2"));
  b.plug->BeginParamEdit(2);
  b.plug->SetParameterFromEditor(2, 0.75);
  b.plug->EndParamEdit(2);
  b.plug->NotifyHostProgramChange();
  std::vector<Vst2HostCall> calls = b.host.Calls();
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].opcode, audioMasterBeginEdit);
  EXPECT_EQ(calls[0].index, 2);
  EXPECT_EQ(calls[1].opcode, audioMasterAutomate);
  EXPECT_EQ(calls[1].index, 2);
  EXPECT_EQ(calls[1].opt, 0.75f);
  EXPECT_EQ(calls[2].opcode, audioMasterEndEdit);
  EXPECT_EQ(calls[3].opcode, audioMasterUpdateDisplay);
  EXPECT_EQ(b.plug->GetParam(2)->Value(), 0.5); // normalised 0.75 of -1..1

  b.host.SetProcessLevel(kVstProcessLevelOffline);
  EXPECT_TRUE(b.plug->IsOfflineRender());
  b.host.SetProcessLevel(kVstProcessLevelRealtime);
  EXPECT_FALSE(b.plug->IsOfflineRender());
}

TEST(IPlugVST, MidiAndSysExGoOutAsPublishedEvents) {
  Bound b(Identity("2-2", 1, true));
  MidiMessage note;
  note.offset = 5;
  note.status = 0x80;
  note.data1 = 61;
  note.data2 = 12;
  EXPECT_TRUE(b.plug->SendMidiToHost(note));
  const uint8_t dump[4] = {0xF0, 0x01, 0x02, 0xF7};
  SysExMessage sysex;
  sysex.offset = 9;
  sysex.size = 4;
  sysex.data = dump;
  EXPECT_TRUE(b.plug->SendSysExToHost(sysex));
  std::vector<Vst2HostEvent> events = b.host.Events();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].type, kVstMidiType);
  EXPECT_EQ(events[0].byteSize, 32);
  EXPECT_EQ(events[0].deltaFrames, 5);
  EXPECT_EQ(events[0].bytes, (std::vector<unsigned char>{0x80, 61, 12, 0}));
  EXPECT_EQ(events[1].type, kVstSysExType);
  EXPECT_EQ(events[1].byteSize, 48);
  EXPECT_EQ(events[1].deltaFrames, 9);
  EXPECT_EQ(events[1].bytes, (std::vector<unsigned char>{0xF0, 0x01, 0x02, 0xF7}));
  b.host.SetEventsAnswer(0); // the host did not take them
  EXPECT_FALSE(b.plug->SendMidiToHost(note));
  EXPECT_FALSE(b.plug->SendSysExToHost(sysex));

  // A MIDI plug-in says so, and asks for MIDI before every processing call.
  EXPECT_EQ(b.Dispatch(effCanDo, 0, 0, const_cast<char*>("receiveVstMidiEvent")), 1);
  EXPECT_EQ(b.Dispatch(effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), 1);
  float in[8] = {}, out[8] = {};
  float* ins[2] = {in, in};
  float* outs[2] = {out, out};
  IPlugVST::VSTProcessFloat(b.plug->Effect(), ins, outs, 8);
  IPlugVST::VSTProcessAccumulate(b.plug->Effect(), ins, outs, 8);
  EXPECT_EQ(b.host.CountOf(audioMasterWantMidi), 2u);
}

TEST(IPlugVST, IncomingSysExIsBoundedAndEventListsAreSafe) {
  Bound b(Identity("2-2"));
  char dump[2] = {1, 2};
  VstMidiSysexEvent good{}, negative{}, missing{};
  good.type = negative.type = missing.type = kVstSysExType;
  good.dumpBytes = 2;
  good.sysexDump = dump;
  negative.dumpBytes = -7;
  negative.sysexDump = dump;
  missing.dumpBytes = 100;
  VstEvents list{};
  list.numEvents = 2;
  list.events[0] = reinterpret_cast<VstEvent*>(&good);
  list.events[1] = reinterpret_cast<VstEvent*>(&negative);
  EXPECT_EQ(b.Dispatch(effProcessEvents, 0, 0, &list), 1);
  list.events[0] = reinterpret_cast<VstEvent*>(&missing);
  list.numEvents = 1;
  EXPECT_EQ(b.Dispatch(effProcessEvents, 0, 0, &list), 1);
  list.numEvents = -3;
  EXPECT_EQ(b.Dispatch(effProcessEvents, 0, 0, &list), 1);
  ASSERT_EQ(b.plug->sysex.size(), 3u);
  EXPECT_EQ(b.plug->sysex[0].size, 2);
  EXPECT_EQ(b.plug->sysex[0].data, reinterpret_cast<const uint8_t*>(dump));
  EXPECT_EQ(b.plug->sysex[1].size, 0);
  EXPECT_EQ(b.plug->sysex[1].data, nullptr);
  EXPECT_EQ(b.plug->sysex[2].size, 0);
}

TEST(IPlugVST, RecordFollowsTheIdentity) {
  Bound stereoOnly(Identity("2-2"));
  EXPECT_EQ(stereoOnly.plug->Effect()->flags, effFlagsCanReplacing | effFlagsCanDoubleReplacing);
  EXPECT_EQ(stereoOnly.plug->Effect()->version, 20103);
  EXPECT_EQ(stereoOnly.plug->Effect()->uniqueID, FourCharCode("Tst1"));
  EXPECT_EQ(stereoOnly.Dispatch(effGetPlugCategory), kPlugCategEffect);
  char text[80];
  EXPECT_EQ(stereoOnly.Dispatch(effGetProductString, 0, 0, text), 1);
  EXPECT_STREQ(text, "TestProduct");

  Bound synth(Identity("0-2", 1, false, true));
  EXPECT_EQ(synth.Dispatch(effGetPlugCategory), kPlugCategSynth);
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  synth.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
  EXPECT_EQ(in->type, kSpeakerArrEmpty);
  EXPECT_EQ(out->type, kSpeakerArrStereo);

  Bound wide(Identity("6-6"));
  wide.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
  EXPECT_EQ(in->type, kSpeakerArrUserDefined);
  EXPECT_EQ(in->numChannels, 6);

  Bound mono(Identity("1-1"));
  mono.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out);
  EXPECT_EQ(out->type, kSpeakerArrMono);

  stereoOnly.plug->SetLatencySamples(64);
  EXPECT_EQ(stereoOnly.plug->Effect()->initialDelay, 64);
  stereoOnly.plug->SetLatencySamples(-5);
  EXPECT_EQ(stereoOnly.plug->Effect()->initialDelay, 0);
}

TEST(IPlugVST, EntryCompletionFillsProgramsAndKeepsOneAtLeast) {
  auto* empty = new TestPlug(nullptr, Identity("2-2", 0));
  AEffect* record = IPlugVST::CompleteInstantiation(empty);
  ASSERT_EQ(record, empty->Effect());
  EXPECT_EQ(record->numPrograms, 1);
  IPlugVST::VSTDispatcher(record, effClose, 0, 0, nullptr, 0.0f);

  auto* two = new TestPlug(nullptr, Identity("2-2", 2));
  record = IPlugVST::CompleteInstantiation(two);
  EXPECT_EQ(record->numPrograms, 2);
  char name[64];
  for (VstInt32 i = 0; i < 2; ++i) {
    EXPECT_EQ(IPlugVST::VSTDispatcher(record, effGetProgramNameIndexed, i, 0, name, 0.0f), 1);
    EXPECT_STREQ(name, "Empty");
  }
  IPlugVST::VSTDispatcher(record, effClose, 0, 0, nullptr, 0.0f);
  EXPECT_EQ(IPlugVST::CompleteInstantiation(nullptr), nullptr);
}

TEST(IPlugVST, EntriesIgnoreARecordWithoutObject) {
  AEffect orphan{};
  EXPECT_EQ(IPlugVST::VSTDispatcher(&orphan, effGetVstVersion, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(IPlugVST::VSTDispatcher(nullptr, effClose, 0, 0, nullptr, 0.0f), 0);
  EXPECT_EQ(IPlugVST::VSTGetParam(&orphan, 0), 0.0f);
  IPlugVST::VSTSetParam(&orphan, 0, 0.5f);
  IPlugVST::VSTProcessFloat(&orphan, nullptr, nullptr, 16);
  IPlugVST::VSTProcessDouble(nullptr, nullptr, nullptr, 16);
}

TEST(IPlugVST, PinsPairUpAndLabelsAreBounded) {
  Bound b(Identity("3-3"));
  VstPinProperties pin;
  std::memset(&pin, 'Z', sizeof pin);
  EXPECT_EQ(b.Dispatch(effGetInputProperties, 2, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive); // unpaired last pin: mono
  EXPECT_STREQ(pin.label, "Input 3");
  EXPECT_EQ(b.Dispatch(effGetInputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);

  b.plug->SetOutputPinLabel(1, "Side R");
  EXPECT_EQ(b.Dispatch(effGetOutputProperties, 1, 0, &pin), 1);
  EXPECT_STREQ(pin.label, "Side R");
  const std::string longLabel(200, 'L');
  b.plug->SetOutputPinLabel(0, longLabel.c_str());
  std::memset(&pin, 'Z', sizeof pin);
  EXPECT_EQ(b.Dispatch(effGetOutputProperties, 0, 0, &pin), 1);
  EXPECT_EQ(std::string(pin.label), std::string(63, 'L'));
  EXPECT_EQ(pin.shortLabel[0], 'Z'); // nothing written past the label field
}

TEST(IPlugVST, ParameterTextsReachTheHostWhole) {
  Bound b(Identity("2-2"));
  // Longer than the model's 32-byte fields: the model keeps 31 characters and
  // the host must receive all of them, terminated, and nothing beyond.
  const std::string longText(40, 'N');
  b.plug->GetParam(1)->DefineDouble(longText.c_str(), 0.5, -1.0, 1.0, 0.01, longText.c_str());
  b.plug->GetParam(2)->DefineDouble("Parameter", 0.0, -1.0e25, 1.0e25, 0.01, "dB");
  b.plug->GetParam(2)->SetValue(-1.0e25);
  for (VstInt32 op : {effGetParamName, effGetParamLabel}) {
    char buffer[64];
    std::memset(buffer, 'Z', sizeof buffer);
    b.Dispatch(op, 1, 0, buffer);
    EXPECT_EQ(std::string(buffer), std::string(31, 'N')) << op;
    EXPECT_EQ(buffer[32], 'Z') << op;
  }
  char display[64];
  std::memset(display, 'Z', sizeof display);
  b.Dispatch(effGetParamDisplay, 2, 0, display);
  char expected[kParamTextSize];
  b.plug->GetParam(2)->FormatForHost(-1.0e25, false, expected);
  EXPECT_GT(std::strlen(expected), 8u);
  EXPECT_STREQ(display, expected);
  EXPECT_EQ(display[32], 'Z');
}

TEST(IPlugVST, BlockSizeBelowOneFrameIsIgnored) {
  Bound b(Identity("1-1 2-2"));
  b.Dispatch(effSetBlockSize, 0, 256);
  b.Dispatch(effSetBlockSize, 0, 0);
  EXPECT_EQ(b.plug->GetBlockSize(), 256);
  b.Dispatch(effSetBlockSize, 0, -5);
  EXPECT_EQ(b.plug->GetBlockSize(), 256);
}

TEST(IPlugVST, EditorOpcodesDriveTheAttachedEditor) {
  Bound b(Identity("2-2"));
  auto* editor = new FakeEditor;
  b.plug->AttachEditor(editor); // owned by the plug-in from here on
  EXPECT_EQ(b.plug->Effect()->flags & effFlagsHasEditor, effFlagsHasEditor);
  ERect* rect = nullptr;
  EXPECT_EQ(b.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 662);
  EXPECT_EQ(rect->right, 135);
  EXPECT_EQ(b.Dispatch(effEditGetRect), 0);

  int parent = 0;
  EXPECT_EQ(b.Dispatch(effEditOpen, 0, 0, &parent), 1);
  EXPECT_EQ(editor->parentSeen, &parent);
  editor->canOpen = false;
  EXPECT_EQ(b.Dispatch(effEditOpen, 0, 0, &parent), 0);
  // Hosts without a timer for the editor call effEditIdle instead; each call
  // reaches the editor.
  EXPECT_EQ(b.Dispatch(effEditIdle), 0);
  EXPECT_EQ(b.Dispatch(effEditIdle), 0);
  EXPECT_EQ(editor->idles, 2);
  EXPECT_EQ(b.Dispatch(effEditClose), 1);
  EXPECT_EQ(editor->closes, 1);

  b.plug->EditorSizeChanged(40000, -3); // clamped into the 16-bit rectangle
  EXPECT_EQ(rect->right, 32767);
  EXPECT_EQ(rect->bottom, 0);

  // Host values reach the controls: normalised ones within 0..1, never NaN;
  // texts as real values.
  editor->pushes.clear();
  IPlugVST::VSTSetParam(b.plug->Effect(), 1, 1.7f);
  IPlugVST::VSTSetParam(b.plug->Effect(), 1, 0.25f);
  IPlugVST::VSTSetParam(b.plug->Effect(), 1, std::nanf(""));
  IPlugVST::VSTSetParam(b.plug->Effect(), 9, 0.25f);
  b.Dispatch(effString2Parameter, 2, 0, const_cast<char*>("-0.5"));
  ASSERT_EQ(editor->pushes.size(), 3u);
  EXPECT_EQ(editor->pushes[0].value, 1.0);
  EXPECT_TRUE(editor->pushes[0].normalized);
  EXPECT_EQ(editor->pushes[1].value, 0.25);
  EXPECT_EQ(editor->pushes[2].index, 2);
  EXPECT_EQ(editor->pushes[2].value, -0.5);
  EXPECT_FALSE(editor->pushes[2].normalized);
}
