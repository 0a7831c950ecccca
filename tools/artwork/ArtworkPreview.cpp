#include "ArtworkPreview.h"

#include "ArtworkLayout.h"
#include "LICE_Composite.h"
#include "LICE_Png.h"

#include <cmath>
#include <memory>

namespace {
namespace layout = artwork_layout;

bool Place(LICE_IBitmap* editor, const std::string& folder, const layout::Strip& s, int frame,
           bool replace, int offsetX) {
  std::unique_ptr<LICE_IBitmap> strip(LICE_DecodePngFile((folder + "/" + s.file).c_str()));
  if (!strip || strip->Width() != s.width || strip->Height() != s.frameHeight * s.frames)
    return false;
  LICE_Rect source{0, frame * s.frameHeight, s.width, (frame + 1) * s.frameHeight};
  LICE_Composite(editor, strip.get(), s.x + offsetX, s.y, &source, 1.0f,
                 replace ? LICE_COMPOSE_COPY : LICE_COMPOSE_COPY | LICE_COMPOSE_SRCALPHA);
  return true;
}

bool ComposeInto(LICE_IBitmap* editor, const std::string& folder, const ArtworkPreview::State& st,
                 int offsetX) {
  using P = ArtworkPreview;
  bool ok = Place(editor, folder, layout::kBackground, 0, true, offsetX);
  ok = ok && Place(editor, folder, layout::kHigh, P::FrameForValue(st.high, 61), false, offsetX);
  ok = ok && Place(editor, folder, layout::kMid, P::FrameForValue(st.mid, 61), false, offsetX);
  ok = ok && Place(editor, folder, layout::kLow, P::FrameForValue(st.low, 61), false, offsetX);
  ok = ok && Place(editor, folder, layout::kInput, P::FrameForValue(st.input, 61), false, offsetX);
  ok =
      ok && Place(editor, folder, layout::kOutput, P::FrameForValue(st.output, 61), false, offsetX);
  ok = ok && Place(editor, folder, layout::kBypass, st.bypassed ? 1 : 0, false, offsetX);
  ok = ok && Place(editor, folder, layout::kMeter, P::FrameForValue(st.meter, 121), false, offsetX);
  return ok;
}
} // namespace

int ArtworkPreview::FrameForValue(double value, int frames) {
  if (frames < 2) return 0;
  const double f = std::trunc((frames - 1) * value + 0.5);
  if (!(f > 0.0)) return 0;
  return f >= frames - 1 ? frames - 1 : (int)f;
}

LICE_MemBitmap* ArtworkPreview::Compose(const std::string& folder, const State& state) {
  return ComposeSheet(folder, &state, 1);
}

LICE_MemBitmap* ArtworkPreview::ComposeSheet(const std::string& folder, const State* states,
                                             int count) {
  if (!states || count < 1) return nullptr;
  const int gap = 12;
  const int width = count * layout::kEditorWidth + (count - 1) * gap;
  std::unique_ptr<LICE_MemBitmap> sheet(new LICE_MemBitmap(width, layout::kEditorHeight));
  LICE_FillArea(sheet.get(), 0, 0, width, layout::kEditorHeight, LICE_MakePixel(20, 20, 22, 255));
  for (int i = 0; i < count; ++i) {
    // The background is taller than the editor; the sheet clips it.
    if (!ComposeInto(sheet.get(), folder, states[i], i * (layout::kEditorWidth + gap)))
      return nullptr;
  }
  return sheet.release();
}
