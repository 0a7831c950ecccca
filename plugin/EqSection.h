#pragma once

// One second-order section of the equaliser (direct form I). The coefficients
// are rewritten every sample by one of the band routines below and are used
// as computed: a0 is not folded into the others, FilterSample divides by it.
struct EqSection {
  double x = 0.0;  // latest input
  double y = 0.0;  // latest output
  double x1 = 0.0; // previous inputs, x1 the most recent
  double x2 = 0.0;
  double y1 = 0.0; // previous outputs, y1 the most recent
  double y2 = 0.0;
  double a0 = 0.0; // denominator (a0 normalises)
  double a1 = 0.0;
  double a2 = 0.0;
  double b0 = 0.0; // numerator
  double b1 = 0.0;
  double b2 = 0.0;
};

// Coefficients of the treble shelf for sample rate sampleRate (Hz) and control
// v in 0..1 (0 full cut, 0.5 flat, 1 full boost). Bilinear transform of the
// analogue network, written out as polynomials in the sample rate; the
// grouping of every expression is part of the result, so keep it as it is.
void HighBandCoefficients(EqSection& section, double sampleRate, double v);

// Presence peak near 1.6 kHz; v = 0 is full boost, 1 full cut.
void MidBandCoefficients(EqSection& section, double sampleRate, double v);

// Bass shelf; same sense as the treble shelf.
void LowBandCoefficients(EqSection& section, double sampleRate, double v);

// Runs one sample through the section and shifts its history.
double FilterSample(EqSection& section, double in);
