#include "IGraphics.h"

#include "IControl.h"
#include "IFontCache.h"
#include "IImageCache.h"
#include "IMenuTree.h"
#include "IPlugBase.h"
#include "LICE_Composite.h"
#include "LICE_MemBitmap.h"
#include "LICE_SysBitmap.h"

#include <charconv>
#include <cstring>

IGraphics::IGraphics(IPlugBase* plugin, int width, int height, int frameRate)
    : mPlugin(plugin), mWidth(width), mHeight(height), mFrameRate(frameRate) {}

IGraphics::~IGraphics() {
  mKeyCatcher.reset();
  DeleteControls();
  mSurface.reset();
  mScratch.reset();
}

void IGraphics::DeleteControls() {
  while (!mControls.empty()) {
    delete mControls.back();
    mControls.pop_back();
  }
}

// ---- Virtual operations with a base behaviour -------------------------------------

bool IGraphics::MeasureText(ITextStyle& style, const char* text, IBox& area) {
  return RenderText(style, text, area, true);
}

void IGraphics::ResizeEditor(int width, int height) {
  {
    // The audio thread writes the meter control through the control list
    // under the plug-in base's lock; deleting the controls while it does so
    // would pull them from under it.
    std::unique_ptr<ScopedLock> guard;
    if (mPlugin) guard.reset(new ScopedLock(mPlugin->GetLock()));
    mWidth = width;
    mHeight = height;
    ReleaseCapture();
    mHoverIndex = -1;
    DeleteControls();
  }
  mSurface.reset();
  mScratch.reset();
  PrepareSurfaces();
  if (mPlugin) mPlugin->EditorSizeChanged(width, height);
}

bool IGraphics::IsEditorOpen() const {
  return EditorWindowHandle() != nullptr;
}

const char* IGraphics::ApiName() const {
  return "";
}

// ---- Editor interface ----------------------------------------------------------------

void IGraphics::PrepareSurfaces() {
  mSurface.reset(new LICE_SysBitmap(mWidth, mHeight));
  mScratch.reset(new LICE_MemBitmap());
}

void IGraphics::SetParamFromHost(int paramIndex, double value, bool normalized) {
  // -1 is what controls without a parameter carry; it names no parameter.
  if (paramIndex < 0) return;
  if (!normalized) {
    const IParameter* param = mPlugin ? mPlugin->GetParam(paramIndex) : nullptr;
    if (!param) return;
    value = param->ToNormalized(value);
  }
  for (IControl* control : mControls) {
    if (control->ParamIndex() == paramIndex) control->SetValueFromHost(value);
    const int bindings = control->NumAuxBindings();
    for (int position = 0; position < bindings; ++position) {
      if (control->AuxBinding(position)->paramIndex == paramIndex) {
        control->SetAuxValueFromHost(position, value);
        break;
      }
    }
  }
}

void IGraphics::SetControlValueFromHost(int controlIndex, double value) {
  if (IControl* control = GetControl(controlIndex)) control->SetValueFromHost(value);
}

// ---- Controls ---------------------------------------------------------------------------

int IGraphics::AddControl(IControl* control) {
  if (!control) return -1;
  mControls.push_back(control);
  return NumControls() - 1;
}

void IGraphics::SetBackground(IControl* control) {
  if (!control) return;
  mControls.insert(mControls.begin(), control);
}

IControl* IGraphics::GetControl(int index) const {
  if (index < 0 || index >= NumControls()) return nullptr;
  return mControls[static_cast<std::size_t>(index)];
}

void IGraphics::SetKeyCatcher(IControl* control) {
  mKeyCatcher.reset(control);
}

void IGraphics::MarkAllDirty() {
  for (IControl* control : mControls)
    control->MarkDirty(false);
}

// ---- Images and drawing -------------------------------------------------------------------

IImage IGraphics::LoadImage(int resourceId, const char* name, int frameCount) {
  LICE_IBitmap* raster = IImageCache::Find(resourceId);
  if (!raster) {
    // Decoding happens outside the cache's lock. A failed load is not
    // remembered, so the next call for this id tries again.
    raster = LoadImageResource(resourceId, name);
    if (raster) raster = IImageCache::Add(resourceId, raster);
  }
  if (!raster) return IImage(nullptr, 0, 0, frameCount, false);
  return IImage(raster, raster->Width(), raster->Height(), frameCount, false);
}

bool IGraphics::DrawImage(const IImage& image, const IBox& dest, int srcX, int srcY,
                          const IBlend* blend) {
  const IBox r = IBox::Intersection(dest, mDrawArea);
  if (r.Empty() || !image.raster || !mSurface) return true;
  const LICE_Rect source = {srcX + r.L - dest.L, srcY + r.T - dest.T, srcX + r.R - dest.L,
                            srcY + r.B - dest.T};
  LICE_Composite(mSurface.get(), image.raster, r.L, r.T, &source, IBlend::Weight(blend),
                 IBlend::ComposeMode(blend));
  return true;
}

bool IGraphics::Redraw(const IBox& area) {
  if (mControls.empty()) return true;
  const int count = NumControls();
  if (mStrictDrawing) {
    mDrawArea = area;
    for (IControl* control : mControls) {
      const IBox& box = control->Area();
      if (!control->IsHidden() && !area.Empty() && !box.Empty() && IBox::Overlaps(area, box))
        control->Draw(*this);
      control->MarkClean();
    }
  } else if (mControls[0]->NeedsRedraw()) {
    mDrawArea = mControls[0]->Area();
    for (int i = 0; i < count; ++i) {
      IControl* control = mControls[static_cast<std::size_t>(i)];
      if (i != 0 && control->IsHidden()) continue;
      control->Draw(*this);
      control->MarkClean();
    }
  } else {
    for (int i = 1; i < count; ++i) {
      IControl* dirty = mControls[static_cast<std::size_t>(i)];
      if (!dirty->NeedsRedraw()) continue;
      mDrawArea = dirty->Area();
      for (int j = 0; j < count; ++j) {
        IControl* control = mControls[static_cast<std::size_t>(j)];
        if (control->IsHidden()) continue;
        const IBox& box = control->Area();
        if (j == i || (!box.Empty() && !mDrawArea.Empty() && IBox::Overlaps(box, mDrawArea)))
          control->Draw(*this);
      }
      dirty->MarkClean();
    }
  }
  return PresentArea(area);
}

bool IGraphics::CollectDirty(IBox& area) const {
  bool any = false;
  IBox dirtyArea;
  for (const IControl* control : mControls) {
    if (!control->NeedsRedraw()) continue;
    dirtyArea = IBox::Union(dirtyArea, control->Area());
    any = true;
  }
  if (any) area = dirtyArea;
  return any;
}

bool IGraphics::RenderText(ITextStyle& style, const char* text, IBox& area, bool measure) {
  if (!text || !*text) return true;
  LICE_IFont* font = style.cachedFont;
  if (!font) {
    font = IFontCache::Get(style);
    if (!font) return false;
    style.cachedFont = font;
  }
  const LICE_PixelWord colour = style.colour.ToPixel();
  font->SetTextColour(colour);
  unsigned int flags = LICE_TEXT_NOCLIP;
  if (style.align == ITextStyle::AlignCentre) flags |= LICE_TEXT_CENTRE;
  if (style.align == ITextStyle::AlignFar) flags |= LICE_TEXT_RIGHT;
  if (LICE_PixelAlpha(colour) != 255) flags |= LICE_TEXT_COLOURALPHA;

  if (measure) {
    LICE_Rect extent = {0, 0, 0, 0};
    font->DrawText(nullptr, text, -1, &extent, flags | LICE_TEXT_MEASURE);
    const int textWidth = extent.right - extent.left;
    const int textHeight = extent.bottom - extent.top;
    area.B = area.T + textHeight;
    if (style.align == ITextStyle::AlignCentre) {
      area.L = static_cast<int>((static_cast<double>(area.L) + area.R) * 0.5) - textWidth / 2;
      area.R = area.L + textWidth;
    } else if (style.align == ITextStyle::AlignFar) {
      area.L = area.R - textWidth;
    } else {
      // Near: the measured extent starts at the area's left edge.
      area.R = area.L + textWidth;
    }
    return true;
  }
  LICE_Rect box = {area.L, area.T, area.R, area.B};
  font->DrawText(mSurface.get(), text, -1, &box, flags);
  return true;
}

void IGraphics::PromptParamInput(IControl* control, IParameter* parameter, const IBox& area) {
  if (!control || !parameter) return;
  if (!parameter->IsDouble() && parameter->NumDisplayTexts() > 0) {
    char current[kParamTextSize];
    parameter->FormatForHost(parameter->Value(), false, current);
    IMenuTree menu;
    const int count = parameter->NumDisplayTexts();
    for (int value = 0; value < count; ++value) {
      const char* text = "";
      for (int k = 0; k < count; ++k) {
        const DisplayTextEntry* entry = parameter->GetDisplayText(k);
        if (entry && entry->value == value) {
          text = entry->text;
          break;
        }
      }
      menu.AddItem(text, std::strcmp(text, current) == 0 ? IMenuEntry::Checked : 0);
    }
    IMenuTree* chosen = ShowMenu(menu, area);
    if (chosen && chosen->ChosenIndex() >= 0)
      control->SetValueFromEntry(parameter->ToNormalized(chosen->ChosenIndex()));
    return;
  }
  double value = parameter->Value();
  if (parameter->NegateDisplay()) value = -value;
  // Formatted as "%.*f" (or "%d" of the integer part without decimals), but
  // in the C locale whatever locale the host runs in, so the entry reads back.
  char text[400];
  const int precision = parameter->DisplayPrecision();
  std::to_chars_result result;
  if (precision > 0)
    result =
        std::to_chars(text, text + sizeof(text) - 1, value, std::chars_format::fixed, precision);
  else
    result = std::to_chars(text, text + sizeof(text) - 1, SaturatingTrunc(value));
  *(result.ec == std::errc() ? result.ptr : text) = '\0';
  OpenTextEntry(control, control->TextStyle(), area, text, parameter);
}

// ---- Input ----------------------------------------------------------------------------------

int IGraphics::HitTest(int x, int y) const {
  for (int i = NumControls() - 1; i >= 0; --i) {
    const IControl* control = mControls[static_cast<std::size_t>(i)];
    if (!control->IsHidden() && !control->IsGreyed() && control->Contains(x, y)) return i;
  }
  return -1;
}

int IGraphics::HoverHitTest(int x, int y) const {
  for (int i = NumControls() - 1; i >= 0; --i) {
    const IControl* control = mControls[static_cast<std::size_t>(i)];
    if (control->IsHidden()) continue;
    if (control->IsGreyed() && !control->HoverWhenGreyed()) continue;
    if (control->Contains(x, y)) return i;
  }
  return -1;
}

int IGraphics::ValidCapture() const {
  return mCaptureIndex >= 0 && mCaptureIndex < NumControls() ? mCaptureIndex : -1;
}

void IGraphics::ReleaseCapture() {
  mCaptureIndex = -1;
  mLastMouseX = -1;
  mLastMouseY = -1;
}

void IGraphics::EndOpenEdit() {
  const int paramIndex = mEditParam;
  mEditParam = -1;
  if (mPlugin && paramIndex >= 0) mPlugin->EndParamEdit(paramIndex);
}

void IGraphics::DispatchPress(int x, int y, const IMouseKeys& keys) {
  EndOpenEdit(); // a press whose release never arrived
  ReleaseCapture();
  const int hit = HitTest(x, y);
  if (hit < 0) return;
  IControl* control = mControls[static_cast<std::size_t>(hit)];
  mCaptureIndex = hit;
  mLastMouseX = x;
  mLastMouseY = y;
  const int paramIndex = control->ParamIndex();
  if (mPlugin && mPlugin->PluginFormat() == kFormatVST3 && keys.right && paramIndex >= 0) {
    ReleaseCapture();
    mPlugin->HostParamContextMenu(paramIndex, x, y);
    return;
  }
  if (mPlugin && paramIndex >= 0) {
    mPlugin->BeginParamEdit(paramIndex);
    mEditParam = paramIndex;
  }
  control->OnPress(x, y, keys);
}

bool IGraphics::DispatchDoublePress(int x, int y, const IMouseKeys& keys) {
  ReleaseCapture();
  const int hit = HitTest(x, y);
  if (hit < 0) return false;
  IControl* control = mControls[static_cast<std::size_t>(hit)];
  if (control->DoubleAsPress()) {
    mCaptureIndex = hit;
    mLastMouseX = x;
    mLastMouseY = y;
    control->OnPress(x, y, keys);
    return true;
  }
  control->OnDoublePress(x, y, keys);
  return false;
}

void IGraphics::DispatchDrag(int x, int y, const IMouseKeys& keys) {
  const int target = ValidCapture();
  if (target < 0) return;
  if (x == mLastMouseX && y == mLastMouseY) return;
  // Differences in wide arithmetic: far-off coordinates must not overflow.
  const int dx = SaturatingTrunc(static_cast<double>(x) - mLastMouseX);
  const int dy = SaturatingTrunc(static_cast<double>(y) - mLastMouseY);
  mLastMouseX = x;
  mLastMouseY = y;
  mControls[static_cast<std::size_t>(target)]->OnDrag(x, y, dx, dy, keys);
}

void IGraphics::DispatchRelease(int x, int y, const IMouseKeys& keys) {
  int target = ValidCapture();
  if (target < 0) target = HitTest(x, y);
  ReleaseCapture();
  if (target >= 0) mControls[static_cast<std::size_t>(target)]->OnRelease(x, y, keys);
  // Only an edit that a press began is ended: after a double press or a VST3
  // context-menu press a lone end would reach the host, which some refuse.
  EndOpenEdit();
}

void IGraphics::DispatchWheel(int x, int y, const IMouseKeys& keys, int notches) {
  int target = ValidCapture();
  if (target < 0) target = HitTest(x, y);
  if (target < 0) return;
  mControls[static_cast<std::size_t>(target)]->OnWheel(x, y, keys, notches);
}

bool IGraphics::DispatchKey(int x, int y, int key) {
  int target = ValidCapture();
  if (target < 0) target = HitTest(x, y);
  IControl* control = target > 0 ? mControls[static_cast<std::size_t>(target)] : nullptr;
  if (!control) control = mKeyCatcher.get();
  if (!control) return false;
  return control->OnKey(x, y, key);
}

bool IGraphics::DispatchHover(int x, int y, const IMouseKeys& keys) {
  if (!mHandleHover) return mHandleHover;
  int target = ValidCapture();
  if (target < 0) target = HoverHitTest(x, y);
  if (target < 0) return true;
  mLastMouseX = x;
  mLastMouseY = y;
  mControls[static_cast<std::size_t>(target)]->OnHover(x, y, keys);
  if (mHoverIndex != target && mHoverIndex >= 0 && mHoverIndex < NumControls())
    mControls[static_cast<std::size_t>(mHoverIndex)]->OnLeave();
  mHoverIndex = target;
  return true;
}

void IGraphics::DispatchLeave() {
  for (IControl* control : mControls)
    control->OnLeave();
  mHoverIndex = -1;
}
