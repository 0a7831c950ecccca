#pragma once

// A plug-in defined like the channel strip (identity, I/O string, six
// parameters) that records what it tells the host, and a fake editor.

#include "IPlugBase.h"

#include <utility>
#include <vector>

inline constexpr PluginIdentity kStripIdentity = {"TOLVEN",
                                                  "",
                                                  "Oskavarine",
                                                  0x00010000,
                                                  FourCharCode("TLV1"),
                                                  FourCharCode("Oska"),
                                                  "1-1 2-2",
                                                  6,
                                                  1,
                                                  0,
                                                  false,
                                                  false,
                                                  false};

inline PluginIdentity IdentityWith(const char* io, int numPresets = 1) {
  PluginIdentity identity = kStripIdentity;
  identity.channelIOString = io;
  identity.numPresets = numPresets;
  return identity;
}

using Values = std::vector<double>;
using Pairs = std::vector<std::pair<int, double>>;

class TestPlug : public IPlugBase {
public:
  explicit TestPlug(const PluginIdentity& identity = kStripIdentity, int format = kFormatVST2)
      : IPlugBase(identity, format) {
    GetParam(0)->DefineDouble("High Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(1)->DefineDouble("Mid Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(2)->DefineDouble("Low Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(3)->DefineDouble("Input 1", 0.0, -24.0, 24.0, 0.01, "%");
    GetParam(4)->DefineDouble("Output 1", 0.0, -24.0, 24.0, 0.01, "%");
    for (int i = 0; i < 5; ++i)
      GetParam(i)->SetShape(1.0);
    GetParam(5)->DefineInteger("Bypass 1", 0, 0, 1, "");
  }

  void Set(const Values& values) {
    for (std::size_t i = 0; i < values.size(); ++i)
      GetParam(static_cast<int>(i))->SetValue(values[i]);
  }
  Values Get() const {
    Values values;
    for (int i = 0; i < NumParams(); ++i)
      values.push_back(GetParam(i)->Value());
    return values;
  }

  void ParameterChanged(int index) override { changed.push_back(index); }
  void HostChangedPresets() override { ++presetChanges; }
  void BeginParamEdit(int) override {}
  void NotifyHostParamChange(int index, double value) override {
    notified.emplace_back(index, value);
  }
  void EndParamEdit(int) override {}
  void NotifyHostProgramChange() override {}
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* numerator, int* denominator) override {
    *numerator = *denominator = 0;
  }
  void HostTimeInfo(TimeInfo* info) override { *info = TimeInfo(); }
  void EditorSizeChanged(int, int) override {}
  bool SendMidiToHost(const MidiMessage& message) override {
    midiSent.push_back(message);
    return true;
  }

  std::vector<int> changed;
  Pairs notified;
  std::vector<MidiMessage> midiSent;
  int presetChanges = 0;
};

struct EditorLog {
  Pairs normalized, real; // SetParamFromHost calls by kind of value
  int preparedSurfaces = 0;
  bool deleted = false;
};

class FakeEditor : public IPlugEditor {
public:
  explicit FakeEditor(EditorLog& log) : mLog(log) {}
  ~FakeEditor() override { mLog.deleted = true; }
  void SetParamFromHost(int index, double value, bool normalized) override {
    (normalized ? mLog.normalized : mLog.real).emplace_back(index, value);
  }
  void PrepareSurfaces() override { ++mLog.preparedSurfaces; }
  int Width() const override { return 135; }
  int Height() const override { return 662; }
  int NumControls() const override { return 0; }
  void SetControlValueFromHost(int, double) override {}
  void* OpenEditorWindow(void*) override { return nullptr; }
  void CloseEditorWindow() override {}
  bool IsEditorOpen() const override { return false; }

private:
  EditorLog& mLog;
};
