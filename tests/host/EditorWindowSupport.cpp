#include "EditorWindowSupport.h"

#include "EditorSnapshot.h"
#include "IControl.h"
#include "IGraphics.h"
#include "LICE_MemBitmap.h"
#include "LICE_Png.h"
#include "TOLVEN.h"

namespace editorwin {

Picture Reference(const std::vector<double>& normalized, double meterLevel) {
  TOLVEN strip{IPlugInstanceInfo()};
  strip.Prepare(44100.0, 512);
  for (int i = 0; i < static_cast<int>(normalized.size()) && i < strip.NumParams(); ++i)
    strip.SetParameterNormalized(i, normalized[static_cast<std::size_t>(i)]);
  LICE_MemBitmap out;
  std::string error;
  Picture picture;
  if (!ComposeEditor(strip, meterLevel, out, error)) return picture;
  picture.width = out.Width();
  picture.height = out.Height();
  picture.rgb.resize(static_cast<std::size_t>(out.Width()) *
                     static_cast<std::size_t>(out.Height()));
  for (int y = 0; y < out.Height(); ++y)
    for (int x = 0; x < out.Width(); ++x)
      picture.rgb[static_cast<std::size_t>(y) * out.Width() + x] =
          out.Pixels()[static_cast<std::size_t>(y) * out.RowSpan() + x] & 0x00FFFFFFu;
  return picture;
}

std::vector<IBox> ControlBoxes() {
  TOLVEN strip{IPlugInstanceInfo()};
  std::vector<IBox> boxes;
  if (auto* editor = dynamic_cast<IGraphics*>(strip.GetEditor()))
    for (int i = 0; i < editor->NumControls(); ++i)
      boxes.push_back(editor->GetControl(i)->Area());
  return boxes;
}

POINT Centre(const IBox& box) {
  return POINT{(box.L + box.R) / 2, (box.T + box.B) / 2};
}

bool SavePng(const Picture& picture, const std::string& path) {
  LICE_MemBitmap bitmap(picture.width, picture.height);
  if (bitmap.Width() != picture.width || !bitmap.Pixels()) return false;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      bitmap.Pixels()[static_cast<std::size_t>(y) * bitmap.RowSpan() + x] =
          picture.At(x, y) | 0xFF000000u;
  return LICE_WritePng(path.c_str(), &bitmap, false);
}

} // namespace editorwin
