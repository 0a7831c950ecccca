#pragma once

#include "IGraphics.h"

#include <cstdint>

// The channel strip's editor: a fixed 135 x 662 panel redrawn 25 times a
// second, made of the background, five knobs, the IN switch and the VU meter,
// every one drawn from a PNG strip among the module's resources.
constexpr int kTOLVENEditorWidth = 135;
constexpr int kTOLVENEditorHeight = 662;
constexpr int kTOLVENEditorFrameRate = 25;

// Resource ids of the editor's images.
enum ETOLVENImage : int {
  kImageBackground = 101,
  kImageBypass = 102,
  kImageHighKnob = 103,
  kImageMidKnob = 104,
  kImageLowKnob = 105,
  kImageInputKnob = 106,
  kImageOutputKnob = 107,
  kImageMeter = 110
};

// Builds the complete editor description for plugin: loads the images and
// creates the controls in their fixed order (index 0 the background, 1..5 the
// knobs for high, mid, low, input and output, 6 the switch, 7 the meter).
// Stores the meter's index in *meterControl. The caller hands the result to
// the plug-in base (AttachEditor).
IGraphics* MakeTOLVENEditor(IPlugBase* plugin, int32_t* meterControl);
