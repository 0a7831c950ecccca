#include "IGraphicsWin.h"
#include "MakeGraphics.h"

// Windows builds give the editor its native child window.
IGraphics* MakeGraphics(IPlugBase* plugin, int width, int height, int frameRate) {
  return new IGraphicsWin(plugin, width, height, frameRate);
}
