#pragma once

#include "IParameter.h"

#include "public.sdk/source/vst/vstparameters.h"

// One plug-in parameter as the VST3 host sees it: the SDK's Parameter record
// (ID, titles, units, steps, default, unit, flags) filled from an IParameter,
// with the conversions and texts delegated to it. The wrapped parameter
// belongs to IPlugBase and outlives this object (both live until terminate
// or destruction, the container's entries going first).
class IPlugParameter : public Steinberg::Vst::Parameter {
public:
  IPlugParameter(const IParameter& parameter, Steinberg::Vst::ParamID id,
                 Steinberg::Vst::UnitID unitId);

  // The parameter's display text of a normalised value (clamped into 0..1,
  // NaN shown as 0), widened byte by byte; always terminated.
  void toString(Steinberg::Vst::ParamValue valueNormalized,
                Steinberg::Vst::String128 string) const override;
  // The text's leading decimal number in the parameter's unit, clamped into
  // its bounds, as a normalised value; always true. Display texts and display
  // negation are not applied.
  bool fromString(const Steinberg::Vst::TChar* string,
                  Steinberg::Vst::ParamValue& valueNormalized) const override;
  // min + normalised^shape * (max - min), neither rounded nor clamped.
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue valueNormalized) const override;
  // The plain value clamped into the bounds (NaN as min), then normalised.
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const override;

  const IParameter& Wrapped() const { return mParameter; }

  OBJ_METHODS(IPlugParameter, Parameter)

private:
  const IParameter& mParameter;
};

// Text helpers shared by the binding: bytes widened to UTF-16 units (at most
// maxUnits - 1 units and a terminator), and UTF-16 narrowed to bytes (units
// above 0xFF become '?').
void WidenText(const char* text, Steinberg::Vst::TChar* out, int maxUnits);
void NarrowText(const Steinberg::Vst::TChar* text, char* out, int outSize);
