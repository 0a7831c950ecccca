#pragma once

#include "VstInterface.h"

#include <string>
#include <vector>

// One plug-in instance as a host drives it: every call goes through the
// effect record's function pointers. The instance is closed (effClose) on
// destruction unless Close() already did it.
class Vst2Instance {
public:
  // Takes over effect; a null or malformed record gives an invalid instance.
  explicit Vst2Instance(AEffect* effect);
  ~Vst2Instance();
  Vst2Instance(const Vst2Instance&) = delete;
  Vst2Instance& operator=(const Vst2Instance&) = delete;

  // A record with the published magic and a dispatcher, not yet closed.
  bool IsValid() const;
  // The record; null after Close().
  AEffect* Effect() const { return mEffect; }

  VstIntPtr Dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f);

  // The usual start-up and shut-down sequence.
  void Open();
  void Close();
  void SetSampleRate(float rate);
  void SetBlockSize(VstInt32 frames);
  void Resume();  // effMainsChanged (1)
  void Suspend(); // effMainsChanged (0)
  // Open, the rate and block size, then Resume: ready to process.
  void Start(float rate, VstInt32 frames);

  VstInt32 NumParams() const;
  VstInt32 NumInputs() const;
  VstInt32 NumOutputs() const;
  VstInt32 Flags() const;

  // Texts are read into a zero-filled 256-byte buffer; a plug-in that writes
  // no terminator within it yields its first 255 bytes.
  std::string ParamName(VstInt32 index);
  std::string ParamLabel(VstInt32 index);
  std::string ParamDisplay(VstInt32 index);
  std::string EffectName();
  std::string VendorString();
  std::string ProgramName();
  // effString2Parameter: true when the plug-in took the text.
  bool SetParamFromText(VstInt32 index, const std::string& text);
  // Index of the parameter whose name is name, or -1.
  VstInt32 FindParam(const std::string& name);

  float GetParameter(VstInt32 index);
  void SetParameter(VstInt32 index, float value);

  // effGetChunk: a copy of the plug-in's bytes (empty when it gave none).
  std::vector<unsigned char> GetChunk(bool program);
  // effSetChunk: true when the plug-in accepted the bytes.
  bool SetChunk(bool program, const std::vector<unsigned char>& bytes);

  void ProcessFloat(float** inputs, float** outputs, VstInt32 frames);
  void ProcessAccumulate(float** inputs, float** outputs, VstInt32 frames);
  void ProcessDouble(double** inputs, double** outputs, VstInt32 frames);

private:
  std::string ReadText(VstInt32 opcode, VstInt32 index);

  AEffect* mEffect;
  bool mClosed = false;
};
