#include "IPlugLV2UI.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {
// The float protocol: one float per port event and write.
constexpr uint32_t kFloatProtocol = 0;
} // namespace

IPlugLV2UI::IPlugLV2UI(const IPlugInstanceInfo& instanceInfo, const PluginIdentity& identity)
    : IPlugOneWayBinding(identity, kFormatLV2UI), mLayout(identity.numParams),
      mFeatures(instanceInfo.features), mWrite(instanceInfo.write),
      mController(instanceInfo.controller), mMeterControl(instanceInfo.meterControl) {
  SetHostInfo("", 0);
}

void* IPlugLV2UI::Open() {
  IPlugEditor* editor = GetEditor();
  if (!mFeatures.Complete() || !mWrite || !editor) return nullptr;
  void* window = editor->OpenEditorWindow(mFeatures.Parent());
  if (!window) return nullptr;
  mFeatures.Resize(editor->Width(), editor->Height());
  return window;
}

void IPlugLV2UI::PortEvent(uint32_t port, uint32_t bufferSize, uint32_t format,
                           const void* buffer) {
  if (format != kFloatProtocol || bufferSize != sizeof(float) || !buffer) return;
  float value = 0.0f;
  std::memcpy(&value, buffer, sizeof value);
  IPlugEditor* editor = GetEditor();
  if (!std::isfinite(value) || !editor) return;
  ScopedLock guard(GetLock());
  if (mLayout.IsParamPort(port)) {
    const int paramIndex = static_cast<int>(port);
    IParameter* param = GetParam(paramIndex);
    param->SetValue(value);
    editor->SetParamFromHost(paramIndex, param->Value(), false);
  } else if (port == mLayout.Meter() && mMeterControl) {
    editor->SetControlValueFromHost(mMeterControl(*this), value);
  }
}

int IPlugLV2UI::Idle() {
  IPlugEditor* editor = GetEditor();
  if (!editor || !editor->IsEditorOpen()) return 1;
  editor->Idle();
  return editor->IsEditorOpen() ? 0 : 1;
}

void IPlugLV2UI::BeginParamEdit(int paramIndex) {
  if (GetParam(paramIndex)) mFeatures.Touch(mLayout.ParamPort(paramIndex), true);
}

void IPlugLV2UI::NotifyHostParamChange(int paramIndex, double /*normalized*/) {
  const IParameter* param = GetParam(paramIndex);
  if (!param || !mWrite) return;
  // Ports carry real values (dB in dB) inside the port's bounds (a drag may
  // take the parameter's value past them), never anything non-finite.
  const float value =
      static_cast<float>(std::min(std::max(param->Value(), param->Min()), param->Max()));
  if (std::isfinite(value))
    mWrite(mController, mLayout.ParamPort(paramIndex), sizeof value, kFloatProtocol, &value);
}

void IPlugLV2UI::EndParamEdit(int paramIndex) {
  if (GetParam(paramIndex)) mFeatures.Touch(mLayout.ParamPort(paramIndex), false);
}

void IPlugLV2UI::EditorSizeChanged(int width, int height) {
  mFeatures.Resize(width, height);
}
