#include "IControl.h"

#include "IGraphics.h"
#include "IPlugBase.h"

#include <cmath>
#include <cstdio>

IControl::IControl(IPlugBase* plugin, const IBox& area, int paramIndex, int blendMethod)
    : mPlugin(plugin), mArea(area), mTargetArea(area), mParamIndex(paramIndex),
      mBlend(blendMethod, 1.0f) {}

IControl::~IControl() = default;

void IControl::OnPress(int /*x*/, int /*y*/, const IMouseKeys& keys) {
  if (!keys.right) return;
  if (mParamIndex < 0 || mPromptDisabled || !mPlugin) return;
  IParameter* param = mPlugin->GetParam(mParamIndex);
  // The prompt is the core's business; reach it through the editor the
  // plug-in base holds (it is always the graphics object that owns us).
  IGraphics* graphics = dynamic_cast<IGraphics*>(mPlugin->GetEditor());
  if (!param || !graphics) return;
  graphics->PromptParamInput(this, param, PromptArea());
  mPendingRedraw = true;
}

IBox IControl::PromptArea() const {
  const IParameter* param = mPlugin ? mPlugin->GetParam(mParamIndex) : nullptr;
  if (param && param->NumDisplayTexts() > 0) return mArea;
  const int cx = static_cast<int>((static_cast<double>(mArea.L) + mArea.R) * 0.5);
  const int cy = static_cast<int>((static_cast<double>(mArea.T) + mArea.B) * 0.5);
  return IBox(cx - 20, cy - 8, cx + 20, cy + 8);
}

void IControl::OnRelease(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {}

void IControl::OnDrag(int /*x*/, int /*y*/, int /*dx*/, int /*dy*/, const IMouseKeys& /*keys*/) {}

void IControl::OnDoublePress(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {
  const double defaultValue = mDefaultValue;
  if (!(defaultValue >= 0.0)) return;
  mValue = defaultValue;
  MarkDirty(true);
}

void IControl::OnWheel(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/, int /*notches*/) {}

bool IControl::OnKey(int /*x*/, int /*y*/, int /*key*/) {
  return false;
}

void IControl::OnHover(int /*x*/, int /*y*/, const IMouseKeys& /*keys*/) {}

void IControl::OnLeave() {}

void IControl::SetValueFromHost(double value) {
  // A NaN would compare unequal for ever and could only end up as a clamp
  // bound; the control keeps what it has.
  if (std::isnan(value)) return;
  if (mDefaultValue < 0.0) {
    mValue = value;
    mDefaultValue = value;
  }
  if (value != mValue) {
    // The extra frame is asked for before the dirty flag is raised: the UI
    // thread may be drawing the old value right now, and MarkClean must then
    // see the request (see MarkClean).
    mValue = value;
    mPendingRedraw = true;
    MarkDirty(false);
  }
}

void IControl::SetValueFromEntry(double value) {
  if (std::isnan(value)) return;
  if (value != mValue) {
    mValue = value;
    mPendingRedraw = true;
    MarkDirty(true);
  }
}

void IControl::TakeEnteredText(const char* /*text*/) {}

void IControl::SetHidden(bool hidden) {
  mHidden = hidden;
  mPendingRedraw = true;
  MarkDirty(false);
}

void IControl::SetGreyed(bool greyed) {
  mGreyed = greyed;
  mBlend.weight = greyed ? kGreyedWeight : 1.0f;
  MarkDirty(false);
}

bool IControl::Contains(int x, int y) const {
  return mTargetArea.Contains(x, y);
}

void IControl::MarkDirty(bool push) {
  double value = mValue;
  if (std::isnan(value) || value < mClampLow)
    value = mClampLow;
  else if (value > mClampHigh)
    value = mClampHigh;
  mValue = value;
  mDirty.StoreRelease(true);
  if (!push || !mPlugin || mParamIndex < 0) return;
  mPlugin->SetParameterFromEditor(mParamIndex, value);
  if (!mValueDisplay && !mNameDisplay) return;
  ScopedLock guard(mPlugin->GetLock());
  const IParameter* param = mPlugin->GetParam(mParamIndex);
  if (!param) return;
  if (mValueDisplay) {
    char display[kParamTextSize];
    param->FormatForHost(param->Value(), false, display);
    std::string text = display;
    text += ' ';
    text += param->HostLabel();
    mValueDisplay->SetDisplayText(text.c_str());
  }
  if (mNameDisplay) mNameDisplay->SetDisplayText(param->Name());
}

void IControl::MarkClean() {
  // dirty := pendingRedraw; pendingRedraw := false, in an order that loses no
  // value another thread stores meanwhile: that thread raises pendingRedraw
  // before dirty, so either its dirty flag lands after ours, or our exchange
  // of pendingRedraw sees its request.
  mDirty.Exchange(false);
  if (mPendingRedraw.Exchange(false)) mDirty = true;
}

bool IControl::NeedsRedraw() const {
  return mDirty;
}

void IControl::SetAuxValueFromHost(int position, double value) {
  if (position < 0 || position >= NumAuxBindings() || std::isnan(value)) return;
  IAuxBinding& binding = mAuxBindings[static_cast<std::size_t>(position)];
  if (binding.value != value) {
    binding.value = value;
    mPendingRedraw = true;
    MarkDirty(false);
  }
}

void IControl::SetDisplayText(const char* text) {
  const char* t = text ? text : "";
  if (mDisplayText == t) return;
  mDisplayText = t;
  MarkDirty(false);
}

int IControl::AddAuxBinding(int paramIndex) {
  IAuxBinding binding;
  binding.paramIndex = paramIndex;
  mAuxBindings.push_back(binding);
  return NumAuxBindings() - 1;
}

const IAuxBinding* IControl::AuxBinding(int position) const {
  if (position < 0 || position >= NumAuxBindings()) return nullptr;
  return &mAuxBindings[static_cast<std::size_t>(position)];
}
