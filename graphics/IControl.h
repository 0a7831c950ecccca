#pragma once

#include "IGraphicsStructs.h"
#include "RelaxedAtomic.h"

#include <string>
#include <vector>

class IGraphics;
class IPlugBase;

// A further parameter a control follows besides its own (paramIndex).
struct IAuxBinding {
  double value = 0.0;
  int paramIndex = -1;
};

// One rectangular element of the editor. It draws itself, reacts to input
// routed by the graphics core, and, when bound to a parameter, keeps a
// normalised value (0..1) in step with it: values from the host arrive through
// SetValueFromHost, changes made by the user go to the plug-in base through
// MarkDirty (true).
//
// Threads: SetValueFromHost and SetAuxValueFromHost may run on the host's
// parameter thread or the audio thread (the VU meter); they only store the
// value and raise the dirty flags. Everything else runs on the UI thread.
//
// The virtual operations keep this order; backends and controls rely on it.
class IControl {
public:
  static constexpr int kDefaultTextEntryLimit = 32;
  static constexpr float kGreyedWeight = 0.25f;

  IControl(IPlugBase* plugin, const IBox& area, int paramIndex = -1,
           int blendMethod = IBlend::BlendNormal);
  IControl(const IControl&) = delete;
  IControl& operator=(const IControl&) = delete;

  virtual ~IControl();
  // A right press prompts for the parameter's value when prompting is enabled.
  virtual void OnPress(int x, int y, const IMouseKeys& keys);
  virtual void OnRelease(int x, int y, const IMouseKeys& keys);
  virtual void OnDrag(int x, int y, int dx, int dy, const IMouseKeys& keys);
  // Restores the default value (the first one the host pushed) and pushes it.
  virtual void OnDoublePress(int x, int y, const IMouseKeys& keys);
  virtual void OnWheel(int x, int y, const IMouseKeys& keys, int notches);
  // True when the key was handled.
  virtual bool OnKey(int x, int y, int key);
  virtual void OnHover(int x, int y, const IMouseKeys& keys);
  virtual void OnLeave();
  virtual bool Draw(IGraphics& graphics) = 0;
  // The first value ever given also becomes the default. An equal value (or
  // NaN) changes nothing.
  virtual void SetValueFromHost(double value);
  // A value the user entered (menu or text field): stored and pushed.
  virtual void SetValueFromEntry(double value);
  // Free text entered for a control without a parameter.
  virtual void TakeEnteredText(const char* text);
  virtual void SetHidden(bool hidden);
  // A greyed control draws at a quarter of full weight and is never hit.
  virtual void SetGreyed(bool greyed);
  virtual bool Contains(int x, int y) const;
  // Clamps the value into [clampLow, clampHigh] and raises the dirty flag;
  // with push, hands the value to the plug-in base and updates the displays.
  virtual void MarkDirty(bool push);
  virtual void MarkClean();
  virtual bool NeedsRedraw() const;
  virtual void ReservedHook() {}
  virtual void SetAuxValueFromHost(int position, double value);

  // ---- Fields ----------------------------------------------------------------

  IPlugBase* Plugin() const { return mPlugin; }
  const IBox& Area() const { return mArea; }
  const IBox& TargetArea() const { return mTargetArea; }
  void SetTargetArea(const IBox& area) { mTargetArea = area; }
  int ParamIndex() const { return mParamIndex; }
  bool HasParam() const { return mParamIndex >= 0; }

  double Value() const { return mValue; }
  double DefaultValue() const { return mDefaultValue; }
  double ClampLow() const { return mClampLow; }
  double ClampHigh() const { return mClampHigh; }
  void SetClamp(double low, double high) {
    mClampLow = low;
    mClampHigh = high;
  }

  bool IsDirty() const { return mDirty; }
  bool IsHidden() const { return mHidden; }
  bool IsGreyed() const { return mGreyed; }
  bool PendingRedraw() const { return mPendingRedraw; }

  bool PromptDisabled() const { return mPromptDisabled; }
  void SetPromptDisabled(bool disabled) { mPromptDisabled = disabled; }
  bool DoubleAsPress() const { return mDoubleAsPress; }
  void SetDoubleAsPress(bool flag) { mDoubleAsPress = flag; }
  bool HoverWhenGreyed() const { return mHoverWhenGreyed; }
  void SetHoverWhenGreyed(bool flag) { mHoverWhenGreyed = flag; }

  const IBlend& Blend() const { return mBlend; }
  IBlend& Blend() { return mBlend; }

  int TextEntryLimit() const { return mTextEntryLimit; }
  void SetTextEntryLimit(int limit) { mTextEntryLimit = limit; }
  ITextStyle& TextStyle() { return mText; }
  const ITextStyle& TextStyle() const { return mText; }

  // Controls that show the bound parameter's value text and name (not owned).
  void SetValueDisplay(IControl* display) { mValueDisplay = display; }
  void SetNameDisplay(IControl* display) { mNameDisplay = display; }
  IControl* ValueDisplay() const { return mValueDisplay; }
  IControl* NameDisplay() const { return mNameDisplay; }
  // The text a control shows when it serves as a display: an equal text is
  // ignored, another one is stored and the control redrawn.
  void SetDisplayText(const char* text);
  const std::string& DisplayText() const { return mDisplayText; }

  const std::string& Tooltip() const { return mTooltip; }
  void SetTooltip(const char* text) { mTooltip = text ? text : ""; }

  // Extra parameters the control follows; the new binding's position.
  int AddAuxBinding(int paramIndex);
  int NumAuxBindings() const { return static_cast<int>(mAuxBindings.size()); }
  // Null outside the list.
  const IAuxBinding* AuxBinding(int position) const;

protected:
  // The box the value prompt appears in.
  IBox PromptArea() const;

  int mTextEntryLimit = kDefaultTextEntryLimit;
  ITextStyle mText;
  IPlugBase* mPlugin;
  IBox mArea;
  IBox mTargetArea;
  int mParamIndex;
  std::vector<IAuxBinding> mAuxBindings;
  RelaxedAtomic<double> mValue{0.0};
  RelaxedAtomic<double> mDefaultValue{-1.0};
  double mClampLow = 0.0;
  double mClampHigh = 1.0;
  RelaxedAtomic<bool> mDirty{true};
  bool mHidden = false;
  bool mGreyed = false;
  RelaxedAtomic<bool> mPendingRedraw{false};
  bool mPromptDisabled = true;
  bool mDoubleAsPress = false;
  bool mHoverWhenGreyed = false;
  IBlend mBlend;
  IControl* mValueDisplay = nullptr;
  IControl* mNameDisplay = nullptr;
  std::string mTooltip;
  std::string mDisplayText;
};
