#pragma once

#include "ResponseMeasurement.h"

#include <string>

class LICE_MemBitmap;

// What the picture says besides the curves.
struct ResponseLabels {
  std::string title;
  std::string subtitle;
  std::string totalLegend;   // the combined curve
  std::string bandLegend[3]; // high, mid, low band alone
};

// Draws the response as a picture: gain in dB against log frequency from
// 20 Hz to 20 kHz, with a grid, labelled axes, the three bands' own curves,
// the combined curve with its area to 0 dB shaded, and a legend. The dB range
// is symmetric and grows in 6 dB steps to hold every curve (at least +-12).
// out becomes width x height.
bool DrawResponsePlot(const EqResponse& response, const ResponseLabels& labels, int width,
                      int height, LICE_MemBitmap& out);

// The largest magnitude the plot's range must hold: a multiple of 6 dB, at
// least 12.
double PlotRangeDb(const EqResponse& response);
