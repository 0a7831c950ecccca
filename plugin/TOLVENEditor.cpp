#include "TOLVENEditor.h"

#include "IBitmapControl.h"
#include "IKnobMultiControl.h"
#include "ISwitchControl.h"
#include "MakeGraphics.h"
#include "TOLVENIdentity.h"

namespace {

constexpr int kKnobFrames = 61;
constexpr int kSwitchFrames = 2;
constexpr int kMeterFrames = 121;

struct KnobPlace {
  int imageId;
  const char* imageName;
  int x;
  int y;
  int paramIndex;
};

// Top to bottom on the panel the output knob comes first, but the list keeps
// the bands first: high, mid, low, then input and output.
constexpr KnobPlace kKnobs[] = {
    {kImageHighKnob, "resources/img/HG.png", 32, 219, kHighGain},
    {kImageMidKnob, "resources/img/MG.png", 32, 302, kMidGain},
    {kImageLowKnob, "resources/img/LG.png", 32, 390, kLowGain},
    {kImageInputKnob, "resources/img/IN.png", 16, 479, kInputGain},
    {kImageOutputKnob, "resources/img/OUT.png", 18, 107, kOutputGain},
};

} // namespace

IGraphics* MakeTOLVENEditor(IPlugBase* plugin, int32_t* meterControl) {
  IGraphics* graphics =
      MakeGraphics(plugin, kTOLVENEditorWidth, kTOLVENEditorHeight, kTOLVENEditorFrameRate);

  const IImage background = graphics->LoadImage(kImageBackground, "resources/img/BG.png", 1);
  graphics->SetBackground(new IBitmapControl(plugin, 0, 0, -1, background, IBlend::BlendReplace));

  for (const KnobPlace& knob : kKnobs) {
    const IImage image = graphics->LoadImage(knob.imageId, knob.imageName, kKnobFrames);
    graphics->AddControl(new IKnobMultiControl(plugin, knob.x, knob.y, knob.paramIndex, image,
                                               IKnobControl::Vertical, 4.0));
  }

  const IImage bypass = graphics->LoadImage(kImageBypass, "resources/img/BY.png", kSwitchFrames);
  graphics->AddControl(new ISwitchControl(plugin, 28, 594, kBypass, bypass));

  const IImage meter = graphics->LoadImage(kImageMeter, "resources/img/VU.png", kMeterFrames);
  const int meterIndex = graphics->AddControl(new IBitmapControl(plugin, 5, 4, -1, meter));
  if (meterControl) *meterControl = meterIndex;
  return graphics;
}
