#include "IGraphicsHeadless.h"
#include "MakeGraphics.h"

// The headless backend stands in until a build has a native window backend.
IGraphics* MakeGraphics(IPlugBase* plugin, int width, int height, int frameRate) {
  return new IGraphicsHeadless(plugin, width, height, frameRate);
}
