#include "ITextEntry.h"

#include "IControl.h"
#include "IGraphics.h"
#include "IParameter.h"
#include "LICE_Composite.h"
#include "LICE_SysBitmap.h"

#include <cstring>

namespace {

// Only 31 characters of a committed text are read, as from a 32-byte buffer.
constexpr size_t kCommitChars = 31;

bool IsStepped(const IParameter* parameter) {
  return parameter && !parameter->IsDouble();
}

bool HasTexts(const IParameter* parameter) {
  return IsStepped(parameter) && parameter->NumDisplayTexts() > 0;
}

} // namespace

ITextEntry::ITextEntry(IControl* control, IParameter* parameter, const ITextStyle& style,
                       const IBox& area, const char* text)
    : mControl(control), mParameter(parameter), mStyle(style),
      mArea(area.L, area.T, area.R + 1, area.B + 1), mText(text ? text : "") {}

bool ITextEntry::Type(char c) {
  if (mParameter) {
    const bool sign = c == '+' || c == '-';
    const bool digit = c >= '0' && c <= '9';
    if (!sign && !digit && !(c == '.' && mParameter->IsDouble())) return false;
  }
  if (mAllSelected) mText.clear();
  mAllSelected = false;
  const int limit = mControl ? mControl->TextEntryLimit() : IControl::kDefaultTextEntryLimit;
  if (static_cast<int>(mText.size()) >= limit) return false;
  mText.push_back(c);
  return true;
}

void ITextEntry::Backspace() {
  if (mAllSelected)
    mText.clear();
  else if (!mText.empty())
    mText.pop_back();
  mAllSelected = false;
}

void ITextEntry::Commit() const {
  if (!mControl) return;
  const std::string text = mText.substr(0, kCommitChars);
  if (!mParameter) {
    mControl->TakeEnteredText(text.c_str());
    return;
  }
  double value = 0.0;
  if (HasTexts(mParameter)) {
    int matched = 0;
    if (mParameter->MatchDisplayText(text.c_str(), &matched)) value = matched;
  } else {
    value = IParameter::ParseLeadingNumber(text.c_str());
    if (mParameter->NegateDisplay()) value = -value;
  }
  mControl->SetValueFromEntry(mParameter->ToNormalized(value));
}

void ITextEntry::Draw(IGraphics& graphics) {
  LICE_SysBitmap* surface = graphics.Surface();
  if (!surface) return;
  const IArgb& back = mStyle.entryBackground;
  LICE_FillArea(surface, mArea.L, mArea.T, mArea.W(), mArea.H(),
                LICE_MakePixel(back.R, back.G, back.B, 255));
  ITextStyle style = mStyle;
  style.colour = mStyle.entryForeground;
  IBox area = mArea;
  graphics.RenderText(style, mText.c_str(), area);
  mStyle.cachedFont = style.cachedFont;
}
