#include "ArtworkSet.h"

#include "ButtonArtist.h"
#include "KnobArtist.h"
#include "LICE_Png.h"
#include "MeterArtist.h"
#include "PanelArtist.h"

namespace {
namespace layout = artwork_layout;

// Cap colours of the three bands, as consoles colour-code their equalisers.
const ArtColour kHighCap = ArtRgb(184, 40, 32);
const ArtColour kMidCap = ArtRgb(36, 128, 74);
const ArtColour kLowCap = ArtRgb(36, 84, 168);

LICE_MemBitmap* Draw(const layout::Strip& s) {
  switch (s.id) {
  case layout::kBackground.id:
    return PanelArtist().Render(s.width, s.frameHeight);
  case layout::kBypass.id:
    return ButtonArtist().RenderStrip(s.width, s.frameHeight);
  case layout::kHigh.id:
    return KnobArtist(KnobArtist::BandKnob(kHighCap)).RenderStrip(s.width, s.frameHeight, s.frames);
  case layout::kMid.id:
    return KnobArtist(KnobArtist::BandKnob(kMidCap)).RenderStrip(s.width, s.frameHeight, s.frames);
  case layout::kLow.id:
    return KnobArtist(KnobArtist::BandKnob(kLowCap)).RenderStrip(s.width, s.frameHeight, s.frames);
  case layout::kInput.id:
  case layout::kOutput.id:
    return KnobArtist(KnobArtist::GainKnob()).RenderStrip(s.width, s.frameHeight, s.frames);
  case layout::kMeter.id:
    return MeterArtist(s.width, s.frameHeight).RenderStrip(s.frames);
  default:
    return nullptr;
  }
}
} // namespace

ArtworkSet::ArtworkSet() = default;
ArtworkSet::~ArtworkSet() = default;

bool ArtworkSet::Render() {
  bool ok = true;
  for (int i = 0; i < kCount; ++i) {
    mImages[i].reset(Draw(layout::kStrips[i]));
    const layout::Strip& s = layout::kStrips[i];
    if (!mImages[i] || mImages[i]->Width() != s.width ||
        mImages[i]->Height() != s.frameHeight * s.frames)
      ok = false;
  }
  return ok;
}

LICE_IBitmap* ArtworkSet::Image(int id) const {
  for (int i = 0; i < kCount; ++i)
    if (layout::kStrips[i].id == id) return mImages[i].get();
  return nullptr;
}

bool ArtworkSet::Write(const std::string& folder, std::string& error) const {
  for (int i = 0; i < kCount; ++i) {
    const layout::Strip& s = layout::kStrips[i];
    const std::string path = folder + "/" + s.file;
    if (!mImages[i]) {
      error = std::string("not drawn: ") + s.file;
      return false;
    }
    // The background and the meter are opaque; leaving out their alpha
    // keeps the embedded files smaller.
    const bool opaque = s.id == layout::kBackground.id || s.id == layout::kMeter.id;
    if (!LICE_WritePng(path.c_str(), mImages[i].get(), !opaque)) {
      error = "cannot write " + path;
      return false;
    }
  }
  return true;
}
