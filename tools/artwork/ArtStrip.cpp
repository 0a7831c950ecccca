#include "ArtStrip.h"

#include "LICE_Composite.h"

LICE_MemBitmap* ArtStrip::Render(int width, int frameHeight, int frames, const FrameArtist& draw) {
  if (width < 1 || frameHeight < 1 || frames < 1) return nullptr;
  LICE_MemBitmap* strip = new LICE_MemBitmap(width, frameHeight * frames);
  LICE_FillArea(strip, 0, 0, width, frameHeight * frames, 0);
  LICE_MemBitmap frame(width, frameHeight);
  for (int i = 0; i < frames; ++i) {
    LICE_FillArea(&frame, 0, 0, width, frameHeight, 0);
    draw(&frame, i);
    LICE_Composite(strip, &frame, 0, i * frameHeight);
  }
  return strip;
}

bool ArtStrip::ExtractFrame(LICE_IBitmap* strip, int frameHeight, int index, LICE_IBitmap* frame) {
  if (!strip || !frame || frameHeight < 1 || index < 0 ||
      (long long)(index + 1) * frameHeight > strip->Height())
    return false;
  frame->Resize(strip->Width(), frameHeight);
  LICE_Rect source{0, index * frameHeight, strip->Width(), (index + 1) * frameHeight};
  LICE_Composite(frame, strip, 0, 0, &source);
  return true;
}
