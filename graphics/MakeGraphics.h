#pragma once

#include "IGraphics.h"

// Creates the editor object of the window backend this build uses (chosen
// when the project is configured). The caller owns the result, normally by
// handing it to the plug-in base with AttachEditor. Never null.
IGraphics* MakeGraphics(IPlugBase* plugin, int width, int height,
                        int frameRate = IGraphics::kDefaultFrameRate);
