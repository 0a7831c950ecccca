// The built VST2 module, loaded and driven as a host drives it: through the
// exported entry points, the effect record and the dispatcher only.
#include "Vst2Module.h"
#include "Vst2Instance.h"
#include "Vst2RecordingHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#ifndef TOLVEN_VST2_MODULE
#error "TOLVEN_VST2_MODULE must name the module under test"
#endif

namespace {

constexpr int kSentinel = 'Z';

Vst2Module& Module() {
  static Vst2Module module(TOLVEN_VST2_MODULE);
  return module;
}

// One instance of the module with a recording host of its own.
struct Instance {
  Vst2RecordingHost host;
  Vst2Instance fx;

  explicit Instance(const char* entry = "VSTPluginMain", const char* product = nullptr)
      : fx(Create(host, entry, product)) {}

  static AEffect* Create(Vst2RecordingHost& host, const char* entry, const char* product) {
    if (product) host.SetProductString(product);
    return host.Instantiate(Module().FindEntry(entry));
  }

  // What a host does before processing.
  void Start(float rate = 44100.0f, int blockSize = 512) {
    fx.Start(rate, blockSize);
  }

  std::vector<double> Values() {
    std::vector<double> values;
    for (int i = 0; i < fx.NumParams(); ++i)
      values.push_back(fx.GetParameter(i));
    return values;
  }
};

// A deterministic stereo test signal: a tone and noise, float-representable.
std::vector<std::vector<float>> Signal(int frames, unsigned seed = 1) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<float> noise(-0.25f, 0.25f);
  std::vector<std::vector<float>> channels(2, std::vector<float>(frames));
  for (int i = 0; i < frames; ++i) {
    const float tone = 0.5f * static_cast<float>(std::sin(0.05 * i));
    channels[0][static_cast<std::size_t>(i)] = tone + noise(rng);
    channels[1][static_cast<std::size_t>(i)] = -0.5f * tone + noise(rng);
  }
  return channels;
}

std::vector<std::vector<double>> ToDouble(const std::vector<std::vector<float>>& in) {
  std::vector<std::vector<double>> out;
  for (const auto& ch : in)
    out.emplace_back(ch.begin(), ch.end());
  return out;
}

template <typename T> std::vector<T*> Pointers(std::vector<std::vector<T>>& channels) {
  std::vector<T*> pointers;
  for (auto& ch : channels)
    pointers.push_back(ch.data());
  return pointers;
}

// Renders signal through processDoubleReplacing in calls of `block` frames.
std::vector<std::vector<double>>
RenderDouble(Instance& plug, const std::vector<std::vector<float>>& signal, int block) {
  auto in = ToDouble(signal);
  const int frames = static_cast<int>(in[0].size());
  std::vector<std::vector<double>> out(2, std::vector<double>(static_cast<std::size_t>(frames)));
  for (int pos = 0; pos < frames; pos += block) {
    const int n = std::min(block, frames - pos);
    double* ins[2] = {in[0].data() + pos, in[1].data() + pos};
    double* outs[2] = {out[0].data() + pos, out[1].data() + pos};
    plug.fx.ProcessDouble(ins, outs, n);
  }
  return out;
}

std::vector<unsigned char> DoubleBytes(double value) {
  unsigned char bytes[8];
  std::memcpy(bytes, &value, 8);
  return std::vector<unsigned char>(bytes, bytes + 8); // little-endian host
}

// Whether a call wrote beyond `allowed` bytes of a sentinel-filled buffer.
template <typename Call> int BytesWritten(Call call) {
  char buffer[512];
  std::memset(buffer, kSentinel, sizeof buffer);
  call(buffer);
  int last = -1;
  for (int i = 0; i < static_cast<int>(sizeof buffer); ++i)
    if (buffer[i] != kSentinel) last = i;
  return last + 1;
}

} // namespace

// ---- Entry points and effect record ---------------------------------------------

TEST(TolvenVst2, LoadsAndExportsBothEntries) {
  ASSERT_TRUE(Module().IsLoaded()) << Module().Error();
  EXPECT_NE(Module().FindEntry("VSTPluginMain"), nullptr);
  EXPECT_NE(Module().FindEntry("main"), nullptr);
}

TEST(TolvenVst2, RecordHoldsThePublishedFields) {
  Instance plug;
  ASSERT_TRUE(plug.fx.IsValid());
  const AEffect& r = *plug.fx.Effect();
  EXPECT_EQ(r.magic, 0x56737450);
  EXPECT_NE(r.dispatcher, nullptr);
  EXPECT_NE(r.process, nullptr);
  EXPECT_NE(r.setParameter, nullptr);
  EXPECT_NE(r.getParameter, nullptr);
  EXPECT_NE(r.processReplacing, nullptr);
  EXPECT_NE(r.processDoubleReplacing, nullptr);
  EXPECT_EQ(r.numPrograms, 1);
  EXPECT_EQ(r.numParams, 6);
  EXPECT_EQ(r.numInputs, 2);
  EXPECT_EQ(r.numOutputs, 2);
  // Replacing, double replacing and mono; no editor is attached yet.
  EXPECT_EQ(r.flags, 0x1019);
  EXPECT_EQ(r.resvd1, 0);
  EXPECT_EQ(r.resvd2, 0);
  EXPECT_EQ(r.initialDelay, 0);
  EXPECT_EQ(r.realQualities, 0);
  EXPECT_EQ(r.offQualities, 0);
  EXPECT_EQ(r.ioRatio, 1.0f);
  EXPECT_NE(r.object, nullptr);
  EXPECT_EQ(r.user, &plug.host);     // the host's field, untouched by the plug-in
  EXPECT_EQ(r.uniqueID, 0x544C5631); // TLV1
  EXPECT_EQ(r.version, 10000);
  for (char c : r.future)
    EXPECT_EQ(c, 0);
}

TEST(TolvenVst2, CreationDoesNotCallTheHost) {
  Instance plug;
  ASSERT_TRUE(plug.fx.IsValid());
  EXPECT_TRUE(plug.host.Calls().empty());
}

TEST(TolvenVst2, MainCreatesIndependentInstancesLikeVSTPluginMain) {
  Instance a("main", "REAPER"), b("main"), c("VSTPluginMain");
  ASSERT_TRUE(a.fx.IsValid());
  ASSERT_TRUE(b.fx.IsValid());
  EXPECT_NE(a.fx.Effect()->object, b.fx.Effect()->object);
  EXPECT_NE(a.fx.Effect()->object, c.fx.Effect()->object);
  EXPECT_EQ(a.fx.Effect()->flags, c.fx.Effect()->flags);
  EXPECT_EQ(a.fx.Effect()->uniqueID, c.fx.Effect()->uniqueID);
  // The callback (a full 64-bit address in this executable) reaches the
  // instance intact: effOpen asks this host, and only this one, for its name.
  a.fx.Open();
  EXPECT_EQ(a.host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(b.host.CountOf(audioMasterGetProductString), 0u);
}

TEST(TolvenVst2, InstancesCreatedConcurrentlyAreSound) {
  std::vector<std::unique_ptr<Instance>> made(8);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < made.size(); ++i)
    threads.emplace_back([&made, i] { made[i] = std::make_unique<Instance>(); });
  for (auto& t : threads)
    t.join();
  for (auto& plug : made) {
    ASSERT_TRUE(plug->fx.IsValid());
    EXPECT_EQ(plug->fx.NumParams(), 6);
    EXPECT_EQ(plug->fx.ProgramName(), "-");
  }
}

TEST(TolvenVst2, AnswersTheFixedQueries) {
  Instance plug;
  EXPECT_EQ(plug.fx.Dispatch(effGetVstVersion), 2400);
  EXPECT_EQ(plug.fx.Dispatch(effIdentify), 0x4E764566);
  EXPECT_EQ(plug.fx.Dispatch(effGetPlugCategory), kPlugCategEffect);
  EXPECT_EQ(plug.fx.Dispatch(effGetVendorVersion), 10000);
  EXPECT_EQ(plug.fx.Dispatch(effGetTailSize), 0);
  EXPECT_EQ(plug.fx.Dispatch(effCanBeAutomated, 3), 1);
  EXPECT_EQ(plug.fx.EffectName(), "TOLVEN");
  EXPECT_EQ(plug.fx.VendorString(), "Oskavarine");
  char product[64];
  std::memset(product, kSentinel, sizeof product);
  EXPECT_EQ(plug.fx.Dispatch(effGetProductString, 0, 0, product), 1);
  EXPECT_STREQ(product, "");
  EXPECT_EQ(plug.fx.Dispatch(effGetEffectName), 0); // no buffer
  // Opcodes without an action answer 0, bypass included.
  const VstInt32 inactive[] = {effSetBypass,
                               effGetParameterProperties,
                               effEditKeyDown,
                               effEditKeyUp,
                               effBeginSetProgram,
                               effEndSetProgram,
                               effStartProcess,
                               effStopProcess,
                               effSetProcessPrecision,
                               effProcessVarIo,
                               effEditIdle,
                               effIdle,
                               200,
                               -1};
  for (VstInt32 op : inactive)
    EXPECT_EQ(plug.fx.Dispatch(op, 1, 1), 0) << "opcode " << op;
}

TEST(TolvenVst2, EditorReportsItsFixedSize) {
  Instance plug;
  EXPECT_NE(plug.fx.Flags() & effFlagsHasEditor, 0);
  ERect* rect = nullptr;
  ASSERT_EQ(plug.fx.Dispatch(effEditGetRect, 0, 0, &rect), 1);
  ASSERT_NE(rect, nullptr);
  EXPECT_EQ(rect->top, 0);
  EXPECT_EQ(rect->left, 0);
  EXPECT_EQ(rect->bottom, 662);
  EXPECT_EQ(rect->right, 135);
  EXPECT_EQ(plug.fx.Dispatch(effEditGetRect, 0, 0, nullptr), 0); // nowhere to answer
  // Something that is no window to embed in is refused (the real windows
  // are Vst2EditorWindowTest's).
  int hostWindow = 0;
  EXPECT_EQ(plug.fx.Dispatch(effEditOpen, 0, 0, &hostWindow), 0);
  EXPECT_EQ(plug.fx.Dispatch(effEditClose), 1);
}

// ---- Parameters: texts and automation ----------------------------------------------

TEST(TolvenVst2, ParameterTextsFitThePublishedBuffers) {
  Instance plug;
  plug.fx.Open();
  // Whole names: the parameter model's 32-byte field, not the old 8-character limit.
  const char* names[] = {"High Gain 1", "Mid Gain 1", "Low Gain 1", "Input 1", "Output 1", "Bypass 1"};
  const char* labels[] = {"%", "%", "%", "%", "%", ""};
  const char* displays[] = {"0.50", "0.50", "0.50", "0.00", "0.00", "0"};
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(plug.fx.ParamName(i), names[i]);
    EXPECT_EQ(plug.fx.ParamLabel(i), labels[i]);
    EXPECT_EQ(plug.fx.ParamDisplay(i), displays[i]);
    for (VstInt32 op : {effGetParamName, effGetParamLabel, effGetParamDisplay})
      EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(op, i, 0, b); }), 32);
  }
  // Invalid indices leave the buffer alone.
  for (VstInt32 op : {effGetParamName, effGetParamLabel, effGetParamDisplay})
    for (VstInt32 index : {-1, 6, 1000})
      EXPECT_EQ(BytesWritten([&](char* b) { EXPECT_EQ(plug.fx.Dispatch(op, index, 0, b), 0); }), 0);
  // Every other text stays within its published size too.
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effGetEffectName, 0, 0, b); }), 33);
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effGetVendorString, 0, 0, b); }), 65);
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effGetProductString, 0, 0, b); }), 65);
}

TEST(TolvenVst2, String2ParameterSetsRealValues) {
  Instance plug;
  plug.fx.Open();
  EXPECT_TRUE(plug.fx.SetParamFromText(3, "30")); // clamped to the bound
  EXPECT_EQ(plug.fx.ParamDisplay(3), "24.00");
  EXPECT_EQ(plug.fx.GetParameter(3), 1.0f);
  EXPECT_TRUE(plug.fx.SetParamFromText(3, "-6.5"));
  EXPECT_EQ(plug.fx.ParamDisplay(3), "-6.50");
  EXPECT_TRUE(plug.fx.SetParamFromText(4, "  3.127dB"));
  EXPECT_EQ(plug.fx.ParamDisplay(4), "3.13");
  EXPECT_TRUE(plug.fx.SetParamFromText(0, "no number")); // reads as 0.0
  EXPECT_EQ(plug.fx.GetParameter(0), 0.0f);
  EXPECT_TRUE(plug.fx.SetParamFromText(5, "1"));
  EXPECT_EQ(plug.fx.ParamDisplay(5), "1");

  const std::vector<double> before = plug.Values();
  EXPECT_EQ(plug.fx.Dispatch(effString2Parameter, 3, 0, nullptr), 1); // null text: nothing
  EXPECT_EQ(plug.Values(), before);
  EXPECT_FALSE(plug.fx.SetParamFromText(6, "1"));
  EXPECT_FALSE(plug.fx.SetParamFromText(-1, "1"));
  // A text without terminator within the first 255 bytes is read that far.
  std::string longText(300, '9');
  EXPECT_TRUE(plug.fx.SetParamFromText(4, longText));
  EXPECT_EQ(plug.fx.ParamDisplay(4), "24.00");
}

TEST(TolvenVst2, AutomationRoundTrips) {
  Instance plug;
  plug.fx.Open();
  plug.host.Clear();
  plug.fx.SetParameter(0, 0.25f);
  EXPECT_EQ(plug.fx.GetParameter(0), 0.25f);
  EXPECT_EQ(plug.fx.ParamDisplay(0), "0.25");
  plug.fx.SetParameter(5, 0.6f); // stepped: rounds to 1
  EXPECT_EQ(plug.fx.GetParameter(5), 1.0f);
  plug.fx.SetParameter(5, 0.49f);
  EXPECT_EQ(plug.fx.GetParameter(5), 0.0f);
  plug.fx.SetParameter(3, 0.75f); // continuous: no rounding
  EXPECT_EQ(plug.fx.GetParameter(3), 0.75f);
  EXPECT_EQ(plug.fx.ParamDisplay(3), "12.00");
  plug.fx.SetParameter(4, 1.5f); // clamped at the top
  EXPECT_EQ(plug.fx.ParamDisplay(4), "24.00");
  plug.fx.SetParameter(4, std::nanf("")); // ignored
  EXPECT_EQ(plug.fx.ParamDisplay(4), "24.00");

  const std::vector<double> before = plug.Values();
  plug.fx.SetParameter(6, 0.5f);
  plug.fx.SetParameter(-1, 0.5f);
  EXPECT_EQ(plug.Values(), before);
  EXPECT_EQ(plug.fx.GetParameter(-1), 0.0f);
  EXPECT_EQ(plug.fx.GetParameter(6), 0.0f);
  // The host hears nothing back from its own automation.
  EXPECT_EQ(plug.host.CountOf(audioMasterAutomate), 0u);
}

// Whatever normalised value a host sends, the value shown, the value saved
// and the value heard agree: below 0 is the bottom of the range, never a
// value beyond it (once "-4800000" on show and -4.8e31 dB in the chunk).
TEST(TolvenVst2, NormalisedValuesOutsideTheRangeEndAtItsBounds) {
  const double mins[] = {0, 0, 0, -24, -24, 0}, maxs[] = {1, 1, 1, 24, 24, 1};
  const char* bottoms[] = {"0.00", "0.00", "0.00", "-24.00", "-24.00", "0"};
  const float below[] = {-1e30f, -1.0f, -0.01f, -std::numeric_limits<float>::infinity()};
  for (float value : below) {
    Instance plug;
    plug.fx.Open();
    for (int i = 0; i < 6; ++i) {
      plug.fx.SetParameter(i, value);
      EXPECT_EQ(plug.fx.GetParameter(i), 0.0f) << i << " " << value;
      EXPECT_EQ(plug.fx.ParamDisplay(i), bottoms[i]) << i << " " << value;
    }
    const std::vector<unsigned char> chunk = plug.fx.GetChunk(true);
    ASSERT_EQ(chunk.size(), 56u);
    for (int i = 0; i < 6; ++i) {
      double saved = 0.0;
      std::memcpy(&saved, chunk.data() + 8 + 8 * i, sizeof saved);
      EXPECT_EQ(saved, mins[i]) << i << " " << value;
    }
    Instance other;
    other.fx.Open();
    ASSERT_TRUE(other.fx.SetChunk(true, chunk));
    EXPECT_EQ(other.fx.GetChunk(true), chunk);
  }
  Instance plug;
  plug.fx.Open();
  for (int i = 0; i < 6; ++i) {
    plug.fx.SetParameter(i, 1e30f);
    std::vector<unsigned char> chunk = plug.fx.GetChunk(true);
    double saved = 0.0;
    std::memcpy(&saved, chunk.data() + 8 + 8 * i, sizeof saved);
    EXPECT_EQ(saved, maxs[i]) << i;
  }
}

TEST(TolvenVst2, VendorSpecificFormatsAndReportsSteps) {
  Instance plug;
  char text[64];
  std::memset(text, kSentinel, sizeof text);
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 7, 3, text, 0.75f), 0xBEEF);
  EXPECT_STREQ(text, "12.00");
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 7, 0, text, 0.5f), 0xBEEF);
  EXPECT_STREQ(text, "0.50");
  // An invalid parameter still answers, but writes nothing.
  EXPECT_EQ(BytesWritten([&](char* b) {
              EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 7, 6, b, 0.5f), 0xBEEF);
            }),
            0);
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 7, 3, nullptr, 0.5f), 0);
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effVendorSpecific, 7, 4, b, 0.0f); }), 9);

  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 8, 5), 0xBEEF); // "Bypass 1" is stepped
  for (VstIntPtr param : {0, 3, 4})
    EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 8, param), 0);
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 8, 6), 0);
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 8, -1), 0);
  EXPECT_EQ(plug.fx.Dispatch(effVendorSpecific, 9, 5), 0);
}

TEST(TolvenVst2, CanDoAnswers) {
  Instance plug;
  auto canDo = [&](const char* text) {
    return plug.fx.Dispatch(effCanDo, 0, 0, const_cast<char*>(text));
  };
  EXPECT_EQ(canDo("receiveVstTimeInfo"), 1);
  EXPECT_EQ(static_cast<uint64_t>(canDo("hasCockosExtensions")), 0x00000000BEEF0000ull);
  EXPECT_EQ(static_cast<uint64_t>(canDo("hasCockosViewAsConfig")), 0x00000000BEEF0000ull);
  for (const char* no : {"receiveVstMidiEvent", "receiveVstEvents", "sendVstEvents",
                         "sendVstMidiEvent", "bypass", "", "receiveVstTimeInfoX"})
    EXPECT_EQ(canDo(no), 0) << no;
  EXPECT_EQ(plug.fx.Dispatch(effCanDo), 0);
  std::string longName = std::string("receiveVstTimeInfo") + std::string(200, ' ');
  EXPECT_EQ(canDo(longName.c_str()), 0);
}

// ---- State ------------------------------------------------------------------------

TEST(TolvenVst2, ProgramAndBankChunkBytes) {
  Instance plug;
  plug.fx.Open();
  const std::vector<unsigned char> header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  std::vector<unsigned char> state;
  for (double v : {0.5, 0.5, 0.5, 0.0, 0.0, 0.0}) {
    auto bytes = DoubleBytes(v);
    state.insert(state.end(), bytes.begin(), bytes.end());
  }

  std::vector<unsigned char> program = plug.fx.GetChunk(true);
  std::vector<unsigned char> expectedProgram = header;
  expectedProgram.insert(expectedProgram.end(), state.begin(), state.end());
  EXPECT_EQ(program, expectedProgram);
  EXPECT_EQ(program.size(), 56u);

  std::vector<unsigned char> bank = plug.fx.GetChunk(false);
  std::vector<unsigned char> expectedBank = header;
  const unsigned char slot[] = {1, 0, 0, 0, '-', 1}; // name length, name, initialised
  expectedBank.insert(expectedBank.end(), slot, slot + sizeof slot);
  expectedBank.insert(expectedBank.end(), state.begin(), state.end());
  EXPECT_EQ(bank, expectedBank);
  EXPECT_EQ(bank.size(), 62u);

  // Any index other than 0 means a program chunk; a null pointer gets nothing.
  EXPECT_EQ(plug.fx.Dispatch(effGetChunk, 7, 0, nullptr), 0);
  void* data = nullptr;
  EXPECT_EQ(plug.fx.Dispatch(effGetChunk, -3, 0, &data), 56);
}

TEST(TolvenVst2, ChunksRoundTripIntoAnotherInstance) {
  Instance source;
  source.fx.Open();
  source.fx.SetParameter(0, 0.8f);
  source.fx.SetParamFromText(3, "-7.25");
  source.fx.SetParameter(5, 1.0f);
  source.fx.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Vocal"));
  const std::vector<unsigned char> program = source.fx.GetChunk(true);
  const std::vector<unsigned char> bank = source.fx.GetChunk(false);

  Instance byProgram, byBank;
  byProgram.fx.Open();
  byBank.fx.Open();
  EXPECT_TRUE(byProgram.fx.SetChunk(true, program));
  EXPECT_TRUE(byBank.fx.SetChunk(false, bank));
  for (int i = 0; i < 6; ++i) {
    EXPECT_EQ(byProgram.fx.ParamDisplay(i), source.fx.ParamDisplay(i)) << i;
    EXPECT_EQ(byBank.fx.ParamDisplay(i), source.fx.ParamDisplay(i)) << i;
  }
  EXPECT_EQ(byProgram.fx.GetChunk(true), program);
  EXPECT_EQ(byBank.fx.GetChunk(false), bank);
  EXPECT_EQ(byBank.fx.ProgramName(), "Vocal");
  EXPECT_EQ(byProgram.fx.ProgramName(), "-");
}

TEST(TolvenVst2, SetChunkTakesRawStateAndRefusesTheMagicAlone) {
  Instance plug;
  plug.fx.Open();
  std::vector<unsigned char> raw;
  for (double v : {0.25, 0.75, 0.125, -12.0, 6.0, 1.0}) {
    auto bytes = DoubleBytes(v);
    raw.insert(raw.end(), bytes.begin(), bytes.end());
  }
  EXPECT_TRUE(plug.fx.SetChunk(true, raw));
  EXPECT_EQ(plug.fx.ParamDisplay(3), "-12.00");
  EXPECT_EQ(plug.fx.ParamDisplay(5), "1");
  // A bank chunk without the header is raw state too.
  Instance other;
  EXPECT_TRUE(other.fx.SetChunk(false, raw));
  EXPECT_EQ(other.fx.ParamDisplay(4), "6.00");

  const std::vector<double> before = plug.Values();
  EXPECT_FALSE(plug.fx.SetChunk(true, {0x74, 0x66, 0x66, 0x70}));
  EXPECT_FALSE(plug.fx.SetChunk(false, {0x74, 0x66, 0x66, 0x70}));
  EXPECT_EQ(plug.Values(), before);
}

TEST(TolvenVst2, SetChunkRefusesBadSizesAndTouchesNothing) {
  Instance plug;
  plug.fx.Open();
  plug.fx.SetParamFromText(4, "5");
  const std::vector<double> before = plug.Values();
  const std::vector<unsigned char> programBefore = plug.fx.GetChunk(true);

  std::vector<unsigned char> data(64, 0x40); // valid-looking doubles
  const VstIntPtr absurd[] = {-1,
                              -56,
                              INT64_MIN,
                              0,
                              (VstIntPtr{1} << 31),
                              (VstIntPtr{1} << 40),
                              INT64_MAX,
                              64 * 1024 * 1024 + 1};
  for (VstIntPtr size : absurd) {
    for (VstInt32 index : {0, 1}) {
      EXPECT_EQ(plug.fx.Dispatch(effSetChunk, index, size, data.data()), 0) << size;
      EXPECT_EQ(plug.fx.Dispatch(effSetChunk, index, 48, nullptr), 0);
    }
  }
  EXPECT_EQ(plug.Values(), before);
  EXPECT_EQ(plug.fx.GetChunk(true), programBefore);
}

TEST(TolvenVst2, SetChunkSurvivesRandomBytes) {
  Instance plug;
  plug.Start();
  std::mt19937 rng(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 300; ++round) {
    std::vector<unsigned char> junk(static_cast<std::size_t>(round % 97 + 1));
    for (auto& b : junk)
      b = static_cast<unsigned char>(byte(rng));
    if (round % 3 == 0 && junk.size() >= 8) { // behind a valid header, too
      const unsigned char header[8] = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
      std::memcpy(junk.data(), header, 8);
    }
    plug.fx.SetChunk(round % 2 == 0, junk);
    for (int i = 0; i < 6; ++i) {
      const float v = plug.fx.GetParameter(i);
      ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << "round " << round << " parameter " << i;
    }
    ASSERT_LE(plug.fx.ProgramName().size(), 24u);
  }
  // Still processes finite audio.
  auto out = RenderDouble(plug, Signal(256), 256);
  for (const auto& ch : out)
    for (double s : ch)
      ASSERT_TRUE(std::isfinite(s));
}

TEST(TolvenVst2, ProgramsAndNames) {
  Instance plug;
  plug.fx.Open();
  EXPECT_EQ(plug.fx.Dispatch(effGetProgram), 0);
  EXPECT_EQ(plug.fx.ProgramName(), "-");
  char name[64];
  EXPECT_EQ(plug.fx.Dispatch(effGetProgramNameIndexed, 0, 0, name), 1);
  EXPECT_STREQ(name, "-");
  std::memset(name, kSentinel, sizeof name);
  EXPECT_EQ(plug.fx.Dispatch(effGetProgramNameIndexed, 1, 0, name), 0);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(plug.fx.Dispatch(effGetProgramNameIndexed, 0, 0, nullptr), 0);

  plug.fx.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("Warm Bus"));
  EXPECT_EQ(plug.fx.ProgramName(), "Warm Bus");
  // Renaming stored the live state in the slot; recalling it brings it back.
  plug.fx.SetParameter(1, 0.9f);
  plug.fx.Dispatch(effSetProgram, 0, 0);
  EXPECT_EQ(plug.fx.GetParameter(1), 0.9f);
  EXPECT_EQ(plug.fx.Dispatch(effGetProgram), 0);
  // An invalid program leaves the current one.
  for (VstIntPtr program : {VstIntPtr{1}, VstIntPtr{-1}, VstIntPtr{1} << 32})
    plug.fx.Dispatch(effSetProgram, 0, program);
  EXPECT_EQ(plug.fx.Dispatch(effGetProgram), 0);
  EXPECT_EQ(plug.fx.ProgramName(), "Warm Bus");

  // Long names are kept whole in the bank but handed out cut to 24.
  const std::string longName(100, 'n');
  plug.fx.Dispatch(effSetProgramName, 0, 0, const_cast<char*>(longName.c_str()));
  EXPECT_EQ(plug.fx.ProgramName(), std::string(24, 'n'));
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effGetProgramName, 0, 0, b); }), 25);
  EXPECT_LE(BytesWritten([&](char* b) { plug.fx.Dispatch(effGetProgramNameIndexed, 0, 0, b); }),
            25);
  const std::vector<unsigned char> bank = plug.fx.GetChunk(false);
  ASSERT_GE(bank.size(), 12u + 100u);
  EXPECT_EQ(bank[8], 100);
  EXPECT_EQ(std::string(bank.begin() + 12, bank.begin() + 112), longName);
}

// ---- Pins and speaker arrangements --------------------------------------------------

TEST(TolvenVst2, PinPropertiesAndArrangements) {
  Instance plug;
  plug.fx.Open();
  for (bool input : {true, false}) {
    const VstInt32 op = input ? effGetInputProperties : effGetOutputProperties;
    const std::string name = input ? "Input " : "Output ";
    VstPinProperties pin;
    std::memset(&pin, kSentinel, sizeof pin);
    EXPECT_EQ(plug.fx.Dispatch(op, 0, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(std::string(pin.label), name + "1");
    // Fields other than the flags and the label stay as the host set them.
    EXPECT_EQ(pin.arrangementType, 0x5A5A5A5A);
    EXPECT_EQ(pin.shortLabel[0], kSentinel);
    EXPECT_EQ(plug.fx.Dispatch(op, 1, 0, &pin), 1);
    EXPECT_EQ(pin.flags, kVstPinIsActive);
    EXPECT_EQ(std::string(pin.label), name + "2");
    for (VstInt32 index : {2, -1, 100})
      EXPECT_EQ(plug.fx.Dispatch(op, index, 0, &pin), 0);
    EXPECT_EQ(plug.fx.Dispatch(op, 0, 0, nullptr), 0);
  }
  // Both arrangements read stereo.
  VstSpeakerArrangement* in = nullptr;
  VstSpeakerArrangement* out = nullptr;
  EXPECT_EQ(plug.fx.Dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
            1);
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  EXPECT_EQ(in->type, kSpeakerArrStereo);
  EXPECT_EQ(in->numChannels, 2);
  EXPECT_EQ(out->type, kSpeakerArrStereo);
  EXPECT_EQ(out->numChannels, 2);
  EXPECT_EQ(plug.fx.Dispatch(effGetSpeakerArrangement), 1); // nowhere to store: fine
}

TEST(TolvenVst2, MonoArrangementDisconnectsThePinsTheHostDoesNotFeed) {
  const int frames = 700;
  auto signal = Signal(frames, 7);
  // Reference: a stereo instance fed with the left channel and silence.
  Instance reference;
  reference.Start();
  auto silentRight = signal;
  std::fill(silentRight[1].begin(), silentRight[1].end(), 0.0f);
  auto expected = RenderDouble(reference, silentRight, frames);

  Instance mono;
  mono.Start();
  VstSpeakerArrangement in{}, out{};
  in.type = kSpeakerArrMono;
  in.numChannels = 1;
  out.type = kSpeakerArrMono;
  out.numChannels = 1;
  EXPECT_EQ(mono.fx.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
            1);
  EXPECT_EQ(mono.fx.NumInputs(), 2); // the record keeps its counts
  // The host hands one array each way; exactly sized, so a read or write of
  // a second one is caught by the sanitizer build.
  std::vector<double> left(signal[0].begin(), signal[0].end());
  std::vector<double> result(frames);
  std::vector<double*> ins{left.data()};
  std::vector<double*> outs{result.data()};
  mono.fx.ProcessDouble(ins.data(), outs.data(), frames);
  EXPECT_EQ(result, expected[0]);

  // A negative channel count disconnects every pin; absurd counts connect all.
  in.numChannels = -5;
  out.numChannels = 1000;
  EXPECT_EQ(mono.fx.Dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&in), &out),
            1);
  std::vector<std::vector<double>> stereoOut(2, std::vector<double>(64, 9.0));
  auto outPtrs = Pointers(stereoOut);
  mono.fx.ProcessDouble(nullptr, outPtrs.data(), 64);
  for (const auto& ch : stereoOut)
    for (double s : ch)
      EXPECT_TRUE(std::isfinite(s) && s != 9.0);
}

// ---- Processing ---------------------------------------------------------------------

TEST(TolvenVst2, FloatDoubleAndAccumulatingEntriesAgree) {
  const int frames = 2048;
  auto signal = Signal(frames, 3);
  Instance d, f, a;
  for (Instance* plug : {&d, &f, &a}) {
    plug->Start(48000.0f, 512);
    plug->fx.SetParameter(0, 0.8f);
    plug->fx.SetParamFromText(3, "9");
  }
  auto expected = RenderDouble(d, signal, 512);

  std::vector<std::vector<float>> outF(2, std::vector<float>(frames));
  std::vector<std::vector<float>> outA(2, std::vector<float>(frames, 1.0f));
  for (int pos = 0; pos < frames; pos += 512) {
    float* ins[2] = {signal[0].data() + pos, signal[1].data() + pos};
    float* outsF[2] = {outF[0].data() + pos, outF[1].data() + pos};
    float* outsA[2] = {outA[0].data() + pos, outA[1].data() + pos};
    f.fx.ProcessFloat(ins, outsF, 512);
    a.fx.ProcessAccumulate(ins, outsA, 512);
  }
  double energy = 0.0;
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < frames; ++i) {
      const double x = expected[c][static_cast<std::size_t>(i)];
      energy += x * x;
      ASSERT_EQ(outF[c][static_cast<std::size_t>(i)], static_cast<float>(x)) << c << ":" << i;
      ASSERT_EQ(outA[c][static_cast<std::size_t>(i)], 1.0f + static_cast<float>(x))
          << c << ":" << i;
    }
  }
  EXPECT_GT(energy, 1.0); // the strip produced signal, not silence
}

TEST(TolvenVst2, CallsLongerThanTheBlockSizeLoseNothing) {
  const int frames = 1000;
  auto signal = Signal(frames, 5);
  Instance sliced, reference;
  sliced.Start(44100.0f, 64);
  reference.Start(44100.0f, 64);
  auto expected = RenderDouble(reference, signal, 64);
  // One call of 1000 frames against a block size of 64, double and float.
  auto got = RenderDouble(sliced, signal, frames);
  EXPECT_EQ(got, expected);

  Instance floats;
  floats.Start(44100.0f, 64);
  std::vector<std::vector<float>> out(2, std::vector<float>(frames));
  auto ins = Pointers(signal);
  auto outs = Pointers(out);
  floats.fx.ProcessFloat(ins.data(), outs.data(), frames);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < frames; ++i)
      ASSERT_EQ(out[c][static_cast<std::size_t>(i)],
                static_cast<float>(expected[c][static_cast<std::size_t>(i)]));
}

TEST(TolvenVst2, EmptyAndNegativeCallsWriteNothing) {
  Instance plug;
  plug.Start();
  std::vector<std::vector<float>> in(2, std::vector<float>(16, 0.5f));
  std::vector<std::vector<float>> out(2, std::vector<float>(16, 7.0f));
  auto ins = Pointers(in);
  auto outs = Pointers(out);
  for (VstInt32 frames : {0, -1, INT32_MIN}) {
    plug.fx.ProcessFloat(ins.data(), outs.data(), frames);
    plug.fx.ProcessAccumulate(ins.data(), outs.data(), frames);
  }
  for (const auto& ch : out)
    for (float s : ch)
      EXPECT_EQ(s, 7.0f);
}

TEST(TolvenVst2, BlockSizeAndSampleRateNonsenseIsHarmless) {
  const int frames = 512;
  auto signal = Signal(frames, 11);
  Instance sane, odd;
  sane.Start(48000.0f, 128);
  odd.Start(48000.0f, 128);
  // Not a sample rate: ignored, the previous one stays.
  for (float rate : {0.0f, -44100.0f, std::nanf(""), INFINITY})
    odd.fx.SetSampleRate(rate);
  // Not a block size: the previous one stays or the size is capped; either
  // way no call writes past a buffer.
  odd.fx.Dispatch(effSetBlockSize, 0, -5);
  odd.fx.Dispatch(effSetBlockSize, 0, VstIntPtr{1} << 40);
  odd.fx.Dispatch(effSetBlockSize, 0, 128);
  EXPECT_EQ(RenderDouble(odd, signal, frames), RenderDouble(sane, signal, frames));
}

TEST(TolvenVst2, TwoInstancesAreIndependent) {
  const int frames = 512;
  auto signal = Signal(frames, 9);
  Instance a, b, fresh;
  for (Instance* plug : {&a, &b, &fresh})
    plug->Start();
  a.fx.SetParameter(2, 1.0f);
  a.fx.SetParamFromText(4, "-10");
  a.fx.Dispatch(effSetProgramName, 0, 0, const_cast<char*>("A"));
  EXPECT_EQ(b.fx.GetParameter(2), 0.5f);
  EXPECT_EQ(b.fx.ParamDisplay(4), "0.00");
  EXPECT_EQ(b.fx.ProgramName(), "-");
  EXPECT_NE(a.fx.GetChunk(true), b.fx.GetChunk(true));
  // Processing one does not move the other's state.
  RenderDouble(a, signal, frames);
  EXPECT_EQ(RenderDouble(b, signal, frames), RenderDouble(fresh, signal, frames));
}

// ---- Host interplay -------------------------------------------------------------------

TEST(TolvenVst2, IdentifiesTheHostOnce) {
  Instance plug("VSTPluginMain", "REAPER");
  plug.host.SetVendorVersion(61020);
  plug.fx.Open();
  plug.fx.Open();
  EXPECT_EQ(plug.host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(plug.host.CountOf(audioMasterGetVendorVersion), 1u);

  // A host without a name is asked for nothing more, and only once.
  Instance nameless("VSTPluginMain", "");
  nameless.fx.Open();
  nameless.fx.Open();
  EXPECT_EQ(nameless.host.CountOf(audioMasterGetProductString), 1u);
  EXPECT_EQ(nameless.host.CountOf(audioMasterGetVendorVersion), 0u);
}

TEST(TolvenVst2, NullHostCallbackIsHarmless) {
  VstPluginMainProc entry = Module().EntryPoint();
  ASSERT_NE(entry, nullptr);
  Vst2Instance fx(entry(nullptr));
  ASSERT_TRUE(fx.IsValid());
  fx.Start(44100.0f, 128);
  fx.SetParameter(0, 0.3f);
  char midi[sizeof(VstMidiEvent)] = {};
  VstMidiEvent* note = reinterpret_cast<VstMidiEvent*>(midi);
  note->type = kVstMidiType;
  note->byteSize = sizeof(VstMidiEvent);
  VstEvents list{};
  list.numEvents = 1;
  list.events[0] = reinterpret_cast<VstEvent*>(note);
  EXPECT_EQ(fx.Dispatch(effProcessEvents, 0, 0, &list), 1);
  std::vector<std::vector<double>> io(2, std::vector<double>(128, 0.1));
  auto p = Pointers(io);
  fx.ProcessDouble(p.data(), p.data(), 128); // in place, as hosts may do
  EXPECT_TRUE(std::isfinite(io[0][127]));
  fx.Suspend();
}

TEST(TolvenVst2, MidiIsSentBackAndSysExDropped) {
  Instance plug;
  plug.Start();
  VstMidiEvent note{};
  note.type = kVstMidiType;
  note.byteSize = sizeof note;
  note.deltaFrames = 12;
  note.midiData[0] = static_cast<char>(0x91);
  note.midiData[1] = 64;
  note.midiData[2] = 99;
  char dump[3] = {static_cast<char>(0xF0), 0x7E, static_cast<char>(0xF7)};
  VstMidiSysexEvent sysex{};
  sysex.type = kVstSysExType;
  sysex.byteSize = sizeof sysex;
  sysex.dumpBytes = -3; // nonsense size
  sysex.sysexDump = dump;
  struct {
    VstInt32 numEvents;
    VstIntPtr reserved;
    VstEvent* events[4];
  } list{4,
         0,
         {reinterpret_cast<VstEvent*>(&sysex), nullptr, reinterpret_cast<VstEvent*>(&note),
          reinterpret_cast<VstEvent*>(&sysex)}};
  EXPECT_EQ(plug.fx.Dispatch(effProcessEvents, 0, 0, &list), 1);
  std::vector<Vst2HostEvent> sent = plug.host.Events();
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].type, kVstMidiType);
  EXPECT_EQ(sent[0].byteSize, 32);
  EXPECT_EQ(sent[0].deltaFrames, 12);
  EXPECT_EQ(sent[0].bytes, (std::vector<unsigned char>{0x91, 64, 99, 0}));
  EXPECT_EQ(plug.fx.Dispatch(effProcessEvents, 0, 0, nullptr), 0);

  MidiKeyName key{};
  key.thisKeyNumber = 60;
  std::memset(key.keyName, kSentinel, sizeof key.keyName);
  EXPECT_EQ(plug.fx.Dispatch(effGetMidiKeyName, 0, 0, &key), 0);
  EXPECT_EQ(key.keyName[0], '\0');
}
