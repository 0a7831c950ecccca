#include "EditorSnapshot.h"

#include "IGraphics.h"
#include "IPlugBase.h"
#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

bool ComposeEditor(IPlugBase& plugin, double meterLevel, LICE_MemBitmap& out, std::string& error) {
  IGraphics* graphics = dynamic_cast<IGraphics*>(plugin.GetEditor());
  if (!graphics || graphics->NumControls() == 0) {
    error = "the plug-in has no editor";
    return false;
  }
  if (!graphics->Surface()) graphics->PrepareSurfaces();
  const int width = graphics->Width(), height = graphics->Height();
  graphics->SetControlValueFromHost(graphics->NumControls() - 1, meterLevel);
  // Whatever the backend presents to, the composition lands in the surface.
  graphics->Redraw(IBox(0, 0, width, height));
  LICE_SysBitmap* surface = graphics->Surface();
  out.Resize(width, height);
  if (!surface || !surface->Pixels() || out.Width() != width || out.Height() != height ||
      !out.Pixels()) {
    error = "no memory for the editor picture";
    return false;
  }
  LICE_Composite(&out, surface, 0, 0, nullptr, 1.0f, LICE_COMPOSE_COPY);
  return true;
}
