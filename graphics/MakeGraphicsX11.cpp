#include "IGraphicsX11.h"
#include "MakeGraphics.h"

// Linux editors live in the host's X11 windows.
IGraphics* MakeGraphics(IPlugBase* plugin, int width, int height, int frameRate) {
  return new IGraphicsX11(plugin, width, height, frameRate);
}
