#include "Vst2Instance.h"

#include <cstring>

Vst2Instance::Vst2Instance(AEffect* effect) : mEffect(effect) {}

Vst2Instance::~Vst2Instance() {
  Close();
}

bool Vst2Instance::IsValid() const {
  return mEffect && mEffect->magic == kEffectMagic && mEffect->dispatcher;
}

VstIntPtr Vst2Instance::Dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                 float opt) {
  if (!IsValid() || mClosed) return 0;
  return mEffect->dispatcher(mEffect, opcode, index, value, ptr, opt);
}

void Vst2Instance::Open() {
  Dispatch(effOpen);
}

void Vst2Instance::Close() {
  if (!IsValid() || mClosed) return;
  Dispatch(effClose);
  // The record died with the instance: nothing may read it any more.
  mClosed = true;
  mEffect = nullptr;
}

void Vst2Instance::SetSampleRate(float rate) {
  Dispatch(effSetSampleRate, 0, 0, nullptr, rate);
}
void Vst2Instance::SetBlockSize(VstInt32 frames) {
  Dispatch(effSetBlockSize, 0, frames);
}
void Vst2Instance::Resume() {
  Dispatch(effMainsChanged, 0, 1);
}
void Vst2Instance::Suspend() {
  Dispatch(effMainsChanged, 0, 0);
}
void Vst2Instance::Start(float rate, VstInt32 frames) {
  Open();
  SetSampleRate(rate);
  SetBlockSize(frames);
  Resume();
}

VstInt32 Vst2Instance::NumParams() const {
  return IsValid() ? mEffect->numParams : 0;
}
VstInt32 Vst2Instance::NumInputs() const {
  return IsValid() ? mEffect->numInputs : 0;
}
VstInt32 Vst2Instance::NumOutputs() const {
  return IsValid() ? mEffect->numOutputs : 0;
}
VstInt32 Vst2Instance::Flags() const {
  return IsValid() ? mEffect->flags : 0;
}

std::string Vst2Instance::ReadText(VstInt32 opcode, VstInt32 index) {
  char buffer[256];
  std::memset(buffer, 0, sizeof buffer);
  Dispatch(opcode, index, 0, buffer);
  buffer[sizeof buffer - 1] = '\0';
  return buffer;
}

std::string Vst2Instance::ParamName(VstInt32 index) {
  return ReadText(effGetParamName, index);
}
std::string Vst2Instance::ParamLabel(VstInt32 index) {
  return ReadText(effGetParamLabel, index);
}
std::string Vst2Instance::ParamDisplay(VstInt32 index) {
  return ReadText(effGetParamDisplay, index);
}
std::string Vst2Instance::EffectName() {
  return ReadText(effGetEffectName, 0);
}
std::string Vst2Instance::VendorString() {
  return ReadText(effGetVendorString, 0);
}
std::string Vst2Instance::ProgramName() {
  return ReadText(effGetProgramName, 0);
}

bool Vst2Instance::SetParamFromText(VstInt32 index, const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return Dispatch(effString2Parameter, index, 0, copy.data()) != 0;
}

VstInt32 Vst2Instance::FindParam(const std::string& name) {
  for (VstInt32 i = 0; i < NumParams(); ++i)
    if (ParamName(i) == name) return i;
  return -1;
}

float Vst2Instance::GetParameter(VstInt32 index) {
  if (!IsValid() || mClosed || !mEffect->getParameter) return 0.0f;
  return mEffect->getParameter(mEffect, index);
}

void Vst2Instance::SetParameter(VstInt32 index, float value) {
  if (!IsValid() || mClosed || !mEffect->setParameter) return;
  mEffect->setParameter(mEffect, index, value);
}

std::vector<unsigned char> Vst2Instance::GetChunk(bool program) {
  void* data = nullptr;
  VstIntPtr size = Dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  return std::vector<unsigned char>(bytes, bytes + size);
}

bool Vst2Instance::SetChunk(bool program, const std::vector<unsigned char>& bytes) {
  // The plug-in may not keep the pointer past the call, so a copy is enough.
  std::vector<unsigned char> copy(bytes);
  return Dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(copy.size()),
                  copy.empty() ? nullptr : copy.data()) != 0;
}

void Vst2Instance::ProcessFloat(float** inputs, float** outputs, VstInt32 frames) {
  if (IsValid() && !mClosed && mEffect->processReplacing)
    mEffect->processReplacing(mEffect, inputs, outputs, frames);
}

void Vst2Instance::ProcessAccumulate(float** inputs, float** outputs, VstInt32 frames) {
  if (IsValid() && !mClosed && mEffect->process) mEffect->process(mEffect, inputs, outputs, frames);
}

void Vst2Instance::ProcessDouble(double** inputs, double** outputs, VstInt32 frames) {
  if (IsValid() && !mClosed && mEffect->processDoubleReplacing)
    mEffect->processDoubleReplacing(mEffect, inputs, outputs, frames);
}
