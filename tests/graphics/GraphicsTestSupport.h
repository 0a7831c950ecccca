#pragma once

// Shared pieces of the graphics tests: a plug-in base with a recording stub
// binding, image strips whose frames can be told apart by colour, a control
// that logs what the core does to it, and a headless editor whose menus and
// text entries can be scripted.

#include "IBitmapControl.h"
#include "IControl.h"
#include "IGraphicsHeadless.h"
#include "IMenuTree.h"
#include "IPlugBase.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

#include <atomic>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

inline constexpr PluginIdentity kGraphicsTestIdentity = {"GRAPHICS TEST",
                                                         "",
                                                         "Test",
                                                         0x00010000,
                                                         FourCharCode("GTst"),
                                                         FourCharCode("Test"),
                                                         "1-1 2-2",
                                                         6,
                                                         1,
                                                         0,
                                                         false,
                                                         false,
                                                         false};

// A plug-in base with the channel strip's parameter table and a binding that
// records what the editor tells the host.
class GraphicsTestPlug : public IPlugBase {
public:
  explicit GraphicsTestPlug(int format = kFormatVST2) : IPlugBase(kGraphicsTestIdentity, format) {
    GetParam(0)->DefineDouble("High Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(1)->DefineDouble("Mid Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(2)->DefineDouble("Low Gain 1", 0.5, 0.0, 1.0, 0.01, "%");
    GetParam(3)->DefineDouble("Input 1", 0.0, -24.0, 24.0, 0.01, "dB");
    GetParam(4)->DefineDouble("Output 1", 0.0, -24.0, 24.0, 0.01, "dB");
    GetParam(5)->DefineInteger("Bypass 1", 0, 0, 1, "");
  }

  void ParameterChanged(int index) override { changed.push_back(index); }
  void BeginParamEdit(int index) override { edits.push_back("begin " + std::to_string(index)); }
  void NotifyHostParamChange(int index, double normalized) override {
    notified.emplace_back(index, normalized);
  }
  void EndParamEdit(int index) override { edits.push_back("end " + std::to_string(index)); }
  void HostParamContextMenu(int index, int x, int y) override {
    contextMenus.emplace_back(index, x, y);
  }
  void NotifyHostProgramChange() override {}
  int HostSamplePosition() override { return 0; }
  double HostTempo() override { return 0.0; }
  void HostTimeSignature(int* numerator, int* denominator) override {
    *numerator = 4;
    *denominator = 4;
  }
  void HostTimeInfo(TimeInfo* info) override { *info = TimeInfo(); }
  void EditorSizeChanged(int width, int height) override { sizes.emplace_back(width, height); }
  bool SendMidiToHost(const MidiMessage&) override { return false; }

  std::vector<int> changed;
  std::vector<std::string> edits;
  std::vector<std::pair<int, double>> notified;
  std::vector<std::tuple<int, int, int>> contextMenus;
  std::vector<std::pair<int, int>> sizes;
};

// Frame k (1-based) of a test strip is filled with this opaque colour.
inline LICE_PixelWord FrameColour(int frame) {
  return LICE_MakePixel(frame & 0xFF, 255 - (frame & 0xFF), (frame * 7) & 0xFF, 255);
}

inline LICE_PixelWord PixelAt(LICE_IBitmap* bitmap, int x, int y) {
  return bitmap->Pixels()[static_cast<std::size_t>(y) * bitmap->RowSpan() + x];
}

// A strip of frames of frameW x frameH, stacked (or side by side), each
// filled with FrameColour of its number.
inline std::unique_ptr<LICE_MemBitmap> MakeStrip(int frameW, int frameH, int frames,
                                                 bool horizontal = false) {
  const int w = horizontal ? frameW * frames : frameW;
  const int h = horizontal ? frameH : frameH * frames;
  auto strip = std::make_unique<LICE_MemBitmap>(w, h);
  for (int k = 1; k <= frames; ++k) {
    const int x = horizontal ? (k - 1) * frameW : 0;
    const int y = horizontal ? 0 : (k - 1) * frameH;
    LICE_FillArea(strip.get(), x, y, frameW, frameH, FrameColour(k));
  }
  return strip;
}

inline IImage ImageOf(LICE_MemBitmap* strip, int frames, bool horizontal = false) {
  return IImage(strip, strip->Width(), strip->Height(), frames, horizontal);
}

// A control that records every call the core makes, in a log shared by
// several controls so the order across controls can be checked.
class ProbeControl : public IControl {
public:
  ProbeControl(std::vector<std::string>& log, const char* name, IPlugBase* plugin, const IBox& area,
               int paramIndex = -1)
      : IControl(plugin, area, paramIndex), mLog(log), mName(name) {}

  void OnPress(int x, int y, const IMouseKeys& keys) override {
    Log("press", x, y);
    IControl::OnPress(x, y, keys);
  }
  void OnRelease(int x, int y, const IMouseKeys&) override { Log("release", x, y); }
  void OnDrag(int x, int y, int dx, int dy, const IMouseKeys&) override {
    Log("drag", x, y, " " + std::to_string(dx) + " " + std::to_string(dy));
  }
  void OnDoublePress(int x, int y, const IMouseKeys& keys) override {
    Log("double", x, y);
    IControl::OnDoublePress(x, y, keys);
  }
  void OnWheel(int x, int y, const IMouseKeys&, int notches) override {
    Log("wheel", x, y, " " + std::to_string(notches));
  }
  bool OnKey(int x, int y, int key) override {
    Log("key", x, y, " " + std::to_string(key));
    return takesKeys;
  }
  void OnHover(int x, int y, const IMouseKeys&) override { Log("hover", x, y); }
  void OnLeave() override { mLog.push_back(mName + " leave"); }
  bool Draw(IGraphics&) override {
    mLog.push_back(mName + " draw");
    return true;
  }

  bool takesKeys = true;

private:
  void Log(const char* what, int x, int y, const std::string& extra = "") {
    mLog.push_back(mName + " " + what + " " + std::to_string(x) + "," + std::to_string(y) + extra);
  }
  std::vector<std::string>& mLog;
  std::string mName;
};

// A headless editor whose menus answer with a scripted choice and whose text
// entries are recorded; it can also serve made-up image resources.
class ScriptedGraphics : public IGraphicsHeadless {
public:
  using IGraphicsHeadless::IGraphicsHeadless;

  IMenuTree* ShowMenu(IMenuTree& menu, const IBox& area) override {
    IGraphicsHeadless::ShowMenu(menu, area);
    shownMenus.emplace_back();
    for (int i = 0; i < menu.NumEntries(); ++i)
      shownMenus.back().push_back(menu.Entry(i)->text +
                                  ((menu.Entry(i)->flags & IMenuEntry::Checked) ? "*" : ""));
    menuArea = area;
    if (menuChoice < 0) return nullptr;
    menu.SetChosenIndex(menuChoice);
    return &menu;
  }
  void OpenTextEntry(IControl* control, const ITextStyle&, const IBox& area, const char* text,
                     IParameter* parameter) override {
    entries.push_back(text);
    entryArea = area;
    entryControl = control;
    entryParam = parameter;
  }
  LICE_IBitmap* LoadImageResource(int resourceId, const char* name) override {
    ++loads;
    if (resourceId == servedId) return MakeStrip(servedW, servedH, 1).release();
    return IGraphicsHeadless::LoadImageResource(resourceId, name);
  }

  int menuChoice = -1;
  std::vector<std::vector<std::string>> shownMenus;
  IBox menuArea;
  std::vector<std::string> entries;
  IBox entryArea;
  IControl* entryControl = nullptr;
  IParameter* entryParam = nullptr;
  std::atomic<int> loads{0};
  int servedId = -1;
  int servedW = 0;
  int servedH = 0;
};

// Image-cache ids are process-wide; each test takes fresh ones.
inline int FreshImageId() {
  static std::atomic<int> next{50000};
  return next++;
}
